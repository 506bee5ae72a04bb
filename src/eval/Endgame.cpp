// Endgame knowledge: the square rule for passed pawns, pawn races in pure pawn endings and the
// rook-against-minor draw.
#include "eval/EvalAttacks.h"
#include "eval/EvalSide.h"
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

namespace {
constexpr int DoubleStepDistance = 6;   // a pawn on its second rank moves as if from its third
constexpr int NoPasser = 99;

// The moves a pawn of `Side` on `rank` needs to promote.
template <int Side>
int PromotionDistance(int rank) {
  const int distance = 7 - EvalSide<Side>::RelativeRank(rank);
  return distance == DoubleStepDistance ? DoubleStepDistance - 1 : distance;
}

// A rook of `Side` against a lone knight or bishop.
template <int Side>
bool RookAgainstMinor(const ChessBoard& b) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  return b.*S::RookCount == 1 && (b.*Them::KnightCount == 1 || b.*Them::BishopCount == 1);
}

}  // namespace

// The square rule: the enemy king cannot reach the promotion square in time.
template <int Side>
bool PositionEvaluate::DoesPawnPromote(int rank, int square, char side) {
  using Them = EvalSide<Side ^ 1>;
  const int distance = PromotionDistance<Side>(rank);
  const int kingDistance = Distance(this->*Them::KingSquare, square & 63);
  const bool pawnToMove = (side != 0) == (Side != 0);
  return kingDistance > distance + 1 || (pawnToMove && kingDistance > distance);
}

bool PositionEvaluate::QueenAttacks(char /*colour*/, int square, SquareSet targets) {
  return (EvalAttacks::Queen(square & 63, bb->AllPieces) & targets) != 0;
}

// The unstoppable passer of `Side` nearest to promotion; returns its distance or NoPasser.
template <int Side>
int PositionEvaluate::BestPasser(char side, int* distance, int* square) {
  using S = EvalSide<Side>;
  *distance = NoPasser;
  *square = 0;
  const std::uint8_t* ranks = this->*S::PasserRanks;
  for (int file = 0; file < 8; ++file) {
    const int rank = ranks[file + 1];
    if (!rank) continue;
    const int promotion = S::PromotionSquare(file);
    if (!DoesPawnPromote<Side>(rank, promotion, side)) continue;
    const int steps = PromotionDistance<Side>(rank);
    if (steps < *distance) {
      *distance = steps;
      *square = promotion;
    }
  }
  return *distance;
}

// Both sides queen on the same move and `Side` queens first; White's view. The new queen wins if
// it checks at once or attacks the other new queen out of the enemy king's reach, and loses if the
// other queen can then check and attack it out of its own king's reach.
template <int Side>
int PositionEvaluate::RaceQueeningFirst(int ownQueen, int enemyQueen) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const ChessBoard& b = *bb;
  const bool enemyKingFar = Distance(this->*Them::KingSquare, enemyQueen) > RaceKingReach;
  const bool ownKingFar = Distance(this->*S::KingSquare, ownQueen) > RaceKingReach;
  if (QueenAttacks(Side, ownQueen, b.*Them::King)) return enemyKingFar ? S::Sign * PawnRaceWin : 0;
  const int wins = QueenAttacks(Side, ownQueen, SquareBit(enemyQueen)) && enemyKingFar ? S::Sign * PawnRaceWin : 0;
  if (QueenAttacks(Side ^ 1, enemyQueen, b.*S::King) && QueenAttacks(Side ^ 1, enemyQueen, SquareBit(ownQueen)))
    return ownKingFar ? -S::Sign * PawnRaceWin : 0;
  return wins;
}

// Pawn race in an ending of kings and pawns only, White's view.
int PositionEvaluate::RuleofSquare(char side) {
  if (WhitePieceCount != 0 || BlackPieceCount != 0) return 0;
  int whiteDistance, whiteQueen, blackDistance, blackQueen;
  BestPasser<0>(side, &whiteDistance, &whiteQueen);
  BestPasser<1>(side, &blackDistance, &blackQueen);
  if (whiteDistance == NoPasser && blackDistance == NoPasser) return 0;
  if (whiteDistance < blackDistance) return PawnRaceWin;
  if (blackDistance < whiteDistance) return -PawnRaceWin;
  return side ? RaceQueeningFirst<1>(blackQueen, whiteQueen) : RaceQueeningFirst<0>(whiteQueen, blackQueen);
}

// A rook against a lone minor piece; the caller has made sure that these are the only pieces.
int PositionEvaluate::TwoPieceEndings(char /*side*/) {
  return RookAgainstMinor<0>(*bb) || RookAgainstMinor<1>(*bb) ? 1 : 0;
}

template bool PositionEvaluate::DoesPawnPromote<0>(int, int, char);
template bool PositionEvaluate::DoesPawnPromote<1>(int, int, char);
