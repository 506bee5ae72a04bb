// Endgame knowledge: the square rule for passed pawns, pawn races in pure pawn endings and the
// rook-against-minor draw.
#include "eval/EvalAttacks.h"
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

namespace {
constexpr int DoubleStepDistance = 6;   // a pawn on its second rank moves as if from its third
constexpr int NoPasser = 99;
}  // namespace

// The square rule: the enemy king cannot reach the promotion square in time.
bool PositionEvaluate::DoesPawnPromote(char colour, int rank, int square, char side) {
  int distance = colour ? rank : 7 - rank;
  if (distance == DoubleStepDistance) distance = DoubleStepDistance - 1;
  const int enemyKing = colour ? WhiteKingSquare : BlackKingSquare;
  const int kingDistance = Distance(enemyKing, square & 63);
  const bool pawnToMove = (side != 0) == (colour != 0);
  return kingDistance > distance + 1 || (pawnToMove && kingDistance > distance);
}

bool PositionEvaluate::QueenAttacks(char /*colour*/, int square, SquareSet targets) {
  return (EvalAttacks::Queen(square & 63, bb->AllPieces) & targets) != 0;
}

// The unstoppable passer of `colour` nearest to promotion; returns its distance or NoPasser.
int PositionEvaluate::BestPasser(char colour, char side, int* distance, int* square) {
  *distance = NoPasser;
  *square = 0;
  const std::uint8_t* ranks = colour ? BlackPasserRanks : WhitePasserRanks;
  for (int file = 0; file < 8; ++file) {
    const int rank = ranks[file + 1];
    if (!rank) continue;
    const int promotion = colour ? file : 56 + file;
    if (!DoesPawnPromote(colour, rank, promotion, side)) continue;
    int steps = colour ? rank : 7 - rank;
    if (steps == DoubleStepDistance) steps = DoubleStepDistance - 1;
    if (steps < *distance) {
      *distance = steps;
      *square = promotion;
    }
  }
  return *distance;
}

// Both sides queen on the same move and White queens first.
int PositionEvaluate::RaceWhiteFirst(int whiteQueen, int blackQueen) {
  const ChessBoard& b = *bb;
  if (QueenAttacks(0, whiteQueen, b.BlackKing)) return Distance(BlackKingSquare, blackQueen) > RaceKingReach ? PawnRaceWin : 0;
  const int wins = QueenAttacks(0, whiteQueen, SquareBit(blackQueen)) && Distance(BlackKingSquare, blackQueen) > RaceKingReach ? PawnRaceWin : 0;
  if (QueenAttacks(1, blackQueen, b.WhiteKing) && QueenAttacks(1, blackQueen, SquareBit(whiteQueen)))
    return Distance(WhiteKingSquare, whiteQueen) > RaceKingReach ? -PawnRaceWin : 0;
  return wins;
}

int PositionEvaluate::RaceBlackFirst(int whiteQueen, int blackQueen) {
  const ChessBoard& b = *bb;
  if (QueenAttacks(1, blackQueen, b.WhiteKing)) return Distance(WhiteKingSquare, whiteQueen) > RaceKingReach ? -PawnRaceWin : 0;
  const int wins = QueenAttacks(1, blackQueen, SquareBit(whiteQueen)) && Distance(WhiteKingSquare, whiteQueen) > RaceKingReach ? -PawnRaceWin : 0;
  if (QueenAttacks(0, whiteQueen, b.BlackKing) && QueenAttacks(0, whiteQueen, SquareBit(blackQueen)))
    return Distance(BlackKingSquare, blackQueen) > RaceKingReach ? PawnRaceWin : 0;
  return wins;
}

// Pawn race in an ending of kings and pawns only, White's view.
int PositionEvaluate::RuleofSquare(char side) {
  if (WhitePieceCount != 0 || BlackPieceCount != 0) return 0;
  int whiteDistance, whiteQueen, blackDistance, blackQueen;
  BestPasser(0, side, &whiteDistance, &whiteQueen);
  BestPasser(1, side, &blackDistance, &blackQueen);
  if (whiteDistance == NoPasser && blackDistance == NoPasser) return 0;
  if (whiteDistance < blackDistance) return PawnRaceWin;
  if (blackDistance < whiteDistance) return -PawnRaceWin;
  return side ? RaceBlackFirst(whiteQueen, blackQueen) : RaceWhiteFirst(whiteQueen, blackQueen);
}

// A rook against a lone knight or bishop (the caller has made sure these are the only pieces).
int PositionEvaluate::TwoPieceEndings(char /*side*/) {
  const ChessBoard& b = *bb;
  const bool whiteRook = b.WhiteRookCount == 1 && (b.BlackKnightCount == 1 || b.BlackBishopCount == 1);
  const bool blackRook = b.BlackRookCount == 1 && (b.WhiteKnightCount == 1 || b.WhiteBishopCount == 1);
  return whiteRook || blackRook ? 1 : 0;
}
