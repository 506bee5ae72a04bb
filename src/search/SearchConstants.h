#pragma once
// Scores, margins and thresholds of the search. Scores are from the side to move's view in the
// evaluation's unit (a pawn is worth about 800).
#include "board/Types.h"

namespace SearchLimits {
constexpr int PVRows = 250;                // rows of the triangular principal-variation table
constexpr int PVColumns = 200;             // entries per row
constexpr int KillerPlies = 200;           // plies with a killer pair
// Deepest ply searched as an interior node: it writes entry ply of row ply, the killers of ply
// and reads row ply + 1, so it must stay clear of every table bound. Deeper nodes are horizon nodes.
constexpr int MaxInteriorPly = KillerPlies - 2;
constexpr int HistoryMoves = MoveCodeMask + 1;   // every MoveCode(from, to)
constexpr int DefaultDepthLimit = 100;     // iterations when no depth limit is given
constexpr int ExactDepthDefault = 200;     // depth of an exact-depth search given no depth
}  // namespace SearchLimits

namespace SearchScore {
constexpr int NoScore = -110200;           // initial best score of every node
constexpr int MateScoreBound = 109799;     // beyond it a table score is a mate score, moved by the ply
constexpr int SkipMoveLoopBeta = -110199;  // a beta below this scores the node as having no moves
constexpr int StaticCutoffWindow = 109899; // static cut-off only for a beta within +-this
constexpr int MateThreat = -109699;        // a null-move score below this marks a mate threat
constexpr int MateFound = 109899;          // an iteration score above this is a found mate
constexpr int MatedFound = -109900;        // iteration scores from -MateScore to this: mated
constexpr int DrawnPonderDepth = 71;       // a 0 score beyond this depth ends a ponder search
// A score that is neither a mate nor a mated score: margins and windows mean something only then.
constexpr bool OrdinaryScore(int score) { return score > -MateScoreBound && score < MateScoreBound; }
}  // namespace SearchScore

namespace SearchMargins {
// Static cut-off margins by remaining depth (only depths 1 to 3 are used).
constexpr int RazorMargins[8] = {1200, 1100, 1925, 2700, 3500, 4400, 5300, 6200};
constexpr int StaticCutoffMaxDepth = 3;
constexpr int NullMoveMaterialMargin = 2000;  // try a null move when material + this >= beta
constexpr int NullMoveDeepMaterial = 9300;    // deeper than NullMoveMaxPlainDepth needs more than this
constexpr int NullMoveMaxPlainDepth = 6;
constexpr int NullMoveReduction = 4;
constexpr int NullMoveShallowDepth = 5;       // at or below: one ply less reduction
constexpr int NullMoveRichMaterial = 33000;   // above (both sides' pieces): one ply more reduction
constexpr int NullMoveStoreReduction = 3;     // depth stored with a null-move cut-off
constexpr int IIDMinDepth = 3;                // internal deepening deeper than this
constexpr int IIDReduction = 3;
constexpr int LMRMinDepth = 2;                // reductions deeper than this
constexpr int LMRMinLegalMove = 3;            // from this legal move on
constexpr int LMRMaxOrderValue = 950;         // only moves ordered at or below this
constexpr int LMRDeepDepth = 3;               // deeper than this: two plies
constexpr int FutilityDepth = 2;
constexpr int FutilityMargin = 3440;
constexpr int RootReducedDepth = 2;           // plies taken off the reduced root search
constexpr int RootMinPiecesForReduction = 2;  // more pieces than this (queens to knights, both sides)
constexpr int EasyMoveMargin = 2949;          // depth-1 lead that marks an easy move
constexpr int EasyMoveMinDepth = 10;
constexpr int FailLowMargin = 200;            // root score drop that buys one budget extension
constexpr int FailLowMinDepth = 9;
constexpr int HistoryLimit = 65536;           // above this a side's history is halved
constexpr int HistoryOrderShift = 7;          // history counter to ordering value
}  // namespace SearchMargins

// The optional capture search at the horizon.
namespace CaptureSearchLimits {
constexpr int MaxCapturePlies = 16;   // plies of captures beyond the horizon: the evaluation decides there
constexpr int DeltaMargin = 1600;     // a capture that cannot bring the score within this of alpha is skipped
constexpr int VictimWeight = 16;      // ordering: the victim's value counts this much more than the attacker's
constexpr int KingMoverValue = 20000; // a king capturing is ordered after every other capture of its victim
}  // namespace CaptureSearchLimits

// Pruning that only a search ending in the capture search can afford: with a quiet horizon a
// shallow node's static evaluation is trustworthy enough to cut, skip and reduce by.
namespace SelectiveMargins {
constexpr int ReverseFutilityMaxDepth = 6;    // a node this shallow whose evaluation ...
constexpr int ReverseFutilityMargin = 700;    // ... beats beta by this per ply of depth fails high
// Late-move reductions grow with the logarithms of depth and move number:
// base + ln(depth) * ln(move) / divisor, in hundredths.
constexpr int ReductionBaseHundredths = 75;
constexpr int ReductionDivisorHundredths = 225;
constexpr int ReductionTableSize = 64;        // depths and move numbers beyond it use the last entry
// Quiet-move history: a cut-off raises the cutting move's counter and lowers those of the quiet
// moves tried before it, each step pulling the counter back towards 0 in proportion to its size,
// so counters stay within +-HistoryGravity and old results fade.
constexpr int HistoryBonusPerDepthSquared = 16;
constexpr int HistoryBonusCap = 1600;
constexpr int HistoryGravity = 16384;
constexpr int HistoryReductionDivisor = 8192; // a ply less (more) reduction per this much history
// Null move: reduction base + depth / divisor, and a ply more per margin the evaluation beats beta
// by (at most max plies).
constexpr int NullMoveBaseReduction = 4;
constexpr int NullMoveDepthDivisor = 6;
constexpr int NullMoveMarginPerPly = 2 * PawnValue;
constexpr int NullMoveMaxMarginPlies = 1;
// Quiet moves skipped at shallow depth: those after the first LateMovePruningBase + depth^2 legal
// moves, and all of them when the static evaluation plus the margin stays at or below alpha.
constexpr int LateMovePruningMaxDepth = 3;
constexpr int LateMovePruningBase = 3;
// A side whose evaluation has not risen since its last move keeps half as many quiet moves, and its
// reverse futility margin counts a ply more.
constexpr int NotImprovingMoveDivisor = 2;
constexpr int NotImprovingReduction = 1;      // and its late quiet moves are reduced a ply more
constexpr int FutilityPruningMaxDepth = 3;
constexpr int FutilityPruningBase = 800;
constexpr int FutilityPruningPerPly = 800;
// At this depth or less a quiet move whose history has fallen below minus this per ply is skipped:
// it has failed to cut in this position's siblings far more often than it has succeeded.
constexpr int HistoryPruningMaxDepth = 3;
constexpr int HistoryPruningPerPly = 2048;
// Razoring: a node this shallow whose evaluation stays this far per ply below alpha is left to the
// capture search, and fails low when that confirms it.
constexpr int RazorMaxDepth = 2;
constexpr int RazorMarginPerPly = 2 * PawnValue;
// A node this deep that the table knows no move for is searched a ply shallower.
constexpr int UnknownNodeReductionMinDepth = 4;
// Captures that the exchange on the square says lose material are ordered after the quiet moves.
constexpr int LosingCaptureDrop = 21750;
// At this depth or less such a capture is skipped when it loses more than this per ply of depth.
constexpr int LosingCaptureMaxDepth = 4;
constexpr int LosingCapturePerPly = PawnValue;
// From this depth on, the root searches a window of this much either side of the last iteration's
// score first, and the full window again only when the score falls outside it.
constexpr int AspirationMinDepth = 5;
constexpr int AspirationWindow = PawnValue / 4;
// A node this deep whose evaluation plus a winning capture's gain reaches beta plus the margin
// tries that capture with a search this many plies shallower against the raised bound first.
constexpr int ProbCutMinDepth = 5;
constexpr int ProbCutMargin = PawnValue;
constexpr int ProbCutReduction = 4;
}  // namespace SelectiveMargins

namespace SearchTime {
constexpr int SecondsToPlannedMs = 900;       // fixed seconds per move: plan nine tenths
constexpr int PollsPerSecond = 2;             // poll every NodesPerSecond / 2 nodes
constexpr int AnalysisPollShift = 3;          // analysis: every NodesPerSecond / 8 nodes
constexpr int SuddenDeathMoves = 30;          // a sudden-death move gets this share of the time left
constexpr int LateGameMoves = 40;
constexpr int LateGameMoveNumber = 120;
constexpr int BookExitMoves = 7;              // just out of the book: think longer
constexpr int BookExitNumerator = 3, BookExitDenominator = 2;
constexpr int LongThinkEvery = 10, LongThinkAlsoEvery = 9;   // every 10th and 9th move: think longer
constexpr int LongThinkNumerator = 7, LongThinkDenominator = 4;
constexpr int LongThinkTimeLeft = 60000;
constexpr int IncrementFullShare = 20000;     // more time left than this: whole increment added
constexpr int IncrementHalfShare = 10000;     // more than this: half of it
constexpr int EmergencyIncrementShare = 300;  // fallback: ms per second of increment
constexpr int EmergencySafety = 1000;
constexpr int SessionPercent = 95;
constexpr int ShortSessionMoves = 3;          // at most this many moves left: plan half as much
constexpr int ShortSessionDivisor = 200;
constexpr int SessionDivisor = 100;
constexpr int HalfIncrementMs = 500;          // ms added per second of increment with little time left
constexpr int LongSearchSeconds = 3;          // elapsed estimate above this: iteration lines
constexpr int IterationLogDepth = 7;          // deeper root lines go to the log
constexpr int CentisecondMs = 10;
// The clock's own limits on a timed search, beside the node budget (which trusts a rate estimate).
constexpr int LagMarginMs = 50;               // kept back from the clock for the front end's lag ...
constexpr int LagMarginPercent = 5;           // ... or this share of the time left, when larger
constexpr int MinPollInterval = 1000;         // nodes: polls are never closer than this
constexpr int PollsPerBudget = 4;             // a timed search polls at least this often per budget
constexpr int PollGranularityMs = 5;          // and at least every this many ms at the estimated rate
constexpr int ClockLookNodes = 256;           // nodes between two looks at the clock
constexpr int NeverPolledMs = -(1 << 30);     // the clock of the last poll before the first one
constexpr int MinRateMeasureMs = 20;          // shorter spans give no usable node rate
constexpr int MinNodesPerSecond = 10000;      // a measured rate below this is a stalled search, not the machine
constexpr int FixedTimeOverheadDivisor = 10;  // a fixed time keeps back at most a tenth of itself
constexpr int IncrementFloorDivisor = 2;      // a move gets at least half the increment (and of the clock)
// The capture-search mode: a best move that has stood through this many completed iterations ends
// the move once this share of the planned time is spent.
constexpr int StableMoveIterations = 3;
constexpr int StableMovePercent = 50;
constexpr int StableSuddenDeathMoves = 22;    // its sudden-death share of the time left
}  // namespace SearchTime
