// The node search: principal-variation alpha-beta on a board passed by value, with table probes,
// draw tests, static cut-off, null move, internal deepening, extensions, reductions and futility.
#include "search/SearchRoutines.h"

#include <cinttypes>
#include <cstdio>
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "eval/PositionEvaluate.h"
#include "eval/SEE.h"
#include "hash/MoveHistory.h"
#include "hash/TranspositionTables.h"
#include "hash/Zobrist.h"
#include "movegen/MoveOrderTables.h"
#include "search/ReductionTable.h"

SearchRoutines Search;

namespace {

using namespace SearchMargins;
using namespace SearchScore;
using namespace NodeArgs;

// Every way out of a node withdraws its entry of the repetition history.
struct HistoryEntryGuard {
  ~HistoryEntryGuard() { MoveList.RetractMove(); }
};

// A table score is relative to the node that stored it; mate scores become relative to this ply.
int ScoreFromTable(int score, int ply) {
  if (score > MateScoreBound) return score - ply;
  if (score < -MateScoreBound) return score + ply;
  return score;
}

int MoveCodeOf(SquareSet from, SquareSet to) { return MoveCode(SquareIndex(from), SquareIndex(to)); }

bool HasPieceBesidesPawns(const ChessBoard& b, int side) {
  return side ? b.BlackMaterialCount - b.BlackPawnCount > 0 : b.WhiteMaterialCount - b.WhitePawnCount > 0;
}

// A debugging aid of "-trace": table events with their window and hash codes.
void TraceCache(const char* event, int score, int alpha, int beta, std::uint64_t upper, std::uint64_t lower) {
  if (!MainStatus.Trace) return;
  std::printf("%s: v=%d alpha=%d beta=%d\n", event, score, alpha, beta);
  std::printf("Upper HC %" PRIu64 " Lower HC %" PRIu64 "\n", upper, lower);
  std::fflush(stdout);
}

bool IsRepetition(const ChessBoard& b, std::uint64_t upper, std::uint64_t lower) {
  return b.FiftyMoveCount > 2 && MoveList.ThreeFoldRepDetection(b.FiftyMoveCount, upper, lower) > 0;
}

// The game record only has room for MaxGameMoves entries; a longer game is not recorded further.
void RecordGameMove(int ply, int code) {
  const int index = MainStatus.MoveNumber + ply;
  if (index >= 0 && index < MaxGameMoves) FTMoveList[index] = static_cast<std::uint32_t>(code);
}

// Makes a pseudo-legal move and records it in the game; false, with the move taken back, when it
// leaves the mover's own king in check. `code` receives the move's code either way.
bool MakeLegalMove(ChessBoard& board, char side, SquareSet from, SquareSet to, char promotion, int ply,
                   char* castleMask, int* code) {
  *castleMask = AllCastleRights;
  board.MakeMove(from, to, promotion, castleMask);
  *code = MoveCodeOf(from, to);
  RecordGameMove(ply, *code);
  if (!board.InCheck(board.KingOf(side), side)) return true;
  board.UndoMove(0);
  return false;
}

// A pawn move to a square with no enemy pawn ahead of it on its own or a neighbouring file.
bool IsPassedPawnAdvance(const ChessBoard& b, int side, SquareSet to) {
  if (!b.IsPawn(static_cast<char>(side), to)) return false;
  return (MoveOrder::FrontSpans[side][SquareIndex(to)] & b.PawnsOf(side ^ 1)) == 0;
}

char ChildNodeType(char nodeType) {
  if (nodeType == PVNode) return PVNode;
  return nodeType == AllNode ? CutNode : AllNode;
}

// The capture-search mode's static cut-off: deeper than the plain one, with a margin per ply.
int ReverseFutilityMargin(int depth, bool improving) {
  return SelectiveMargins::ReverseFutilityMargin * (improving ? depth - 1 : depth);
}

bool ReverseFutilityCut(int staticEval, int depth, bool improving, int beta) {
  return depth <= SelectiveMargins::ReverseFutilityMaxDepth && OrdinaryScore(beta) &&
         staticEval - ReverseFutilityMargin(depth, improving) >= beta;
}

// A side improves when its evaluation beats the one of its node two plies up, or when there is
// none to compare with. A node reached by a null move (or searched again for a move to try first)
// counts as improving: the node two plies up is not its side's.
bool IsImproving(const std::int32_t* staticEvals, int ply, int staticEval, bool nullAllowed) {
  if (staticEval == NoScore || ply < 2 || !nullAllowed) return true;
  const int before = staticEvals[ply - 2];
  return before == NoScore || staticEval > before;
}

// The capture-search mode skips a late quiet move at shallow depth, and one whose position
// stands so far below alpha that only a capture or a check could bring it back.
bool SkipQuietMove(int legal, int depth, bool improving, int staticEval, int alpha, int history) {
  using namespace SelectiveMargins;
  if (!OrdinaryScore(alpha)) return false;
  const int kept = (LateMovePruningBase + depth * depth) / (improving ? 1 : NotImprovingMoveDivisor);
  if (depth <= LateMovePruningMaxDepth && legal > kept) return true;
  if (depth <= HistoryPruningMaxDepth && history < -HistoryPruningPerPly * depth) return true;
  return depth <= FutilityPruningMaxDepth && staticEval + FutilityPruningBase + FutilityPruningPerPly * depth <= alpha;
}

// The capture-search mode orders captures that lose material after the quiet moves (the table's
// and the variation's move keep their place).
void DemoteLosingCaptures(MoveGen& list, int count, const ChessBoard& b, int side) {
  for (int i = 0; i < count; i++) {
    if (!(list.ToSquares[i] & b.PiecesOf(side ^ 1)) || list.OrderValues[i] >= MoveOrder::PVMoveValue) continue;
    if (see.StaticExchangeEvaluation(static_cast<char>(side ^ 1), list.FromSquares[i], list.ToSquares[i], b) < 0)
      list.OrderValues[i] -= SelectiveMargins::LosingCaptureDrop;
  }
}

// The capture-search mode adds to each plain quiet move's ordering value how well it has answered
// the moves one and two plies before it (killers, the table's and the variation's move keep their places).
void AddContinuationScores(MoveGen& list, int count, const ChessBoard& b, int side, int before1, int before2) {
  const ContinuationHistory& table = Search.Continuations;
  for (int i = 0; i < count; i++) {
    const SquareSet to = list.ToSquares[i];
    if (list.Promotions[i] != NoPromotion || !b.IsEmptySquare(to) || list.OrderValues[i] >= MoveOrder::SecondKillerValue)
      continue;
    const int key = ContinuationHistory::KeyOf(b, side, list.FromSquares[i], SquareIndex(to));
    list.OrderValues[i] += (table.Score(before1, key) + table.Score(before2, key)) >> SearchMargins::HistoryOrderShift;
  }
}

// The key of the move made ago plies before the node at ply, NoKey before the root.
int PathMoveKey(int ply, int ago) {
  return ply >= ago ? Search.PathMoveKeys[ply - ago] : ContinuationHistory::NoKey;
}

// The capture-search mode's razoring: a shallow node far below alpha by its evaluation.
bool RazorNode(int staticEval, int depth, int alpha) {
  using namespace SelectiveMargins;
  return depth <= RazorMaxDepth && OrdinaryScore(alpha) && staticEval + RazorMarginPerPly * depth < alpha;
}

// The capture-search mode skips, at shallow depth, a capture that the exchange on its square says
// loses more than a pawn per ply of depth left: too little depth remains to win the material back.
bool LosingCaptureToSkip(const ChessBoard& b, int side, SquareSet from, SquareSet to, int depth, int alpha) {
  using namespace SelectiveMargins;
  if (depth > LosingCaptureMaxDepth || !OrdinaryScore(alpha) || !(to & b.PiecesOf(side ^ 1))) return false;
  return see.StaticExchangeEvaluation(static_cast<char>(side ^ 1), from, to, b) < -LosingCapturePerPly * depth;
}

// The capture-search mode's reduction of a late quiet move: less for a move with a good history,
// a ply more for a side whose evaluation has not risen since its last move.
int HistoryReduction(int depth, int legal, bool pvNode, int history, bool improving) {
  int r = ReductionTable::Reduction(depth, legal, pvNode) - history / SelectiveMargins::HistoryReductionDivisor +
          (improving ? 0 : SelectiveMargins::NotImprovingReduction);
  if (r > depth - 2) r = depth - 2;
  return r > 0 ? r : 0;
}

// The plain search passes when its material, give or take a margin, reaches beta; deep nodes only
// with enough pieces left for a pass to be safe.
bool NullMoveByMaterial(ChessBoard& board, int side, int depth, int alpha, int beta) {
  return (depth <= NullMoveMaxPlainDepth || PE.SideMaterialValue(static_cast<char>(side), &board) > NullMoveDeepMaterial) &&
         PE.MaterialOnly(static_cast<char>(side), alpha, &board) + NullMoveMaterialMargin >= beta;
}

int MaterialNullReduction(ChessBoard& board, int depth) {
  const int material = PE.SideMaterialValue(0, &board) + PE.SideMaterialValue(1, &board);
  return NullMoveReduction - (depth <= NullMoveShallowDepth ? 1 : 0) + (material > NullMoveRichMaterial ? 1 : 0);
}

// The capture-search mode passes when its static evaluation already reaches beta and it has a piece
// (zugzwang lives in pawn endings), at any depth.
bool NullMoveByEvaluation(const ChessBoard& board, int side, int staticEval, int beta) {
  return OrdinaryScore(beta) && staticEval >= beta && HasPieceBesidesPawns(board, side);
}

// Deeper nodes and evaluations further above beta take a larger reduction.
int EvaluatedNullReduction(int depth, int staticEval, int beta) {
  using namespace SelectiveMargins;
  int byMargin = (staticEval - beta) / NullMoveMarginPerPly;
  if (byMargin > NullMoveMaxMarginPlies) byMargin = NullMoveMaxMarginPlies;
  return NullMoveBaseReduction + depth / NullMoveDepthDivisor + byMargin;
}

#ifdef NELK_CHECKS
// The codes a node was handed are those of its position.
bool HashCodesAgree(char side, char castle, std::uint64_t upper, std::uint64_t lower, const ChessBoard& b) {
  std::uint64_t up = 0, low = 0;
  genhashcode(side, castle, &up, &low, b);
  return up == upper && low == lower;
}
#endif

std::uint8_t BoundType(int best, int beta, bool raised) {
  if (best >= beta) return TTLowerBound;
  return raised ? TTExact : TTUpperBound;
}

}  // namespace

int SearchRoutines::Search(char side, int alpha, int beta, ChessBoard board, int depth, int ply, char NullAllowed,
                           char CastleRights, char InCheck, std::uint64_t UpperHash, std::uint64_t LowerHash,
                           char NodeType, char MoveFlags, int PlyLimit, char FromRoot) {
  // Step 1. Poll input and the budget every few hundred thousand nodes (never in fixed-depth runs,
  // whose node counts must not depend on time).
  if (!MainStatus.FD && !MainStatus.Bench && !Aborted) {
    if (PollCountdown-- <= 0 && !PollInput(depth, ply)) return 0;
  }

  // Step 2. Enter the position in the repetition history for the rest of this node. Its hash codes
  // come from the caller, which updated its own by the move made (or the pass).
  NELK_CHECK(HashCodesAgree(side, CastleRights, UpperHash, LowerHash, board));
  MoveList.InsertHashCodeMoveHistory(UpperHash, LowerHash);
  HistoryEntryGuard historyEntry;
  const std::uint64_t upper = UpperHash, lower = LowerHash;

  // Step 3. Horizon: evaluate. A node in check is searched, unless it lies beyond the ply tables.
  const bool beyondTables = ply < 0 || ply > SearchLimits::MaxInteriorPly;
  if (beyondTables || (!(depth > 0 && ply <= PlyLimit) && !InCheck)) {
    if (IsRepetition(board, upper, lower)) return DrawScore;
    int score = 0, move = 0;
    if (PositionCache.SearchTranspositionTables(upper, lower, side, depth, alpha, beta, score, move) <= TTCutExact) {
      HorizonNodes++;
      return ScoreFromTable(score, ply);
    }
    const int v = Quiesce(side, alpha, beta, board, depth, 0, ply + 1);
    const std::uint8_t bound = v >= beta ? TTLowerBound : v > alpha ? TTExact : TTUpperBound;
    PositionCache.InsertTranspositionTables(upper, lower, side, depth, 0, bound == TTUpperBound ? alpha : v, bound,
                                            alpha, beta);
    HorizonNodes++;
    return v;
  }

  // Step 4. Draws by rule and by repetition (one earlier occurrence is enough).
  if (ply > MainStatus.MaxPly) MainStatus.MaxPly = ply;
  const int drawByRule = board.CheckDraw(InCheck);
  // A mate given on the move that completes the fifty moves stands: the rule draws only a
  // position that is not mate.
  if (drawByRule == ResultFiftyMoveDraw && InCheck && IsMated(side, board)) return ply - MateScore;
  if (drawByRule) return DrawScore;
  if (IsRepetition(board, upper, lower)) return DrawScore;

  // Step 5. Transposition table: a usable entry ends the node, except on the principal variation.
  int hashMove = 0, tableScore = 0;
  int staticEval = NoScore;   // the capture-search mode's evaluation of a non-PV node not in check
  const int probe = PositionCache.SearchTranspositionTables(upper, lower, side, depth, alpha, beta, tableScore, hashMove);
  bool mateThreat = false;
  if (probe <= TTCutExact) {
    TraceCache("Position Cache Hit", tableScore, alpha, beta, upper, lower);
    tableScore = ScoreFromTable(tableScore, ply);
    if (NodeType != PVNode) {
      PrincipalVariation[ply][0].Move = static_cast<std::uint16_t>(ply);
      PrincipalVariation[ply][ply].Move = static_cast<std::uint16_t>(hashMove);
      return tableScore;
    }
  } else if (CaptureSearchOn && NodeType != PVNode && !InCheck) {
    // Step 6 of the capture-search mode: one static evaluation for the cut-off, the null move and
    // the move loop's skips.
    staticEval = PE.PosEval(side, alpha, beta, &board, CastleRights);
  }
  const bool improving = IsImproving(StaticEvals, ply, staticEval, NullAllowed);
  StaticEvals[ply] = staticEval;
  if (staticEval != NoScore && NullAllowed && HasPieceBesidesPawns(board, side) &&
      ReverseFutilityCut(staticEval, depth, improving, beta))
    return staticEval - ReverseFutilityMargin(depth, improving);
  if (staticEval != NoScore && RazorNode(staticEval, depth, alpha)) {
    const int v = Quiesce(side, alpha, beta, board, depth, 0, ply + 1);
    if (StopSearch && !MainStatus.FD) return 0;
    if (v <= alpha) return v;
  }
  if (probe > TTCutExact) {
    // Step 6. Static cut-off: shallow, and so far above beta that a quiet position cannot fall back.
    if (!CaptureSearchOn && NodeType != PVNode && NullAllowed && !InCheck && depth <= StaticCutoffMaxDepth &&
        beta >= -StaticCutoffWindow && beta <= StaticCutoffWindow && HasPieceBesidesPawns(board, side)) {
      const int e = PE.PosEval(side, alpha, beta, &board, CastleRights) - RazorMargins[depth];
      if (e >= beta) return e;
    }

    // Step 7. Null move: if passing still keeps the score above beta, a real move will too.
    if (probe != TTNoCutNoNull && NodeType != PVNode && NullAllowed && !InCheck &&
        (CaptureSearchOn ? NullMoveByEvaluation(board, side, staticEval, beta)
                         : NullMoveByMaterial(board, side, depth, alpha, beta))) {
      const std::uint64_t nullUpper = upper ^ SideToMoveKeyChange(), nullLower = lower ^ SideToMoveKeyChange();
      PositionCache.Prefetch(nullLower);
      // The reply to a pass (two plies on) continues no move.
      PathMoveKeys[ply] = PathMoveKeys[ply + 1] = ContinuationHistory::NoKey;
      const int nullDepth = CaptureSearchOn ? depth - EvaluatedNullReduction(depth, staticEval, beta)
                                            : depth - MaterialNullReduction(board, depth);
      const int v = -Search(side ^ 1, -beta, 1 - beta, board, nullDepth, ply + 2, NullMoveBarred, CastleRights,
                            NotInCheck, nullUpper, nullLower, NodeType, MoveFlags & FlagExtended, PlyLimit, FromRoot);
      if (StopSearch && !MainStatus.FD) return 0;
      if (v >= beta) {
        PositionCache.InsertTranspositionTables(upper, lower, side, depth - NullMoveStoreReduction, 0, v,
                                                TTLowerBound, alpha, beta);
        TraceCache("Position Cache Insert (NullM)", v, alpha, beta, upper, lower);
        PrincipalVariation[ply][0].Move = 0;
        return beta;
      }
      mateThreat = v < MateThreat;
    }

    // The capture-search mode's cut by a capture, before any quiet move is searched.
    if (staticEval != NoScore && depth >= SelectiveMargins::ProbCutMinDepth && OrdinaryScore(beta)) {
      const int v = ProbeCaptureCut(side, beta, board, depth, ply, staticEval, CastleRights, PlyLimit, FromRoot,
                                    upper, lower);
      if (StopSearch && !MainStatus.FD) return 0;
      if (v != NoScore) {
        PositionCache.InsertTranspositionTables(upper, lower, side, depth - SelectiveMargins::ProbCutReduction + 1,
                                                PrincipalVariation[ply][ply].Move, v, TTLowerBound, alpha, beta);
        return v;
      }
    }

    // Step 8. Internal deepening: a shallower search of a wide-window node finds a move to try first.
    if (beta - alpha > 1 && depth > IIDMinDepth && NodeType != PVNode) {
      Search(side, alpha, beta, board, depth - IIDReduction, ply, NullMoveBarred, CastleRights, InCheck, upper, lower,
             NodeType, MoveFlags, PlyLimit, FromRoot);
      if (StopSearch && !MainStatus.FD && !MainStatus.Pondering) return 0;
      int ignored = 0;
      PositionCache.SearchTranspositionTables(upper, lower, side, depth, alpha, beta, ignored, hashMove);
    }
  }

  // The capture-search mode searches a node the table knows no move for a ply shallower: without a
  // move to try first its search costs the most, and a node no earlier iteration has reached
  // matters least.
  if (CaptureSearchOn && hashMove == 0 && !InCheck && depth >= SelectiveMargins::UnknownNodeReductionMinDepth) depth--;

  // Step 9. Generate and order the moves.
  MoveGen list;
  list.MoveCount = 0;
  int count;
  bool singleReply = false;
  if (InCheck) {
    count = list.GenCheckEvasions(side, &board);
    singleReply = count == 1;
  } else {
    count = list.GenerateAllMoves(side, &board, CastleRights);
  }
  if (count > MaxMovesInList) count = MaxMovesInList;
  list.AssignMoveOrderValues(count, ply, board.KingOf(side ^ 1), hashMove, NodeType);
  const int before1 = PathMoveKey(ply, 1), before2 = PathMoveKey(ply, 2);
  if (CaptureSearchOn) {
    DemoteLosingCaptures(list, count, board, side);
    AddContinuationScores(list, count, board, side, before1, before2);
  }

  // Step 10. The move loop, best move first, until a move reaches beta.
  int best = NoScore;
  int legal = 0;
  bool raised = false, bestWasFutile = false;
  char runningType = NodeType;   // decides extensions and futility; updated by the searches made
  const int firstAlpha = alpha;
  const SquareSet enemyKing = board.KingOf(side ^ 1);
  std::uint16_t quietsTried[MaxMovesInList];   // the capture-search mode's history update
  std::int16_t quietKeysTried[MaxMovesInList];
  int quietCount = 0;
  if (beta < SkipMoveLoopBeta) count = 0;
  for (int i = 0; i < count && best < beta; i++) {
    SquareSet from = 0, to = 0;
    char promotion = NoPromotion;
    list.NextMove(i, count, &from, &to, &promotion);
    const SquareSet enemiesBefore = board.PiecesOf(side ^ 1);
    const bool quietTarget = board.IsEmptySquare(to);
    const bool losingCapture = staticEval != NoScore && LosingCaptureToSkip(board, side, from, to, depth, alpha);
    char castleMask;
    int code;
    if (!MakeLegalMove(board, side, from, to, promotion, ply, &castleMask, &code)) continue;
    Nodes++;
    legal++;
    const bool givesCheck = board.InCheck(enemyKing, side ^ 1);
    const bool capture = board.PiecesOf(side ^ 1) != enemiesBefore;
    const bool isPromotion = promotion != NoPromotion;
    const char childCastle = static_cast<char>(CastleRights & castleMask);
    const bool lateQuiet = !isPromotion && !givesCheck && !capture && list.OrderValues[i] <= LMRMaxOrderValue &&
                           !InCheck && !mateThreat;
    const bool skipCapture = losingCapture && !givesCheck && !isPromotion;
    const int history = History[static_cast<int>(side)][code];
    const int moveKey = CaptureSearchOn ? ContinuationHistory::KeyOf(board, side, to, SquareIndex(to)) : 0;
    PathMoveKeys[ply] = static_cast<std::int16_t>(moveKey);
    if (staticEval != NoScore && legal > 1 &&
        (skipCapture || (lateQuiet && SkipQuietMove(legal, depth, improving, staticEval, alpha, history)))) {
      board.UndoMove(0);
      continue;
    }

    std::uint64_t childUpper = upper, childLower = lower;
    UpdateHashCodeForMove(board, CastleRights, childCastle, &childUpper, &childLower);

    // Late-move reduction of quiet moves that the ordering ranks low.
    int R = 0;
    // (The plain search never reduces the replies to a root move.)
    const bool reducibleHere = ply != 1 || CaptureSearchOn;
    if (legal >= LMRMinLegalMove && lateQuiet && depth > LMRMinDepth && reducibleHere && !singleReply &&
        !IsPassedPawnAdvance(board, side, to))
      R = CaptureSearchOn ? HistoryReduction(depth, legal, NodeType == PVNode, history, improving)
                          : depth > LMRDeepDepth ? 2 : 1;
    // Extension of checks, and on the principal variation of forced replies and mate threats.
    int E = 0;
    if (givesCheck || runningType == PVNode) E = (givesCheck || singleReply || mateThreat) ? 1 : 0;
    // Futility: a quiet move at depth 2 that cannot bring the material near alpha.
    int F = 0;
    if (depth == FutilityDepth && runningType != PVNode && !givesCheck && !capture && !isPromotion && !InCheck &&
        PE.MaterialOnly(side, alpha, &board) + FutilityMargin < alpha)
      F = 1;
    const char flags = static_cast<char>((capture ? FlagCapture : 0) | (E ? FlagExtended : 0) | (R ? FlagReduced : 0));
    const int newDepth = depth - 1 + E - F - R;
    // Only a node search probes the table: the bucket of a horizon child, which Quiesce takes
    // without a probe, would be loaded for nothing.
    if (newDepth > 0 || givesCheck) PositionCache.Prefetch(childLower);

    // A child at the horizon that does not give check is evaluated directly, with the full window.
    auto searchChild = [&](int childAlpha, int childBeta, char childType, int childDepth) {
      PrincipalVariation[ply + 1][0].Move = static_cast<std::uint16_t>(ply + 1);   // no stale variation
      if (childDepth <= 0 && !givesCheck) return -Quiesce(side ^ 1, -beta, -alpha, board, childDepth, 0, ply + 1);
      return -Search(side ^ 1, childAlpha, childBeta, board, childDepth, ply + 1, NullMoveOk, childCastle, givesCheck,
                     childUpper, childLower, childType, flags, PlyLimit, FromRoot);
    };
    int v;
    if (NodeType != PVNode || legal == 1) {
      const char childType = ChildNodeType(NodeType);
      v = searchChild(-beta, -alpha, childType, newDepth);
      runningType = childType;
    } else {
      v = searchChild(-alpha - 1, -alpha, AllNode, newDepth);
      runningType = AllNode;
      if (v > alpha && v < beta) v = searchChild(-beta, -alpha, AllNode, newDepth);
    }
    if (R > 0 && v > alpha) {
      v = searchChild(-beta, -alpha, PVNode, depth - 1 + E);
      runningType = PVNode;
    }

    board.UndoMove(0);
    if (StopSearch && !MainStatus.FD) return 0;
    if (Aborted) return 0;

    if (v > best) {
      best = v;
      bestWasFutile = F != 0;
      if (v > alpha) {
        UpdateNodePV(ply, code, promotion, depth + E == 1);
        if (v >= beta) {
          if (!CaptureSearchOn) AddHistory(side, code, depth);
          else if (quietTarget && !isPromotion) {
            RewardQuietCutoff(side, code, quietsTried, quietCount, depth);
            RewardContinuations(before1, before2, moveKey, quietKeysTried, quietCount, depth);
          }
          KillerPair& killers = Killers[ply];
          if (quietTarget && !isPromotion && killers.First != code) {
            killers.Second = killers.First;
            killers.First = static_cast<std::uint16_t>(code);
          }
        }
        alpha = v;
        raised = true;
      }
    }
    if (quietTarget && !isPromotion) {
      quietKeysTried[quietCount] = static_cast<std::int16_t>(moveKey);
      quietsTried[quietCount++] = static_cast<std::uint16_t>(code);
    }
  }

  // Step 11. No legal move: mate or stalemate.
  if (legal == 0) {
    if (InCheck) best = ply - MateScore;
    else if (board.InCheck(enemyKing, side ^ 1)) best = MateScore - ply;
    else best = -ply;
  }

  // Step 12. Store the result (not when a futility-reduced move decided it).
  const std::uint8_t bound = BoundType(best, beta, raised);
  if (!bestWasFutile)
    PositionCache.InsertTranspositionTables(upper, lower, side, depth, PrincipalVariation[ply][ply].Move,
                                            bound == TTUpperBound ? firstAlpha : best, bound, firstAlpha, beta);
  return best;
}

int SearchRoutines::ProbeCaptureCut(char side, int beta, ChessBoard& board, int depth, int ply, int staticEval,
                                    char CastleRights, int PlyLimit, char FromRoot, std::uint64_t upper,
                                    std::uint64_t lower) {
  using namespace SelectiveMargins;
  const int raisedBeta = beta + ProbCutMargin;
  MoveGen list;
  list.MoveCount = 0;
  int count = list.GenerateAllMoves(side, &board, CastleRights);
  if (count > MaxMovesInList) count = MaxMovesInList;
  list.AssignMoveOrderValues(count, ply, board.KingOf(side ^ 1), 0, CutNode);
  const SquareSet enemyKing = board.KingOf(side ^ 1);
  for (int i = 0; i < count; i++) {
    SquareSet from = 0, to = 0;
    char promotion = NoPromotion;
    list.NextMove(i, count, &from, &to, &promotion);
    if (!(to & board.PiecesOf(side ^ 1)) || promotion != NoPromotion) continue;
    // Only a capture whose exchange alone lifts the evaluation to the raised bound.
    if (staticEval + see.StaticExchangeEvaluation(static_cast<char>(side ^ 1), from, to, board) < raisedBeta) continue;
    char castleMask;
    int code;
    if (!MakeLegalMove(board, side, from, to, promotion, ply, &castleMask, &code)) continue;
    Nodes++;
    PathMoveKeys[ply] = static_cast<std::int16_t>(ContinuationHistory::KeyOf(board, side, to, SquareIndex(to)));
    const char givesCheck = board.InCheck(enemyKing, side ^ 1) ? 1 : 0;
    const char childCastle = static_cast<char>(CastleRights & castleMask);
    std::uint64_t childUpper = upper, childLower = lower;
    UpdateHashCodeForMove(board, CastleRights, childCastle, &childUpper, &childLower);
    // The capture search confirms cheaply before the reduced search does.
    PrincipalVariation[ply + 1][0].Move = static_cast<std::uint16_t>(ply + 1);
    int v = givesCheck ? raisedBeta : -Quiesce(side ^ 1, -raisedBeta, 1 - raisedBeta, board, 0, 0, ply + 1);
    if (v >= raisedBeta)
      v = -Search(side ^ 1, -raisedBeta, 1 - raisedBeta, board, depth - ProbCutReduction, ply + 1, NullMoveOk,
                  childCastle, givesCheck, childUpper, childLower, AllNode, FlagCapture, PlyLimit, FromRoot);
    board.UndoMove(0);
    if (StopSearch && !MainStatus.FD) return NoScore;
    if (Aborted) return NoScore;
    if (v >= raisedBeta) {
      PrincipalVariation[ply][0].Move = static_cast<std::uint16_t>(ply);
      PrincipalVariation[ply][ply].Move = static_cast<std::uint16_t>(code);
      return v;
    }
  }
  return NoScore;
}

void SearchRoutines::UpdateNodePV(int ply, int code, char promotion, bool pvEndsHere) {
  PVEntry* row = PrincipalVariation[ply];
  const PVEntry* childRow = PrincipalVariation[ply + 1];
  row[ply].Move = static_cast<std::uint16_t>(code);
  row[ply].Promotion = promotion;
  int childEnd = childRow[0].Move;
  row[0].Move = static_cast<std::uint16_t>(pvEndsHere ? ply : childEnd);
  if (childEnd > SearchLimits::PVColumns) childEnd = SearchLimits::PVColumns;
  for (int j = ply + 1; j < childEnd; j++) row[j] = childRow[j];
}

int SearchRoutines::Quiesce(char side, int alpha, int beta, ChessBoard board, int, char castle, int ply) {
  if (CaptureSearchOn) return CaptureSearch(side, alpha, beta, board, castle, ply, 0);
  QNodes++;
  if (ply > MainStatus.MaxPly) MainStatus.MaxPly = ply;
  PollCountdown--;
  if (board.CheckDraw(0)) return DrawScore;
  return PE.PosEval(side, alpha, beta, &board, castle);
}

// Evasions are generated pseudo-legal: each is tried.
bool SearchRoutines::IsMated(char side, ChessBoard board) {
  MoveGen list;
  const int count = list.GenCheckEvasions(side, &board);
  for (int i = 0; i < count && i < MaxMovesInList; i++) {
    char castleMask = AllCastleRights;
    board.MakeMove(list.FromSquares[i], list.ToSquares[i], list.Promotions[i], &castleMask);
    const bool legal = !board.InCheck(board.KingOf(side), side);
    board.UndoMove(0);
    if (legal) return false;
  }
  return true;
}

bool SearchRoutines::InCheckmate(std::uint64_t kingSet, char side, char check, ChessBoard* board) {
  if (check == 2) check = board->InCheck(kingSet, side) ? 1 : 0;
  if (!check) return false;
  MoveGen list;
  return list.GenCheckEvasions(side, board) == 0;
}

int SearchRoutines::ValueCapturedPiece(char side, std::uint64_t square, ChessBoard* board) {
  const char victim = side ? 0 : 1;
  if (board->IsPawn(victim, square)) return PawnValue;
  if (board->IsBishop(victim, square)) return BishopValue;
  if (board->IsKnight(victim, square)) return KnightValue;
  if (board->IsRook(victim, square)) return RookValue;
  if (board->IsQueen(victim, square)) return QueenValue;
  constexpr int KingVictimValue = 1000000;
  if (board->IsKing(victim, square)) return KingVictimValue;
  return 0;
}

void SearchRoutines::ClearHistory() {
  HistoryMax = 0;
  Continuations.Clear();
  for (auto& side : History)
    for (auto& counter : side) counter = 0;
}

void SearchRoutines::ReduceHistory() {
  HistoryMax >>= 1;
  for (auto& side : History)
    for (auto& counter : side) counter >>= 1;
}

void SearchRoutines::AddHistory(char side, int move, int depth) {
  if (side < 0 || side > 1 || move < 0 || move >= SearchLimits::HistoryMoves) return;
  std::int32_t& counter = History[static_cast<int>(side)][move];
  counter += depth * depth;
  if (counter > HistoryMax) HistoryMax = counter;
  if (counter > HistoryLimit) {
    HistoryMax >>= 1;
    for (auto& c : History[static_cast<int>(side)]) c >>= 1;
  }
}

namespace {

// One step of a history counter towards +-HistoryGravity by bonus (negative: a malus).
void PullHistory(std::int32_t& counter, int bonus) {
  const int magnitude = bonus < 0 ? -bonus : bonus;
  counter += bonus - static_cast<std::int32_t>(static_cast<std::int64_t>(counter) * magnitude /
                                               SelectiveMargins::HistoryGravity);
}

// A cut-off's reward (and its siblings' malus): the square of its depth, capped.
int CutoffBonus(int depth) {
  using namespace SelectiveMargins;
  const int squared = HistoryBonusPerDepthSquared * depth * depth;
  return squared < HistoryBonusCap ? squared : HistoryBonusCap;
}

}  // namespace

void SearchRoutines::RewardQuietCutoff(char side, int move, const std::uint16_t* triedBefore, int triedCount,
                                       int depth) {
  if (side < 0 || side > 1 || move < 0 || move >= SearchLimits::HistoryMoves) return;
  const int bonus = CutoffBonus(depth);
  std::int32_t* counters = History[static_cast<int>(side)];
  PullHistory(counters[move], bonus);
  for (int i = 0; i < triedCount; i++) PullHistory(counters[triedBefore[i]], -bonus);
}

void SearchRoutines::RewardContinuations(int before1, int before2, int key, const std::int16_t* triedKeys, int triedCount,
                                         int depth) {
  using namespace SelectiveMargins;
  const int bonus = CutoffBonus(depth);
  for (const int before : {before1, before2}) {
    Continuations.Pull(before, key, bonus, HistoryGravity);
    for (int i = 0; i < triedCount; i++) Continuations.Pull(before, triedKeys[i], -bonus, HistoryGravity);
  }
}

void SearchRoutines::ClearKillers() {
  for (auto& killers : Killers) killers = KillerPair{0, 0};
}

void SearchRoutines::InitValues() {
  TimerExtended = StopSearch = TimeUp = Aborted = 0;
  PreviousScore = 0;
}
