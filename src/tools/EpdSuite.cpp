#include "tools/EpdSuite.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "board/ChessBoard.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "eval/PositionEvaluate.h"
#include "search/SearchRoutines.h"
#include "tools/Fen.h"

namespace {

constexpr int SuiteDefaultDepth = 3;   // depth of a suite run without "-fd"
constexpr int EvalWindow = MateScore;

enum class LineRead { Position, Empty, TooLong, EndOfFile };

bool IsBlankText(const char* text) {
  for (; *text; text++) {
    if (*text != ' ' && *text != '\t') return false;
  }
  return true;
}

// Reads one line without its line end into `line` (EpdLineSize + 1 characters). A longer line is
// consumed to its end and reported, so it can neither overflow the buffer nor split into two.
LineRead ReadEpdLine(std::FILE* file, char* line) {
  if (std::fgets(line, EpdLineSize + 1, file) == nullptr) return LineRead::EndOfFile;
  const std::size_t length = std::strlen(line);
  const bool complete = length > 0 && line[length - 1] == '\n';
  if (!complete && length == static_cast<std::size_t>(EpdLineSize)) {
    int c = std::fgetc(file);
    if (c == '\r') c = std::fgetc(file);
    if (c != '\n' && c != EOF) {
      while (c != '\n' && c != EOF) c = std::fgetc(file);
      return LineRead::TooLong;
    }
  }
  line[std::strcspn(line, "\r\n")] = '\0';
  return IsBlankText(line) ? LineRead::Empty : LineRead::Position;
}

void SearchSuitePosition(const char* line) {
  Status& s = MainStatus;
  std::printf("%s\n", line);
  if (s.FD == 0) s.FD = SuiteDefaultDepth;
  ChessBoard& b = MainBoard;
  b.BestFrom = b.BestTo = 0;
  b.BestPromotion = NoPromotion;
  const int score = Search.ProgressiveDeepening(b, s.FD, &b.BestFrom, &b.BestTo, &b.BestPromotion);
  char text[MoveLineSize];
  if (b.BestFrom == 0 || b.BestTo == 0) {
    std::snprintf(text, sizeof text, " (none)\n");   // mate or stalemate: there is no move to show
  } else {
    fillmovestring(text, score, static_cast<char>(SquareIndex(b.BestFrom)), static_cast<char>(SquareIndex(b.BestTo)),
                   b.BestPromotion, s.FD, MoveLineSize);
  }
  std::printf("%d %d   %s", s.FD, score, text);
}

void EvaluateSuitePosition() {
  ChessBoard& b = MainBoard;
  b.InitPieceCounts();
  if (MainStatus.Mimic == 1) PE.PosEval(b.SideToMove, -EvalWindow, EvalWindow, &b, b.CastleFlags);
  if (MainStatus.PEV) PE.PrintEvalBreakdown(&b);
}

// Runs one position; false when it was refused.
bool RunEpdPosition(const char* line, int lineNumber) {
  SetupBoard(line);
  if (const char* error = MainBoard.SetupError()) {
    std::printf("ERROR: line %d: %s; skipped\n", lineNumber, error);
    return false;
  }
  MainBoard.Recount();
  if (MainStatus.Mimic == 0) MainBoard.DisplayBoard();
  if (MainStatus.DoTestSuite) SearchSuitePosition(line);
  if (MainStatus.Mimic == 1 || MainStatus.PEV) EvaluateSuitePosition();
  return true;
}

std::FILE* OpenSuite(const char* path) {
  std::FILE* file = path ? std::fopen(path, "r") : nullptr;
  if (file == nullptr) {
    std::printf("ERROR: opening file %s\n", path ? path : "(none)");
    std::exit(EpdOpenErrorStatus);
  }
  return file;
}

}  // namespace

int ParseEPDSuite(const char* path) {
  std::FILE* file = OpenSuite(path);
  std::printf("## file opened %s\n", path);
  std::printf("## Entering ParseEPDSuite and Opened data file\n");
  if (MainStatus.Mimic == 1) std::printf("In ParseEPDSuite and Mimic == STUDENT \n");
  static char line[EpdLineSize + 1];   // static: too large for a comfortable stack frame
  int lineNumber = 0;
  int processed = 0;
  for (LineRead read; (read = ReadEpdLine(file, line)) != LineRead::EndOfFile;) {
    lineNumber++;
    if (read == LineRead::TooLong) {
      std::printf("ERROR: line %d is longer than %d characters; skipped\n", lineNumber, EpdLineSize);
    } else if (read == LineRead::Empty) {
      std::printf("ERROR: line %d is empty; skipped\n", lineNumber);
    } else if (RunEpdPosition(line, lineNumber)) {
      processed++;
    }
  }
  std::fclose(file);
  std::printf("%d\n", processed);
  return 0;
}
