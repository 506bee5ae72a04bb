// Iterative deepening: the budget of one move, the iterations and their stop rules, and playing the
// chosen move on the game board.
#include "search/SearchRoutines.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include "engine/Clock.h"
#include "engine/MatchLog.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "hash/MoveHistory.h"
#include "hash/Zobrist.h"
#include "search/ClockLimits.h"
#include "search/MultiPvLines.h"
#include "search/SearchEvents.h"
#include "search/TimeUnits.h"

namespace {

using namespace SearchTime;
using namespace SearchScore;
using namespace SearchMargins;

constexpr int NoFixedTime = -1;
constexpr int ShallowPlyLimitDepth = 6;   // up to this depth the ply limit is twice the depth, then four times

// ST counts milliseconds when set by UCI "movetime" and in analysis (which converts it itself);
// "-st" and xboard "st" give seconds.
bool FixedTimeInMilliseconds() { return Search.STInMilliseconds || MainStatus.UCIMode || MainStatus.Analyze; }

void LogBudget() {
  LogPrintf(" Initial Nodes Per Second = %d\n", MainStatus.NodesPerSecond);
  LogPrintf(" Initial NodesPeMove  = %d   Emergency Threshold = %d\n", Search.NodesPerMove,
            MainStatus.EmergencyTimeThreshold);
  LogPrintf("Current TimerPerMove is %d\n", MainStatus.TimePerMove);
}

int FixedTimeGivenMs() {
  const std::int64_t st = MainStatus.ST;
  return SaturateInt(FixedTimeInMilliseconds() ? st : st * MsPerSecond);
}

// Milliseconds for a fixed time per move: nine tenths of the seconds given, or the milliseconds.
int PlanFixedTime() {
  Status& s = MainStatus;
  s.TimePerMove = SaturateInt(FixedTimeInMilliseconds() ? std::int64_t{s.ST} : std::int64_t{s.ST} * SecondsToPlannedMs);
  s.EmergencyTimeThreshold = s.TimePerMove;
  LogPrintf(" TimePeMove after ST = %d \n", s.TimePerMove);
  LogPrintf(" EmergencyTimeThreshold after ST = %d \n", s.EmergencyTimeThreshold);
  return s.TimePerMove;
}

// With an increment coming, a clock too low for the plan still buys a search worth the name: a
// share of the increment, within what the clock holds.
int IncrementFloor() {
  const Status& s = MainStatus;
  if (s.TimeIncMs <= 0 || s.TimeLeft <= 0) return 0;
  return std::min(s.TimeIncMs / IncrementFloorDivisor, s.TimeLeft / IncrementFloorDivisor);
}

// Whatever the plan, one move never takes more than the clock can spare; but it is never planned
// below the increment floor.
void CapToClock() {
  Status& s = MainStatus;
  const int cap = ClockCap(s.TimeLeft);
  if (s.TimePerMove > cap) {
    s.TimePerMove = cap;
    LogPrintf(" TimePerMove capped by the clock = %d \n", cap);
  }
  if (s.TimePerMove < IncrementFloor()) {
    s.TimePerMove = IncrementFloor();
    LogPrintf(" TimePerMove raised to the increment floor = %d \n", s.TimePerMove);
  }
}

// Returns the emergency time in milliseconds: twice the planned time.
int PlanSession() {
  Status& s = MainStatus;
  const std::int64_t share = std::int64_t{s.TimeLeft} * SessionPercent / s.MovesPerSession;
  s.TimePerMove = SaturateInt(share / (s.MovesPerSession <= ShortSessionMoves ? ShortSessionDivisor : SessionDivisor));
  CapToClock();
  return SaturateInt(2LL * s.TimePerMove);
}

int SuddenDeathBase(int bookMoveNumber, int suddenDeathMoves) {
  const Status& s = MainStatus;
  std::int64_t t = (s.MoveNumber > LateGameMoveNumber && s.TimeIncMs <= 0) ? s.TimeLeft / LateGameMoves
                                                                        : s.TimeLeft / suddenDeathMoves;
  if (!s.UCIMode && s.MoveNumber <= bookMoveNumber + BookExitMoves)
    t = t * BookExitNumerator / BookExitDenominator;
  else if ((s.MoveNumber % LongThinkEvery == 0 || s.MoveNumber % LongThinkAlsoEvery == 0) && s.TimeLeft > LongThinkTimeLeft)
    t = t * LongThinkNumerator / LongThinkDenominator;
  return SaturateInt(t);
}

int EmergencyTime(int timePerMove) {
  const Status& s = MainStatus;
  const std::int64_t increment = s.TimeIncMs > 0 ? s.TimeIncMs : 0;
  int emergency = SaturateInt(increment + 2LL * timePerMove);
  if (emergency > s.TimeLeft) {
    LogPrintf("EmergencyTimeThreshold = %d > TimeLeft %d\n", emergency, s.TimeLeft);
    emergency = SaturateInt(std::int64_t{s.TimeIncMs} * EmergencyIncrementShare / MsPerSecond);
  }
  LogPrintf(" EmergencyTimeThreshold = %d \n", emergency);
  return emergency;
}

// Returns the emergency time in milliseconds.
int PlanSuddenDeath(int bookMoveNumber, int suddenDeathMoves) {
  Status& s = MainStatus;
  int timePerMove = SuddenDeathBase(bookMoveNumber, suddenDeathMoves);
  LogPrintf(" TimePerMove Before Inc = %d \n", timePerMove);
  const int emergency = EmergencyTime(timePerMove);
  if (s.TimeIncMs > 0) {
    if (s.TimeLeft > IncrementFullShare) timePerMove = SaturateInt(timePerMove + std::int64_t{s.TimeIncMs});
    else if (s.TimeLeft > IncrementHalfShare)
      timePerMove = SaturateInt(timePerMove + std::int64_t{s.TimeIncMs} * HalfIncrementMs / MsPerSecond);
  }
  LogPrintf(" TimePerMove After Inc = %d \n", timePerMove);
  if (emergency <= std::int64_t{timePerMove} + EmergencySafety) {
    timePerMove = emergency / 2;
    LogPrintf(" Inc = %d \n", timePerMove);
  }
  LogPrintf(" Inc = %d \n", s.TimeInc);
  LogPrintf(" EmergencyTimeThreshold after comparing to Inc = %d \n", emergency);
  s.TimePerMove = timePerMove;
  s.EmergencyTimeThreshold = emergency;
  CapToClock();
  SearchEvents::TimeBudgetPlanned(s.TimePerMove, s.TimeLeft, s.DefaultMovesPerSession);
  return emergency;
}

// A negative fixed depth would leave no iteration to run.
void RejectNegativeFixedDepth() {
  if (MainStatus.FD >= 0) return;
  char text[96];
  std::snprintf(text, sizeof text, "fixed depth %d is negative; searching without a fixed depth", MainStatus.FD);
  SearchEvents::Error(text);
  MainStatus.FD = 0;
}

bool MateFoundScore(int v) { return v > MateFound; }
bool MatedScore(int v) { return v >= -MateScore && v <= MatedFound; }

// The window of one root search. The plain search starts it at the last iteration's score. The
// capture search's window is open below (a window starting at the last score made every small drop
// cost a second root search with the full window); from a few plies on, and with a single line of
// play, it narrows to either side of the last score.
struct RootWindow {
  int Alpha = -MateScore;
  int Beta = MateScore;
};

RootWindow IterationWindow(const SearchRoutines& s, int depth, int lastScore) {
  using namespace SelectiveMargins;
  RootWindow w;
  if (depth == 1) return w;
  if (!s.CaptureSearchOn) {
    w.Alpha = lastScore;
    return w;
  }
  if (depth >= AspirationMinDepth && OrdinaryScore(lastScore) && s.MultiPv == 1) {
    w.Alpha = lastScore - AspirationWindow;
    w.Beta = lastScore + AspirationWindow;
  }
  return w;
}

}  // namespace

// Every search looks at the clock a few hundred nodes apart and polls once a few milliseconds have
// passed (PollDue): a front end expects "stop" and "isready" to be answered at once, and the clock's
// limits must be seen in time even when the rate estimate is far off. A node-limited search counts
// its nodes at fixed intervals. An xboard analysis keeps its eighth of a second at the estimated
// rate, the pace of its "stat01:" lines.
int SearchRoutines::InitMoveTimer() {
  const int rate = MainStatus.NodesPerSecond;
  if (NodeLimit > 0) return ClockLookNodes;
  if (MainStatus.Analyze && !MainStatus.UCIMode) return rate >> AnalysisPollShift;
  return static_cast<int>(std::min<std::int64_t>(PollIntervalNodes(), ClockLookNodes));
}

std::int64_t SearchRoutines::PollIntervalNodes() const {
  return TimedPollInterval(MainStatus.NodesPerSecond, NodesPerMove);
}

// A search looks at the clock every few hundred nodes and polls once the poll interval's nodes or
// milliseconds have passed: nodes may be slow (a busy machine, a first touch of memory), and
// neither a command nor the clock's limits may wait for them.
bool SearchRoutines::PollDue() {
  const int now = NowMs();
  if (TotalNodes() - LastPollNodes < PollIntervalNodes() && now - LastPollMs < PollGranularityMs) return false;
  LastPollMs = now;
  LastPollNodes = TotalNodes();
  return true;
}

void SearchRoutines::ResetForNewMove() {
  Nodes = HorizonNodes = QNodes = 0;
  IterationDepth = 0;
  ClockLimited = 0;
  Aborted = TimeUp = StopSearch = TimerExtended = BookMove = 0;
  LegalRootMoves = 0;
  CompletedDepth = BestLineScore = BestLineDepth = 0;
  RootCompleted = 0;
  BudgetNodeBase = 0;
  LastPollMs = NeverPolledMs;
  LastPollNodes = 0;
  PreviousScore = 0;
  MainStatus.MaxPly = 0;
  MainStatus.ElapsedTime = 0;
  for (auto& row : PrincipalVariation)
    for (auto& entry : row) entry = PVEntry{0, 0};
  PVLength = 0;
  CompleteLines.Clear();
  for (auto& killers : Killers) killers.First = killers.Second;
}

bool SearchRoutines::ValidRootPosition(const ChessBoard& board) {
  if (board.SetupError() == nullptr) return true;
  SearchEvents::Error(board.HasOneKingEach() ? "the side not to move is in check; no move searched"
                                             : "the position needs exactly one king of each side; no move searched");
  AbortSearch();
  return false;
}

// Between iterations: true when the budget is spent and the move found so far is to be played.
bool SearchRoutines::StopBetweenIterations() {
  const Status& s = MainStatus;
  if (s.Pondering && !s.Analyze) return false;
  if (s.Analyze) {
    AnalysisRate();
    return false;
  }
  // A move timed by the clock ends by the clock's rules after each iteration (TimedSearchEnds).
  if (s.FD || s.Bench || ClockRuns() || BudgetNodes() <= NodesPerMove) return false;
  if (NpsMeasured == 0) {
    MeasureNodeRate(false);
    NpsMeasured = 1;
    if (BudgetNodes() <= NodesPerMove) return false;
  }
  if (NpsMeasured == 1 && FailingLow && !TimerExtended && s.ST == 0) {
    ExtendBudget();
    NpsMeasured = 2;
    return false;
  }
  return true;
}

// The estimate for the poll interval counts whole seconds; the front end is told the rate measured.
void SearchRoutines::AnalysisRate() {
  Status& s = MainStatus;
  const int elapsedMs = ElapsedMs();
  const int wholeSeconds = (elapsedMs + MsPerSecond / 2) / MsPerSecond;
  if (wholeSeconds <= 0) return;
  s.NodesPerSecond = NodeRate(TotalNodes(), wholeSeconds);
  SearchEvents::AnalysisRate(NodeRateMs(TotalNodes(), elapsedMs), elapsedMs);
}

namespace {

// Plans the move by the game clock; returns the hard limit in milliseconds.
int PlanClock(const SearchRoutines& search) {
  const Status& s = MainStatus;
  // The capture-search mode ends a move that stands early, and plans each move a larger share to spend
  // what that saves.
  const int suddenDeathMoves = search.CaptureSearchOn ? StableSuddenDeathMoves : SuddenDeathMoves;
  const int emergencyMs = s.MovesPerSession > 0 ? PlanSession() : PlanSuddenDeath(search.BookMoveNumber, suddenDeathMoves);
  return std::max(ClockHardLimit(emergencyMs, s.TimeLeft, s.MoveOverheadMs), SeenInTime(IncrementFloor()));
}

// A fixed time per move and the game clock together: the smaller plan and the smaller hard limit win.
void LimitByClock(const SearchRoutines& search, int* fixedTimeMs, int* hardLimitMs) {
  Status& s = MainStatus;
  const int fixedPlan = s.TimePerMove, fixedEmergency = s.EmergencyTimeThreshold;
  *hardLimitMs = std::min(*hardLimitMs, PlanClock(search));
  s.TimePerMove = std::min(fixedPlan, s.TimePerMove);
  s.EmergencyTimeThreshold = std::min(fixedEmergency, s.EmergencyTimeThreshold);
  *fixedTimeMs = std::min(*fixedTimeMs, s.TimePerMove);
  LogPrintf(" TimePerMove after the clock = %d \n", s.TimePerMove);
}

// Sets the node budget of the move (none at a fixed depth); returns the fixed time per move in
// milliseconds, or NoFixedTime.
int SetUpBudget(SearchRoutines& search, int* depthLimit) {
  Status& s = MainStatus;
  int fixedTimeMs = NoFixedTime;
  if (s.FD) {
    *depthLimit = s.FD;
    s.SearchDepth = s.FD;
  } else {
    int hardLimitMs;
    if (s.ST) {
      fixedTimeMs = PlanFixedTime();
      hardLimitMs = FixedTimeHardLimit(FixedTimeGivenMs(), s.MoveOverheadMs);
      if (search.ClockAlsoLimits) LimitByClock(search, &fixedTimeMs, &hardLimitMs);
    } else {
      hardLimitMs = PlanClock(search);
    }
    if (s.NodeClockRate > 0) {
      s.NodesPerSecond = s.NodeClockRate;
      search.NodesPerMove = NodesForMillisecondsExact(s.NodesPerSecond, s.TimePerMove);
    } else {
      search.NodesPerMove = NodesForMilliseconds(s.NodesPerSecond, s.TimePerMove);
    }
    search.NodesPerMove = std::max(1, search.NodesPerMove);   // even a move with no time left searches
    s.EmergencyTimeThreshold = SaturateInt(2LL * search.NodesPerMove);
    search.PollCountdown = search.InitMoveTimer();
    search.SetClockLimits(hardLimitMs);
  }
  LogBudget();
  search.NpsMeasured = 0;
  return fixedTimeMs;
}

// The log and progress lines after an iteration.
void ReportIterationEnd(SearchRoutines& search, int depth, int v, const char* text, bool interrupted) {
  const Status& s = MainStatus;
  if (s.ElapsedTime > LongSearchSeconds) {
    LogPrintf("Move Time: %d milliseconds", s.ElapsedTime);
    LogPrintf(" %d  %d %d  %lld %s", depth, v, s.ElapsedTime, static_cast<long long>(search.TotalNodes()), text);
  }
  BestKnownLine best;
  char bestText[MoveLineSize];
  search.BestLine(&best, bestText);
  SearchEvents::IterationDone(search.ReportLine(depth, v, text), interrupted, best);
}

// The stop rules of a timed search after an iteration; true when the move is to be played now.
bool TimedSearchEnds(SearchRoutines& search, int depth, int v, int fixedTimeMs, bool* easyMove, int stableIterations) {
  Status& s = MainStatus;
  if (search.TimeUp || search.StopSearch || search.NodeLimitReached()) return true;
  if (search.SoftLimitReached()) {
    LogPrintf("Soft time limit of %d ms reached after %d ms\n", search.SoftLimitMs(), search.ClockElapsedMs());
    if (search.NpsMeasured == 0) {   // the rate estimate was too high: correct it for the next move
      search.MeasureNodeRate(false);
      search.NpsMeasured = 1;
    }
    s.SearchDepth = depth;
    return true;
  }
  if (s.ST) {
    if (s.Bench) return search.TotalNodes() >= search.NodesPerMove;   // no clock in a benchmark
    return search.ClockElapsedMs() > fixedTimeMs;
  }
  // The capture-search mode: the next iteration would mostly confirm a move that has stood for
  // several, at the cost of the rest of the plan; the time saved goes to the moves still to come.
  if (search.CaptureSearchOn && stableIterations >= StableMoveIterations && search.ClockRuns() &&
      std::int64_t{search.ClockElapsedMs()} * 100 >= std::int64_t{search.SoftLimitMs()} * StableMovePercent)
    return true;
  if (depth == 1) *easyMove = v - EasyMoveMargin > search.SecondBestScore;
  if (depth > EasyMoveMinDepth && search.BestMoveChanges == 0 && !search.FailingLow && *easyMove) return true;
  if (!search.ClockRuns() && search.BudgetNodes() >= search.NodesPerMove) {
    s.SearchDepth = depth;
    return true;
  }
  return false;
}

// A ponder search has nothing left to find: a draw seen far ahead. A mate found goes on being
// searched (a shorter one may come), as in an analysis.
bool PonderSearchOver(int v, int depth) { return v == DrawScore && depth > DrawnPonderDepth; }

// In an analysis or a ponder search the user ends the search, not the engine: the iterations go on
// after a mate is found and with a single legal move, up to the depth limit.
bool DecisiveIteration(int v, int depth, int legalRootMoves) {
  const Status& s = MainStatus;
  if (s.FD && depth == s.FD) return true;
  if (s.Analyze || s.Pondering) return false;
  return MateFoundScore(v) || MatedScore(v) || legalRootMoves == 1;
}

// Plays the chosen move on the game board and writes the closing lines.
void FinishMove(SearchRoutines& search, int depth, int v, SquareSet from, SquareSet to, char promotion,
                bool interrupted) {
  const Status& s = MainStatus;
  if (v != -MateScore && v != StalemateScore && from != 0 && to != 0) {
    char mask = AllCastleRights;
    MainBoard.MakeMove(from, to, promotion, &mask);
    MainBoard.CastleFlags = static_cast<std::int8_t>(MainBoard.CastleFlags & mask);
  }
  char text[MoveLineSize];
  search.BuildPVText(text, v, from, to, promotion);
  MoveChosen chosen;
  chosen.Line = search.ReportLine(depth, v, text);
  chosen.SearchDepth = s.SearchDepth;
  chosen.NodesPerSecond = s.NodesPerSecond;
  chosen.Aborted = search.Aborted != 0;
  chosen.BookMove = search.BookMove != 0;
  chosen.Interrupted = interrupted;
  char bestText[MoveLineSize];
  search.BestLine(&chosen.Best, bestText);
  SearchEvents::MoveFound(chosen);
}

}  // namespace

int SearchRoutines::ProgressiveDeepening(ChessBoard board, char maxDepth, std::uint64_t* from, std::uint64_t* to,
                                         char* promotion) {
  Status& s = MainStatus;
  *from = *to = 0;
  *promotion = NoPromotion;
  ResetForNewMove();
  if (!ValidRootPosition(board)) return DrawScore;
  RejectNegativeFixedDepth();
  // A limited strength replaces some of the front end's settings for this move only.
  struct StrengthSettings {
    SearchRoutines& Search;
    bool Limited;
    ~StrengthSettings() {
      if (Limited) Search.EndLimitedStrength();
    }
  } strength{*this, BeginLimitedStrength()};

  // Set-up: counts and hash codes of the root, then the budget.
  int depthLimit = maxDepth > 0 ? maxDepth : SearchLimits::DefaultDepthLimit;
  board.InitPieceCounts();
  s.StartTime = ClockNowMs();
  genpawnhashcode(board.SideToMove, board, &board.PawnHashCode);
  std::uint64_t upper = 0, lower = 0;
  genhashcode(board.SideToMove, board.CastleFlags, &upper, &lower, board);
  if (s.xboard) MoveList.InsertMoveHistory(upper, lower);
  const int fixedTimeMs = SetUpBudget(*this, &depthLimit);
  bool easyMove = false;
  std::uint64_t stableFrom = 0, stableTo = 0;   // the best move of the last completed iteration
  int stableIterations = 0;                      // completed iterations in a row that chose it

  // Iterations: the root window's lower edge is the last iteration's score.
  int v = DrawScore;
  int depth = 1, lastDepth = 1;
  bool interrupted = false;
  char text[MoveLineSize];
  for (;;) {
    if (StopBetweenIterations()) break;
    s.MaxPly = 0;
    BestMoveChanges = -1;
    FailingLow = 0;
    board.CurrentDepth = depth <= ShallowPlyLimitDepth ? 2 * depth : 4 * depth;
    const RootWindow window = IterationWindow(*this, depth, v);
    const int lastScore = depth == 1 ? -MateScore : v;   // what an interrupted iteration reports
    v = SearchTreeRoot(board.SideToMove, board, window.Alpha, window.Beta, depth, from, to, promotion,
                       board.CastleFlags);
    // Every root move failed low: the scores are only upper bounds and the move picked among them
    // proves nothing (the last iteration's choice would be kept even when it loses material). A
    // move that reached a narrowed beta has only a lower bound.
    if (depth > 1 && (v <= window.Alpha || v >= window.Beta) && !StopSearch && !TimeUp && !Aborted && !BookMove) {
      LogPrintf("Root score %d outside its window at depth %d: searching again with the full window\n", v, depth);
      v = SearchTreeRoot(board.SideToMove, board, -MateScore, MateScore, depth, from, to, promotion,
                         board.CastleFlags);
    }
    PreviousScore = v;
    lastDepth = depth;
    interrupted = StopSearch || !RootCompleted;
    if (!interrupted && !BookMove) {
      CompletedDepth = depth;
      stableIterations = *from == stableFrom && *to == stableTo ? stableIterations + 1 : 0;
      stableFrom = *from;
      stableTo = *to;
    }
    if (BookMove) {
      SearchEvents::BookMovePlayed();
      LogPrintf("Opening Book Move\n");
      break;
    }
    s.ElapsedTime = SaturateInt(TotalNodes() / (s.NodesPerSecond > 0 ? s.NodesPerSecond : 1));
    BuildPVText(text, v, *from, *to, *promotion);
    // An interrupted iteration proves nothing: keep the last complete one's score.
    if (StopSearch) {
      v = lastScore;
      LogPrintf("New v from PreviousBestValue %d\n", v);
    }
    if (MultiPv > 1 && !interrupted) PreviousScore = v = SearchOtherLines(board, depth, v, from, to, promotion, text);
    ReportIterationEnd(*this, depth, v, text, interrupted);
    if (MultiPv > 1 && !interrupted) ReportOtherLines();
    // A command aborted the search: no move is played (while pondering the front end decides).
    if (Aborted) {
      if (!s.Pondering) return v;
      break;
    }
    if (!s.FD && !s.Pondering && TimedSearchEnds(*this, depth, v, fixedTimeMs, &easyMove, stableIterations)) break;
    if (s.Pondering && PonderSearchOver(v, depth)) {
      WaitForPonderDecision();
      break;
    }
    if (DecisiveIteration(v, depth, LegalRootMoves) || ++depth > depthLimit) break;
  }
  if (ClockRuns()) MeasureMoveNodeRate();
  if (strength.Limited) ChooseLimitedStrengthMove(from, to, promotion, &v);
  FinishMove(*this, lastDepth, v, *from, *to, *promotion, interrupted);
  return v;
}

int SearchRoutines::SearchExactDepth(ChessBoard board, char depth, std::uint64_t* from, std::uint64_t* to,
                                     char* promotion) {
  Status& s = MainStatus;
  *from = *to = 0;
  *promotion = NoPromotion;
  ResetForNewMove();
  if (!ValidRootPosition(board)) return DrawScore;
  const int d = depth > 0 ? depth : SearchLimits::ExactDepthDefault;
  board.InitPieceCounts();
  s.StartTime = ClockNowMs();
  genpawnhashcode(board.SideToMove, board, &board.PawnHashCode);
  std::uint64_t upper = 0, lower = 0;
  genhashcode(board.SideToMove, board.CastleFlags, &upper, &lower, board);
  MoveList.InsertHashCodeMoveHistory(upper, lower);
  s.SearchDepth = s.FD;
  board.CurrentDepth = 2 * d;
  // No budget: only a command can end this search early.
  NpsMeasured = 0;
  NodesPerMove = std::numeric_limits<int>::max() / 2;
  PollCountdown = InitMoveTimer();
  return SearchTreeRoot(board.SideToMove, board, -MateScore, MateScore, d, from, to, promotion, board.CastleFlags);
}
