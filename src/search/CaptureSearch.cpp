// The optional capture search at the horizon: instead of trusting the static evaluation of a
// position in the middle of an exchange, play out the captures (and queen promotions) that can
// change the material balance until the position is quiet.
#include "search/SearchRoutines.h"

#include <utility>
#include "engine/Status.h"
#include "eval/PositionEvaluate.h"
#include "eval/SEE.h"
#include "movegen/MoveGen.h"
#include "search/SearchConstants.h"

namespace {

using namespace CaptureSearchLimits;
using SearchScore::NoScore;

// Value of the piece a capture takes (0 for a quiet move).
int VictimValue(const ChessBoard& b, int victimSide, SquareSet to) {
  if (!(to & b.PiecesOf(victimSide))) return 0;
  if (b.IsPawn(static_cast<char>(victimSide), to)) return PawnValue;
  if (b.IsKnight(static_cast<char>(victimSide), to)) return KnightValue;
  if (b.IsBishop(static_cast<char>(victimSide), to)) return BishopValue;
  if (b.IsRook(static_cast<char>(victimSide), to)) return RookValue;
  if (b.IsQueen(static_cast<char>(victimSide), to)) return QueenValue;
  return 0;
}

int MoverValue(const ChessBoard& b, int side, SquareSet from) {
  if (b.IsPawn(static_cast<char>(side), from)) return PawnValue;
  if (b.IsKnight(static_cast<char>(side), from)) return KnightValue;
  if (b.IsBishop(static_cast<char>(side), from)) return BishopValue;
  if (b.IsRook(static_cast<char>(side), from)) return RookValue;
  if (b.IsQueen(static_cast<char>(side), from)) return QueenValue;
  return KingMoverValue;
}

bool IsQueenPromotion(char promotion) { return promotion == 'Q' || promotion == 'q'; }

// Keeps the captures and queen promotions of a quiescence list, each with its ordering value
// (most valuable victim first, then least valuable attacker), and drops the rest: quiet pawn
// moves, under-promotions, captures that cannot lift the score to alpha (delta test) and captures
// that the exchange on the square says lose material.
int SelectCaptures(MoveGen& list, int count, const ChessBoard& b, int side, int standPat, int alpha) {
  int kept = 0;
  for (int i = 0; i < count; i++) {
    const SquareSet from = list.FromSquares[i], to = list.ToSquares[i];
    const char promotion = list.Promotions[i];
    const int victim = VictimValue(b, side ^ 1, to);
    const bool queening = IsQueenPromotion(promotion);
    if (victim == 0 && !queening) continue;
    if (promotion != NoPromotion && !queening) continue;
    const int gain = victim + (queening ? QueenValue - PawnValue : 0);
    if (!queening && standPat + gain + DeltaMargin < alpha) continue;
    const int mover = MoverValue(b, side, from);
    if (victim != 0 && mover > victim &&
        see.StaticExchangeEvaluation(static_cast<char>(side ^ 1), from, to, b) < 0)
      continue;
    list.FromSquares[kept] = from;
    list.ToSquares[kept] = to;
    list.Promotions[kept] = promotion;
    list.OrderValues[kept] = gain * VictimWeight - mover;
    kept++;
  }
  return kept;
}

// Brings the best remaining move to position i (selection sort: lists are short and a cut-off
// usually comes early).
void PickBest(MoveGen& list, int i, int count) {
  int best = i;
  for (int j = i + 1; j < count; j++)
    if (list.OrderValues[j] > list.OrderValues[best]) best = j;
  if (best == i) return;
  std::swap(list.FromSquares[i], list.FromSquares[best]);
  std::swap(list.ToSquares[i], list.ToSquares[best]);
  std::swap(list.Promotions[i], list.Promotions[best]);
  std::swap(list.OrderValues[i], list.OrderValues[best]);
}

}  // namespace

void SearchRoutines::SetCaptureSearch(bool on) {
  CaptureSearchOn = on ? 1 : 0;
  PE.Weights = on ? EvalWeights::CaptureSearch : EvalWeights::Standard;
}

bool SearchRoutines::CaptureSearchPoll(int ply) {
  if (MainStatus.FD || MainStatus.Bench || Aborted) {
    PollCountdown--;
    return true;
  }
  return PollCountdown-- > 0 || PollInput(0, ply);
}

int SearchRoutines::CaptureSearch(char side, int alpha, int beta, ChessBoard board, char castle, int ply, int qply) {
  QNodes++;
  if (ply > MainStatus.MaxPly) MainStatus.MaxPly = ply;
  if (!CaptureSearchPoll(ply)) return 0;
  if (board.CheckDraw(0)) return DrawScore;

  // A side in check at the first ply must answer the check: every evasion is searched and no
  // evasion means mate. Deeper, a check is left to the static evaluation, which keeps the search
  // to captures.
  const bool inCheck = qply == 0 && board.InCheck(board.KingOf(side), side);
  int best = NoScore;
  if (!inCheck) {
    const int standPat = PE.PosEval(side, alpha, beta, &board, castle);
    if (standPat >= beta || qply >= MaxCapturePlies) return standPat;
    if (standPat > alpha) alpha = standPat;
    best = standPat;
  }

  MoveGen list;
  int count = inCheck ? list.GenCheckEvasions(side, &board) : list.GenerateQuiesceMoves(side, &board);
  if (count > MaxMovesInList) count = MaxMovesInList;
  if (!inCheck) count = SelectCaptures(list, count, board, side, best, alpha);

  int legal = 0;
  for (int i = 0; i < count && best < beta; i++) {
    if (!inCheck) PickBest(list, i, count);
    char castleMask = AllCastleRights;
    board.MakeMove(list.FromSquares[i], list.ToSquares[i], list.Promotions[i], &castleMask);
    if (board.InCheck(board.KingOf(side), side)) {
      board.UndoMove(0);
      continue;
    }
    legal++;
    const int v = -CaptureSearch(static_cast<char>(side ^ 1), -beta, -alpha, board, 0, ply + 1, qply + 1);
    board.UndoMove(0);
    if (StopSearch && !MainStatus.FD) return 0;
    if (Aborted) return 0;
    if (v > best) {
      best = v;
      if (v > alpha) alpha = v;
    }
  }
  if (inCheck && legal == 0) return ply - MateScore;
  return best;
}
