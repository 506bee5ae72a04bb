// How freely the passed pawns can run, for the capture-search weight set: a passer whose path the
// enemy does not attack will cost him a piece or the game, which the capture search cannot see
// while the pawn still has quiet moves to make.
#include "eval/EvalSide.h"
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

namespace {

// The path value of the passer of `Side` on `square` (its next square empty), before the rank weight.
template <int Side>
int PathValue(const PositionEvaluate& e, const ChessBoard& b, int square) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const SquareSet span = (e.*S::FrontSpan)[square], ownFile = e.FileMask[square] & span;
  const SquareSet next = S::Forward(SquareBit(square), 8);
  const SquareSet behind = e.FileMask[square] & ~span & (b.WhiteRooks | b.BlackRooks | b.WhiteQueens | b.BlackQueens);
  // An enemy rook or queen behind the pawn makes every square ahead unsafe.
  const SquareSet unsafe = (behind & b.*Them::Pieces) ? span : span & e.*Them::Attacks;
  int value = !unsafe ? PasserPathFree : !(unsafe & ownFile) ? PasserPathFileSafe : !(unsafe & next) ? PasserPathNextSafe : 0;
  if ((behind & b.*S::Pieces) || (e.*S::Attacks & next)) value += PasserPathSupported;
  return value;
}

template <int Side>
StagePair PathsOf(const PositionEvaluate& e, const ChessBoard& b) {
  using S = EvalSide<Side>;
  StagePair score;
  for (int file = 0; file < 8; ++file) {
    const int rank = (e.*S::PasserRanks)[file + 1];
    if (!rank) continue;
    const int square = rank * 8 + file, advance = S::RelativeRank(rank);
    if (advance < PasserPathMinRank || (b.AllPieces & S::Forward(SquareBit(square), 8))) continue;
    const int weighted = PathValue<Side>(e, b, square) * (PasserPathRankWeight * advance - PasserPathRankBase);
    score.Middle += weighted * PasserPathMiddleNum / PasserPathMiddleDen;
    score.End += weighted * PasserPathEndNum / PasserPathEndDen;
  }
  return score;
}

}  // namespace

template <bool Trace>
void PositionEvaluate::PasserPaths() {
  if (PasserPathEndPercent[static_cast<int>(Weights)] == 0) return;
  AddSidesTerm<Trace>(TermPasserPath, PathsOf<0>(*this, *bb), PathsOf<1>(*this, *bb), PasserPathMiddlePercent, PasserPathEndPercent);
}

template void PositionEvaluate::PasserPaths<false>();
template void PositionEvaluate::PasserPaths<true>();
