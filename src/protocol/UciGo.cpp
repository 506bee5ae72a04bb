// "go": reading the search limits, running the search and sending its best move.
#include "protocol/UCIProtocol.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include "board/ChessBoard.h"
#include "engine/Clock.h"
#include "engine/MatchLog.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "eval/PositionEvaluate.h"
#include "hash/TranspositionTables.h"
#include "hash/Zobrist.h"
#include "protocol/ScoreText.h"
#include "protocol/UciMoves.h"
#include "protocol/UciTexts.h"
#include "protocol/UciWords.h"
#include "search/SearchRoutines.h"

namespace {

using namespace UciSettings;

constexpr int Unset = INT_MIN;
constexpr int SideCount = 2;
constexpr int EvalWindow = MateScore;
constexpr int BestMoveTextSize = 32;      // "e7e8q ponder e2e1q"
constexpr int GoErrorTextSize = 128;

// The limits of one "go" line. Numbers are milliseconds unless named otherwise.
struct GoRequest {
  int Time[SideCount] = {Unset, Unset};        // wtime, btime
  int Increment[SideCount] = {Unset, Unset};   // winc, binc
  int MovesToGo = Unset;
  int Depth = Unset;
  int MoveTime = Unset;
  int Nodes = Unset;
  int Mate = Unset;                            // moves
  bool Infinite = false;
  bool Ponder = false;
  bool MimicStudent = false;
  bool MimicOracle = false;
  int SearchMovesAt = -1;                      // text position behind "searchmoves"
  int Unreadable = 0;                          // fields left out because their number could not be read

  bool Mimic() const { return MimicStudent || MimicOracle; }
  // Any limit at all: such a search is never an analysis, whatever UCI_AnalyseMode says.
  bool Limited() const {
    return Time[0] != Unset || Time[1] != Unset || Depth != Unset || MoveTime != Unset || Nodes != Unset ||
           Mate != Unset;
  }
};

// Reads the number behind a keyword; a missing or malformed number leaves the limit unset, and
// the front end is told which field was left out.
void ReadNumber(UCIProtocol& uci, const char* keyword, const char* line, int* position, int* value, int* unreadable) {
  char word[UciWordSize];
  int after = *position;
  int number = 0;
  const bool found = NextWord(line, &after, word, sizeof word);
  if (found && ParseInteger(word, &number)) {
    *value = number;
    *position = after;
    return;
  }
  ++*unreadable;
  char text[GoErrorTextSize];
  if (found) std::snprintf(text, sizeof text, "go: %.24s \"%.40s\" is not a whole number; it is left out", keyword, word);
  else std::snprintf(text, sizeof text, "go: %.24s has no number; it is left out", keyword);
  uci.ReportError(text);
}

int* NumberFor(GoRequest& r, const char* word) {
  struct Keyword {
    const char* Name;
    int GoRequest::*Field;
  };
  static constexpr Keyword Scalars[] = {{"movestogo", &GoRequest::MovesToGo}, {"depth", &GoRequest::Depth},
                                        {"movetime", &GoRequest::MoveTime},   {"nodes", &GoRequest::Nodes},
                                        {"mate", &GoRequest::Mate}};
  if (std::strcmp(word, "wtime") == 0) return &r.Time[0];
  if (std::strcmp(word, "btime") == 0) return &r.Time[1];
  if (std::strcmp(word, "winc") == 0) return &r.Increment[0];
  if (std::strcmp(word, "binc") == 0) return &r.Increment[1];
  for (const Keyword& k : Scalars)
    if (std::strcmp(word, k.Name) == 0) return &(r.*k.Field);
  return nullptr;
}

GoRequest ReadGoRequest(UCIProtocol& uci, const char* line) {
  GoRequest r;
  char word[UciWordSize];
  int position = 0;
  NextWord(line, &position, word, sizeof word);   // "go"
  while (NextWord(line, &position, word, sizeof word)) {
    if (int* number = NumberFor(r, word)) ReadNumber(uci, word, line, &position, number, &r.Unreadable);
    else if (std::strcmp(word, "infinite") == 0) r.Infinite = true;
    else if (std::strcmp(word, "ponder") == 0) r.Ponder = true;
    else if (std::strcmp(word, "searchmoves") == 0) r.SearchMovesAt = position;
    else if (std::strcmp(word, "Mimic") == 0 && NextWord(line, &position, word, sizeof word)) {
      r.MimicStudent = r.MimicStudent || std::strcmp(word, "Student") == 0;
      r.MimicOracle = r.MimicOracle || std::strcmp(word, "Oracle") == 0;
    }
  }
  return r;
}

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

int Saturated(long long value) { return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value); }

void SendMimicEvaluation(const char* label) {
  MainBoard.InitPieceCounts();
  const int value = PE.PosEval(MainBoard.SideToMove, -EvalWindow, EvalWindow, &MainBoard, MainBoard.CastleFlags);
  std::printf("Mimic info %s %d\n", label, value);
  std::fflush(stdout);
}

// Clock limits: the time left and the increment of the side to move; the session length.
void ApplyClock(const GoRequest& r) {
  Status& s = MainStatus;
  const int side = MainBoard.SideToMove ? 1 : 0;
  if (r.Time[side] != Unset) {
    s.TimeLeft = r.Time[side] > 0 ? r.Time[side] : 0;
    LogPrintf("MainStatus.TimeLeft = %d\n", s.TimeLeft);
  }
  if (r.Increment[side] != Unset) {
    s.TimeIncMs = r.Increment[side] > 0 ? r.Increment[side] : 0;
    s.TimeInc = s.TimeIncMs / MillisecondsPerSecond;
    LogPrintf("MainStatus.TimeInc = %d\n", s.TimeInc);
  }
  if (r.MovesToGo != Unset && r.MovesToGo > 0) {
    s.MovesPerSession = r.MovesToGo;
    LogPrintf("MainStatus.MovesPerSession = %d\n", s.MovesPerSession);
  } else {
    s.MovesPerSession = 0;
  }
}

bool ClockGiven(const GoRequest& r) { return r.Time[MainBoard.SideToMove ? 1 : 0] != Unset; }

// Depth and time limits of a single search; every limit given applies, and the first one reached
// ends the search. A depth is given to the search as its depth limit rather than as the fixed depth
// of the command line: a fixed-depth search reads no input, and the front end must be able to stop
// it and have "isready" answered. A node count is counted by the search itself, never turned into
// time. Either alone searches with an unlimited clock.
void ApplySearchLimits(const GoRequest& r) {
  Status& s = MainStatus;
  int depth = r.Depth;
  if (depth == Unset && r.Mate != Unset) depth = 2 * Clamp(r.Mate, 1, MaxDepth) - 1;   // a mate in n is 2n - 1 plies deep
  if (depth != Unset) {
    MainBoard.FixedDepth = Clamp(depth, 1, MaxDepth);
    LogPrintf("MainBoard.FixedDepth = %d\n", MainBoard.FixedDepth);
  }
  if (r.Nodes != Unset) {
    Search.NodeLimit = r.Nodes > 0 ? r.Nodes : 1;
    LogPrintf("Node limit = %lld\n", static_cast<long long>(Search.NodeLimit));
  }
  const int moveTime = r.MoveTime;
  if (moveTime != Unset) {
    s.ST = moveTime > 0 ? moveTime : 1;
    Search.STInMilliseconds = 1;
    LogPrintf("MainStatus.ST = %d\n", s.ST);
    s.TimePerMove = s.ST;
    // With the game clock given too, the clock stays what it is and limits the move as well.
    if (ClockGiven(r)) Search.ClockAlsoLimits = 1;
    else s.TimeLeft = Saturated(static_cast<long long>(s.ST) * MoveTimeToTimeLeft);
    LogPrintf("MainStatus.ST = %d\n", s.ST);
  } else if ((depth != Unset || r.Nodes != Unset) && !ClockGiven(r)) {
    s.ST = AnalysisMilliseconds;
    s.TimeLeft = 0;
    Search.STInMilliseconds = 1;
  }
}

// "searchmoves": the legal moves listed behind it, up to the first word that is no move.
void ReadSearchMoves(UCIProtocol& uci, const char* line, int position) {
  char word[UciWordSize];
  uci.SearchMoveCount = 0;
  while (NextWord(line, &position, word, sizeof word)) {
    int from = 0, to = 0;
    char letter = 0;
    if (!ParseMoveText(word, &from, &to, &letter)) break;
    UciMove move;
    if (!FindLegalMove(word, MainBoard, MainBoard.SideToMove, MainBoard.CastleFlags, &move)) {
      uci.ReportError("searchmoves names a move that is not legal; it is left out");
      continue;
    }
    if (uci.SearchMoveCount < MaxMovesInList)
      uci.SearchMoves[uci.SearchMoveCount++] = static_cast<std::uint16_t>(MoveCode(from, to));
  }
}

bool Allowed(const UCIProtocol& uci, const UciMove& m) {
  return uci.RootMoveAllowed(MoveCode(SquareIndex(m.From), SquareIndex(m.To)));
}

// The move to send: the search's choice when it is legal (and allowed by "searchmoves"), else the
// root's best variation move, else the first legal move. False when there is no legal move.
bool ChooseBestMove(const UCIProtocol& uci, const ChessBoard& root, std::uint64_t from, std::uint64_t to,
                    char promotion, UciMove* best) {
  if (root.SetupError() != nullptr) return false;   // a refused position has no move to play
  const char side = root.SideToMove, castle = root.CastleFlags;
  UciMove candidate{from, to, promotion};
  if (LegalizeUciMove(root, side, castle, &candidate) && Allowed(uci, candidate)) {
    *best = candidate;
    return true;
  }
  const PVEntry& first = Search.PrincipalVariation[0][0];
  candidate = UciMove{SquareBit(MoveCodeFrom(first.Move)), SquareBit(MoveCodeTo(first.Move)), first.Promotion};
  if (LegalizeUciMove(root, side, castle, &candidate) && Allowed(uci, candidate)) {
    *best = candidate;
    return true;
  }
  UciMove legal[MaxMovesInList];
  const int count = CollectLegalMoves(root, side, castle, legal);
  for (int i = 0; i < count; i++) {
    if (!Allowed(uci, legal[i])) continue;
    *best = legal[i];
    return true;
  }
  if (count > 0) *best = legal[0];
  return count > 0;
}

// The opponent's expected reply: the move behind the best move in the search's variation or, when
// the variation ends there, the stored move of the transposition table for the position after it;
// in either case only when it is legal after the best move.
bool ExpectedReply(const ChessBoard& root, const UciMove& best, UciMove* reply) {
  const PVEntry* row = Search.PrincipalVariation[0];
  const int bestCode = MoveCode(SquareIndex(best.From), SquareIndex(best.To));
  ChessBoard after = root;
  char kept = AllCastleRights;
  after.MakeMove(best.From, best.To, best.Promotion, &kept);
  const char side = static_cast<char>(root.SideToMove ^ 1);
  const char castle = static_cast<char>(root.CastleFlags & kept);
  if (Search.PVLength >= 2 && row[0].Move == bestCode) {
    *reply = UciMove{SquareBit(MoveCodeFrom(row[1].Move)), SquareBit(MoveCodeTo(row[1].Move)), row[1].Promotion};
    if (LegalizeUciMove(after, side, castle, reply)) return true;
  }
  std::uint64_t upper = 0, lower = 0;
  genhashcode(side, castle, &upper, &lower, after);
  int score = 0, move = 0;
  PositionCache.SearchTranspositionTables(upper, lower, side, 0, -MateScore, MateScore, score, move);
  const int code = move & MoveCodeMask;
  if (code == 0) return false;
  *reply = UciMove{SquareBit(MoveCodeFrom(code)), SquareBit(MoveCodeTo(code)), NoPromotion};
  return LegalizeUciMove(after, side, castle, reply);
}

void MoveText(char* text, const UciMove& m) {
  WriteUciMove(text, SquareIndex(m.From), SquareIndex(m.To), m.Promotion);
}

}  // namespace

void UCIProtocol::Go() {
  Status& s = MainStatus;
  GoRequest request = ReadGoRequest(*this, CommandLine);
  // A "go" without any limit searches until "stop", as "go infinite" does.
  if (!request.Limited() && !request.Ponder && !request.Mimic()) {
    if (!request.Infinite && request.Unreadable > 0) ReportError("go: no limit is left; searching until \"stop\"");
    request.Infinite = true;
  }
  State = SEARCHING;
  s.TimeInc = s.TimeIncMs = 0;
  s.TimeLeft = 0;
  MainBoard.FixedDepth = 0;
  s.FD = 0;
  s.ST = 0;
  Search.STInMilliseconds = 0;
  Search.ClockAlsoLimits = 0;
  Search.NodeLimit = 0;
  StopRequested = 0;
  SearchMoveCount = 0;
  s.Analyze = request.Limited() ? 0 : AnalyseOption;
  if (request.MimicStudent) {
    s.Mimic = 1;
    SendMimicEvaluation("Student");
  }
  if (request.MimicOracle) {
    s.Mimic = 2;
    SendMimicEvaluation("Oracle");
  }
  if (request.Infinite) {
    s.Analyze = 1;
    s.ST = AnalysisMilliseconds;
    Search.STInMilliseconds = 1;
    s.Force = 0;
    State = INFINITE;
    s.NodesPerSecond = DefaultNodesPerSecond;
  }
  if (request.SearchMovesAt >= 0) ReadSearchMoves(*this, CommandLine, request.SearchMovesAt);
  ApplyClock(request);
  ApplySearchLimits(request);
  if (request.Ponder) {
    s.Pondering = 1;
    State = PONDERING;
  }
  if (!request.Mimic()) RunSearch();
  State = WAITING;
  SearchMoveCount = 0;
  // A new game asked for during the search follows at once; otherwise the search is closed.
  char next[UciWordSize] = "";
  int position = 0;
  if (DeferredCount > 0) NextWord(DeferredLines[0], &position, next, sizeof next);
  if (std::strcmp(next, "ucinewgame") != 0) {
    WriteLogFile(UciText::LogSearchFinished);
    WriteLogFile(UciText::LogSearchFinishedRule);
  }
}

void UCIProtocol::RunSearch() {
  Status& s = MainStatus;
  LogPrintf("MovesPerSession %d TimeLeft %d TimeInc %d \n", s.MovesPerSession, s.TimeLeft, s.TimeInc);
  // The search plays its move on MainBoard; the game position stays what the front end set up.
  const ChessBoard root = MainBoard;
  std::uint64_t from = 0, to = 0;
  char promotion = NoPromotion;
  InSearch = 1;
  PositionCache.ProvideAllPages();   // nothing left to provide after an "isready" or an idle moment
  const int score = Search.ProgressiveDeepening(root, static_cast<char>(MainBoard.FixedDepth), &from, &to, &promotion);
  WaitForStop();
  MainBoard = root;
  Promo = promotion;
  SendBestMove(score, root, from, to, promotion);
  InSearch = 0;
  s.Pondering = 0;
  s.Analyze = 0;
}

void UCIProtocol::SendBestMove(int score, const ChessBoard& root, std::uint64_t from, std::uint64_t to,
                               char promotion) {
  UciMove best;
  char text[BestMoveTextSize] = "";
  if (ChooseBestMove(*this, root, from, to, promotion, &best)) {
    const int code = MoveCode(SquareIndex(best.From), SquareIndex(best.To));
    const int moveNumber = MainStatus.MoveNumber;
    if (moveNumber >= 0 && moveNumber < MaxGameMoves) FTMoveList[moveNumber] = static_cast<std::uint32_t>(code);
    MoveText(text, best);
    UciMove reply;
    if (PonderOption && ExpectedReply(root, best, &reply)) {
      const std::size_t length = std::strlen(text);
      std::snprintf(text + length, sizeof text - length, " ponder ");
      MoveText(text + std::strlen(text), reply);
    }
  } else {
    std::snprintf(text, sizeof text, "%s", UciText::NoMove);
  }
  // The score of the best line known; a search stopped before it had any has none to tell.
  char scoreText[ScoreText::UciScoreSize];
  if (Search.BestLineDepth > 0 || Search.CompletedDepth > 0) {
    ScoreText::WriteUci(scoreText, sizeof scoreText, Search.BestLineDepth > 0 ? Search.BestLineScore : score);
    std::printf("info score %s\n", scoreText);
  }
  std::printf("bestmove %s\n", text);
  std::fflush(stdout);
  State = WAITING;
  LogPrintf("Sent bestmove %s\n", text);
}
