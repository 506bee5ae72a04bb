#include "tools/EpdSuite.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include "board/ChessBoard.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "eval/PositionEvaluate.h"
#include "search/SearchRoutines.h"
#include "tools/Fen.h"
#include "tools/TextFile.h"

namespace {

constexpr int SuiteDefaultDepth = 3;   // depth of a suite run without "-fd"
constexpr int EvalWindow = MateScore;
// Far more positions than any test suite holds: a file still growing while it is read (another
// program appending to it) is not followed for ever.
constexpr int MaxSuiteLines = 1000000;

bool IsBlankText(const char* text) {
  for (; *text; text++) {
    if (*text != ' ' && *text != '\t') return false;
  }
  return true;
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

// Runs or skips one line; false when the file cannot be read further.
bool HandleSuiteLine(TextLine read, const char* line, int lineNumber, const char* path, int* processed) {
  if (lineNumber > MaxSuiteLines) {
    std::printf("ERROR: %s has more than %d lines; the rest is not read\n", path, MaxSuiteLines);
    return false;
  }
  switch (read) {
    case TextLine::TooLong:
      std::printf("ERROR: line %d is longer than %d characters; skipped\n", lineNumber, EpdLineSize);
      return true;
    case TextLine::NotText:
      std::printf("ERROR: %s is not a text file (line %d holds a NUL byte)\n", path, lineNumber);
      return false;
    case TextLine::ReadError:
      std::printf("ERROR: reading file %s: %s\n", path, std::strerror(errno));
      return false;
    default:
      break;
  }
  if (IsBlankText(line)) std::printf("ERROR: line %d is empty; skipped\n", lineNumber);
  else if (RunEpdPosition(line, lineNumber)) ++*processed;
  return true;
}

}  // namespace

int ParseEPDSuite(const char* path) {
  std::FILE* file = OpenTextFile(path);
  if (file == nullptr) return EpdOpenErrorStatus;
  std::printf("## file opened %s\n", path);
  std::printf("## Entering ParseEPDSuite and Opened data file\n");
  if (MainStatus.Mimic == 1) std::printf("In ParseEPDSuite and Mimic == STUDENT \n");
  static char line[EpdLineSize + 1];   // static: too large for a comfortable stack frame
  int lineNumber = 0;
  int processed = 0;
  bool readable = true;
  for (TextLine read; readable && (read = ReadTextLine(file, line, sizeof line)) != TextLine::EndOfFile;)
    readable = HandleSuiteLine(read, line, ++lineNumber, path, &processed);
  std::fclose(file);
  if (!readable) return EpdReadErrorStatus;
  std::printf("%d\n", processed);
  return 0;
}
