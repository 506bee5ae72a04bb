// Mobility over a safe area, for the capture-search weight set: each knight, bishop, rook and queen
// counts the squares it reaches that its side can use, leaving out those an enemy pawn guards and
// those its own king, queen or immobile pawns stand on.
#include <algorithm>
#include "eval/EvalSide.h"
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

namespace {

// The squares the pieces of `Side` count: not guarded by an enemy pawn, not held by the side's
// king or queens, nor by its pawns that are blocked or have not left their first two ranks.
template <int Side>
SquareSet MobilityArea(const PositionEvaluate& e, const ChessBoard& b) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const SquareSet pawns = b.*S::Pawns;
  const SquareSet immobile = pawns & (S::Relative(Masks::Rank2 | Masks::Rank3) | Them::Forward(b.AllPieces, 8));
  return ~(immobile | b.*S::King | b.*S::Queens | e.*Them::PawnAttacks);
}

// Adds each piece of `pieces` by the number of area squares it reaches, from the two tables.
template <std::size_t N>
void AddPieces(StagePair& score, const PositionEvaluate& e, SquareSet pieces, SquareSet area,
               const std::array<std::int32_t, N>& middle, const std::array<std::int32_t, N>& end) {
  for (; pieces; pieces &= pieces - 1) {
    const std::size_t count = std::min<std::size_t>(PopCount(e.PieceAttacks[__builtin_ctzll(pieces)] & area), N - 1);
    score.Middle += middle[count];
    score.End += end[count];
  }
}

template <int Side>
StagePair MobilityOf(const PositionEvaluate& e, const ChessBoard& b) {
  using S = EvalSide<Side>;
  const SquareSet area = MobilityArea<Side>(e, b);
  StagePair score;
  AddPieces(score, e, b.*S::Knights, area, SafeKnightMobilityMiddle, SafeKnightMobilityEnd);
  AddPieces(score, e, b.*S::Bishops, area, SafeBishopMobilityMiddle, SafeBishopMobilityEnd);
  AddPieces(score, e, b.*S::Rooks, area, SafeRookMobilityMiddle, SafeRookMobilityEnd);
  AddPieces(score, e, b.*S::Queens, area, SafeQueenMobilityMiddle, SafeQueenMobilityEnd);
  return score;
}

}  // namespace

template <bool Trace>
void PositionEvaluate::SafeMobility() {
  if (SafeMobilityMiddlePercent[static_cast<int>(Weights)] == 0) return;
  AddSidesTerm<Trace>(TermSafeMobility, MobilityOf<0>(*this, *bb), MobilityOf<1>(*this, *bb), SafeMobilityMiddlePercent, SafeMobilityEndPercent);
}

template void PositionEvaluate::SafeMobility<false>();
template void PositionEvaluate::SafeMobility<true>();
