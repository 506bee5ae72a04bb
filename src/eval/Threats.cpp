// Threats on the enemy's men, for the capture-search weight set: pieces attacking enemy men that
// are worth more or are poorly defended, pawns attacking pieces now or after a push, and squares
// where the two sides' attacks restrict each other. The capture search plays out the captures at
// the horizon; what it cannot see is the threat that the side to move has to answer with a quiet
// move, or that the other side will carry out next.
#include "eval/EvalCover.h"
#include "eval/EvalSide.h"
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

namespace {

// The kind of the man of Side on square: 0 pawn .. 4 queen (the king is never a victim here).
template <int Side>
int VictimKind(const ChessBoard& b, SquareSet square) {
  using S = EvalSide<Side>;
  if (square & b.*S::Pawns) return 0;
  if (square & b.*S::Knights) return 1;
  if (square & b.*S::Bishops) return 2;
  if (square & b.*S::Rooks) return 3;
  return 4;
}

// Each man of `targets` (enemy men of Side ^ 1, no king) scored by its kind from the two tables.
template <int Side>
void AddByVictim(StagePair& score, const ChessBoard& b, SquareSet targets, const int (&middle)[VictimKinds],
                 const int (&end)[VictimKinds]) {
  for (; targets; targets &= targets - 1) {
    const int kind = VictimKind<Side ^ 1>(b, targets & (0 - targets));
    score.Add(middle[kind], end[kind]);
  }
}

// The pawns of Side that can step forward to a square the enemy's pawns do not attack and that is
// safe, and the enemy pieces they would attack from there.
template <int Side>
SquareSet PushThreatTargets(const PositionEvaluate& e, const ChessBoard& b, SquareSet safe, SquareSet pieces) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  SquareSet pushed = S::Forward(b.*S::Pawns, 8) & ~b.AllPieces;
  pushed |= S::Forward(pushed & S::Relative(Masks::Rank3), 8) & ~b.AllPieces;
  pushed &= ~(e.*Them::PawnAttacks) & safe;
  return S::PawnAttackSet(pushed) & pieces;
}

// The threats of `Side` on its enemy's men, its own view.
template <int Side>
StagePair ThreatsOf(const PositionEvaluate& e, const ChessBoard& b) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const Cover ours = CoverOf<Side>(e), theirs = CoverOf<Side ^ 1>(e);
  const SquareSet enemyMen = b.*Them::Pieces & ~(b.*Them::King);
  const SquareSet enemyPieces = enemyMen & ~(b.*Them::Pawns);
  const SquareSet strong = e.*Them::PawnAttacks | (theirs.Twice & ~ours.Twice);
  const SquareSet defended = enemyPieces & strong;
  const SquareSet weak = enemyMen & ~strong & ours.Once;
  StagePair score;
  AddByVictim<Side>(score, b, (defended | weak) & (e.*S::KnightAttacks | e.*S::BishopAttacks), ThreatByMinorMiddle,
                    ThreatByMinorEnd);
  AddByVictim<Side>(score, b, weak & e.*S::RookAttacks, ThreatByRookMiddle, ThreatByRookEnd);
  if (weak & e.*S::KingAttacks) score.Add(ThreatByKingMiddle, ThreatByKingEnd);
  const SquareSet hanging = weak & (~theirs.Once | (enemyPieces & ours.Twice));
  score.Add(HangingMiddle, HangingEnd, PopCount(hanging));
  score.Add(WeakQueenDefenceMiddle, 0, PopCount(weak & e.*Them::QueenAttacks));
  score.Add(RestrictedMiddle, RestrictedEnd, PopCount(theirs.Once & ~strong & ours.Once));
  const SquareSet safe = ~theirs.Once | ours.Once;
  const SquareSet safePawnTargets = S::PawnAttackSet(b.*S::Pawns & safe) & enemyPieces;
  score.Add(SafePawnThreatMiddle, SafePawnThreatEnd, PopCount(safePawnTargets));
  score.Add(PawnPushThreatMiddle, PawnPushThreatEnd, PopCount(PushThreatTargets<Side>(e, b, safe, enemyPieces)));
  return score;
}

}  // namespace

template <bool Trace>
void PositionEvaluate::PieceThreats() {
  if (PieceThreatsMiddlePercent[static_cast<int>(Weights)] == 0) return;
  AddSidesTerm<Trace>(TermPieceThreats, ThreatsOf<0>(*this, *bb), ThreatsOf<1>(*this, *bb), PieceThreatsMiddlePercent, PieceThreatsEndPercent);
}

template void PositionEvaluate::PieceThreats<false>();
template void PositionEvaluate::PieceThreats<true>();
