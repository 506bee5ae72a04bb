#pragma once
// The search: node search, root search, iterative deepening with the node budget, input polling.
#include <cstdint>
#include "board/ChessBoard.h"
#include "movegen/MoveGen.h"
#include "search/ContinuationHistory.h"
#include "search/SearchConstants.h"

struct BestKnownLine;
struct SearchLine;

// One entry of the principal-variation table.
//   Move: MoveCode(from, to); in entry 0 of a row p >= 1 it is the end index of row p's variation
//   Promotion: promotion character of the move (NoPromotion when none)
struct PVEntry {
  std::uint16_t Move;
  char Promotion;
};

// Named values of the char arguments of SearchRoutines::Search.
namespace NodeArgs {
// NodeType: the principal-variation node and the two others, which alternate parent to child.
constexpr char PVNode = 1;
constexpr char CutNode = 2;
constexpr char AllNode = 3;
// NullAllowed: whether the node may try a null move (not right after one, nor in internal deepening).
constexpr char NullMoveOk = 1;
constexpr char NullMoveBarred = 0;
// InCheck of a node known not to be in check.
constexpr char NotInCheck = 0;
// MoveFlags: what the move that led to the node was (passed on, never decided upon).
constexpr char NoMoveFlags = 0;
constexpr char FlagCapture = 1;
constexpr char FlagExtended = 2;
constexpr char FlagReduced = 4;
// FromRoot: the node belongs to a tree that the root search started (every node does).
constexpr char UnderRoot = 1;
}  // namespace NodeArgs

struct KillerPair {
  std::uint16_t First;
  std::uint16_t Second;
};

class SearchRoutines {
public:
  std::uint8_t NpsMeasured = 0;       // 0 rate not re-measured this move, 1 re-measured, 2 budget extended
  std::int32_t NodesPerMove = 0;      // node budget of the current move
  std::uint8_t BookMove = 0;          // the root returned a book move
  std::uint8_t TimeUp = 0;            // start no further root move or iteration
  std::uint8_t StopSearch = 0;        // unwind now
  std::int8_t BestMoveChanges = 0;    // -1 at each iteration start, +1 per root alpha raise
  std::uint8_t FailingLow = 0;        // root score fell well below the last iteration's
  std::uint8_t TimerExtended = 0;     // the one budget extension of this move was granted
  std::int32_t LegalRootMoves = 0;    // legal root moves of the last complete root search
  std::int32_t BookMoveNumber = 0;    // MoveNumber of the last book move
  std::int32_t SecondBestScore = 0;   // best score of the root moves that did not become best
  std::int32_t PreviousScore = 0;     // score of the last root search
  std::int64_t PollCountdown = 0;     // nodes until the next poll of input and budget
  std::int32_t History[2][SearchLimits::HistoryMoves] = {};  // [side][MoveCode(from, to)]
  std::int32_t HistoryMax = 0;        // largest history counter since the last clear
  std::uint8_t Aborted = 0;           // aborted by a command: no move is played
  std::int32_t RootMoveIndex = 0;     // 1-based index of the root move being searched
  std::int32_t RootMoveCount = 0;     // root moves generated
  std::int32_t IterationDepth = 0;    // depth of the iteration in progress
  PVEntry PrincipalVariation[SearchLimits::PVRows][SearchLimits::PVColumns] = {};  // row = ply
  KillerPair Killers[SearchLimits::KillerPlies] = {};
  std::int32_t PVLength = 0;          // end index of the root variation in row 0
  // Node counters are 64-bit so that a long analysis cannot overflow them.
  std::int64_t Nodes = 0;             // legal moves made by the node and root searches
  std::int64_t HorizonNodes = 0;      // table hits and evaluations at horizon nodes
  std::int64_t QNodes = 0;            // horizon evaluations
  std::int32_t PollDepth = 0;         // depth of the node that polled last
  std::int32_t PollPly = 0;           // its ply
  // ST of MainStatus holds milliseconds (set by the UCI "movetime" handling) instead of seconds.
  std::uint8_t STInMilliseconds = 0;
  // The wall-clock limits of a timed move (not at a fixed depth, in a benchmark or an analysis):
  // from ClockStartMs (the start, or "ponderhit" for a ponder search) the search unwinds at once
  // when HardLimitMs have passed, and starts no iteration after its soft limit.
  std::uint8_t ClockLimited = 0;
  std::int32_t ClockStartMs = 0;
  std::int32_t HardLimitMs = 0;
  // Horizon nodes play out captures and queen promotions instead of returning the static
  // evaluation (an option, off by default).
  std::uint8_t CaptureSearchOn = 0;
  // The capture-search mode's static evaluation of each ply's node (NoScore where none was made:
  // a PV node, a node in check or one the table decided), to tell whether a side's position improves.
  std::int32_t StaticEvals[SearchLimits::KillerPlies] = {};
  // Depth of the last iteration whose root search went through all its moves (0: none yet).
  std::int32_t CompletedDepth = 0;
  std::uint8_t RootCompleted = 0;     // the last root search was not left early
  // Score of the variation in row 0 and the depth of the iteration that found it (0: none yet).
  std::int32_t BestLineScore = 0;
  std::int32_t BestLineDepth = 0;
  // Nodes searched before the node budget began to count: a ponder search's budget starts at
  // "ponderhit", when the engine's clock starts.
  std::int64_t BudgetNodeBase = 0;
  // A fixed time per move (ST) that the game clock limits too: the smaller plan wins. Set by the
  // front end before the search.
  std::uint8_t ClockAlsoLimits = 0;
  // The clock and the node count at the last poll of input and budget (UCI polls by both).
  std::int32_t LastPollMs = SearchTime::NeverPolledMs;
  std::int64_t LastPollNodes = 0;
  // A node-limited search ("go nodes"): it ends once it has searched this many nodes, counted and
  // checked at fixed node intervals, so the same position and tables give the same search on any
  // machine. 0: no node limit. Set by the front end before the search.
  std::int64_t NodeLimit = 0;
  // Lines of play to find at each iteration ("MultiPV"): the best one, then each further line the
  // best of the root moves not yet shown. Set by the front end; PvIndex is the line being searched.
  std::int32_t MultiPv = 1;
  std::int32_t PvIndex = 1;
  // The front end's own settings while a limited strength (search/Strength.h) replaces them.
  std::int64_t SavedNodeLimit = 0;
  std::int32_t SavedMultiPv = 1;
  std::uint8_t SavedCaptureSearch = 0;
  // The capture-search mode's continuation history, and the key (ContinuationHistory::KeyOf) of the
  // move made at each ply of the current path: NoKey for a null move.
  ContinuationHistory Continuations;
  std::int16_t PathMoveKeys[SearchLimits::KillerPlies] = {};

  SearchRoutines() {}

  // Node search. UpperHash and LowerHash are the hash codes (genhashcode) of the position with
  // side to move and CastleRights: the caller keeps them up to date move by move.
  int Search(char side, int alpha, int beta, ChessBoard board, int depth, int ply, char NullAllowed,
             char CastleRights, char InCheck, std::uint64_t UpperHash, std::uint64_t LowerHash,
             char NodeType, char MoveFlags, int PlyLimit, char FromRoot);
  int Quiesce(char side, int alpha, int beta, ChessBoard board, int depth, char castle, int ply);
  // The capture-search mode's cut by a capture: a capture whose reduced search beats beta by a
  // margin ends the node. Returns that search's score, or NoScore when no capture does.
  int ProbeCaptureCut(char side, int beta, ChessBoard& board, int depth, int ply, int staticEval, char CastleRights,
                      int PlyLimit, char FromRoot, std::uint64_t upper, std::uint64_t lower);
  int CaptureSearch(char side, int alpha, int beta, ChessBoard board, char castle, int ply, int qply);
  // Turns the capture search at the horizon on or off, and with it the evaluation's weight set that
  // goes with it; every switch of CaptureSearchOn goes through here.
  void SetCaptureSearch(bool on);
  bool CaptureSearchPoll(int ply);             // false: the node must return 0
  bool InCheckmate(std::uint64_t kingSet, char side, char check, ChessBoard* board);
  static bool IsMated(char side, ChessBoard board);   // side is in check with no legal evasion
  int ValueCapturedPiece(char side, std::uint64_t square, ChessBoard* board);
  void ClearHistory();
  void ReduceHistory();
  void AddHistory(char side, int move, int depth);
  // The capture-search mode's history: the quiet move that cut off at this depth gains, the quiet
  // moves tried before it lose.
  void RewardQuietCutoff(char side, int move, const std::uint16_t* triedBefore, int triedCount, int depth);
  // And its continuation history: the replies to the moves keyed before1 and before2 (one and two
  // plies up), the cutting move key gaining and the quiet moves tried before it losing.
  void RewardContinuations(int before1, int before2, int key, const std::int16_t* triedKeys, int triedCount, int depth);
  void InitValues();
  void ClearKillers();   // both killers of every ply (a search only shifts them)

  // Root search
  int SearchTreeRoot(char side, ChessBoard board, int alpha, int beta, int depth, std::uint64_t* from,
                     std::uint64_t* to, char* promotion, char castle);
  void TreeRootAssignMoveOrderValues(int count, char side, int alpha, int beta, ChessBoard* board,
                                     MoveGen* list, int);

  // Iterative deepening and time
  int ProgressiveDeepening(ChessBoard board, char maxDepth, std::uint64_t* from, std::uint64_t* to,
                           char* promotion);
  int SearchExactDepth(ChessBoard board, char depth, std::uint64_t* from, std::uint64_t* to,
                       char* promotion);
  int InitMoveTimer();

  // Input polling
  unsigned InputDetected();
  void AbortSearch();

  std::int64_t TotalNodes() const { return Nodes + QNodes; }
  std::int64_t BudgetNodes() const { return TotalNodes() - BudgetNodeBase; }
  int ElapsedMs() const;                       // on the clock since the search started
  int ClockNowMs() const;                      // the wall clock, or the node clock of "nps"

  // Helpers of the steps above (one concern each; public like every member of the engine's records).
  bool PollInput(int depth, int ply);          // false: the node must return 0
  bool PollDue();                              // input and budget are to be looked at now
  std::int64_t PollIntervalNodes() const;
  bool CheckBudget(bool wordRead);             // false: the node must return 0
  bool CheckClock();                           // the budget of a move timed by the clock
  bool CheckNodeBudget();                      // the budget counted in nodes (benchmarks)
  bool NodeLimitReached() const;
  void MeasureMoveNodeRate();                  // after a timed move: the rate it ran at
  bool OverBudget(bool emergencyTest);         // false: the node must return 0
  int BudgetMs() const;                        // the planned time: past it the root starts no move
  void ExtendBudget();
  void MeasureNodeRate(bool inSearch);
  void SetClockLimits(int hardLimitMs);
  void StartClockNow();                        // "ponderhit": the time rules apply from now on
  void BestLine(BestKnownLine* best, char* text);   // text: room for MoveLineSize characters
  SearchLine ReportLine(int depth, int score, const char* text) const;   // as the front end is told it
  // MultiPV: the further lines of an iteration whose best line is (from, to, promotion) with score
  // v, and their report; a root move that starts a line already found is left out of the next.
  // A further line that scores above the best one becomes the best line (its move, score, text and
  // variation): the score it returns.
  int SearchOtherLines(const ChessBoard& board, int depth, int v, std::uint64_t* from, std::uint64_t* to,
                       char* promotion, char* text);
  void ReportOtherLines();
  bool LeftOutOfThisLine(int moveCode, char promotion) const;
  // A limited strength: the node cap and the lines to choose among for this move (false when the
  // strength is not limited or the search is no game move), the settings put back, and the choice
  // of the move to play among the last iteration's lines.
  bool BeginLimitedStrength();
  void EndLimitedStrength();
  void ChooseLimitedStrengthMove(std::uint64_t* from, std::uint64_t* to, char* promotion, int* score);
  bool ClockRuns() const;                      // the wall-clock limits apply now
  int ClockElapsedMs() const;
  int SoftLimitMs() const;                     // no iteration is started after this
  bool HardLimitReached() const;               // a poll must unwind the search
  bool SoftLimitReached() const;               // after an iteration: play the move found
  void ResetForNewMove();
  bool StopBetweenIterations();                // true: play the move found so far
  void WaitForPonderDecision();
  void AnalysisRate();
  int BuildPVText(char* text, int score, std::uint64_t from, std::uint64_t to, char promotion);
  void UpdateNodePV(int ply, int code, char promotion, bool pvEndsHere);
  int RootScoreWithoutMoves(char side, ChessBoard* board);
  bool ValidRootPosition(const ChessBoard& board);
};

extern SearchRoutines Search;
