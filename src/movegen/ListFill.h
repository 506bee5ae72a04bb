#pragma once
// Helpers shared by the move generators: appending to the list and the sets of one side.
#include "board/Masks.h"
#include "movegen/MoveGen.h"

namespace ListFill {

// A queen in the centre of an empty board has the most moves of any single piece. A generator
// stops appending once fewer entries than that are left, so a position with more pieces than a
// game can reach loses moves instead of writing past the end of the list.
constexpr int MaxMovesOfOnePiece = 27;
inline bool NoRoomForPiece(int index) { return index > MaxMovesInList - MaxMovesOfOnePiece; }

inline SquareSet LowestSquare(SquareSet s) { return s & (0 - s); }

inline int AddMove(MoveGen& list, int index, SquareSet from, SquareSet to, char promotion) {
  list.FromSquares[index] = from;
  list.ToSquares[index] = to;
  list.Promotions[index] = promotion;
  return index + 1;
}

// One quiet or capturing move per target, lowest target first.
inline int AddTargets(MoveGen& list, int index, SquareSet from, SquareSet targets) {
  while (targets) {
    const SquareSet to = LowestSquare(targets);
    index = AddMove(list, index, from, to, NoPromotion);
    targets ^= to;
  }
  return index;
}

// The piece sets of one side, picked once per generator call.
struct SideSets {
  SquareSet Pawns, Knights, Bishops, Rooks, Queens, King, Own, Enemy;
};

inline SideSets SetsOf(const ChessBoard& b, char side) {
  if (side)
    return {b.BlackPawns, b.BlackKnights, b.BlackBishops, b.BlackRooks,
            b.BlackQueens, b.BlackKing,   b.BlackPieces,  b.WhitePieces};
  return {b.WhitePawns, b.WhiteKnights, b.WhiteBishops, b.WhiteRooks,
          b.WhiteQueens, b.WhiteKing,   b.WhitePieces,  b.BlackPieces};
}

inline SquareSet QueenTargets(const ChessBoard& b, SquareSet s) { return b.BishopMask(s) | b.RookMask(s); }

// Appends, for every piece of the set (lowest first), the moves to attacked squares in filter.
template <typename AttackFn>
inline int AddPieceMoves(MoveGen& list, int index, SquareSet pieces, SquareSet filter, AttackFn attacks) {
  while (pieces && !NoRoomForPiece(index)) {
    const SquareSet from = LowestSquare(pieces);
    index = AddTargets(list, index, from, attacks(from) & filter);
    pieces ^= from;
  }
  return index;
}

}  // namespace ListFill
