#pragma once
// The engine's own random generator, the Zobrist key tables and the hash-code functions.
#include <cstdint>
#include "board/ChessBoard.h"
#include "board/PawnHashKeys.h"
#include "board/SideFields.h"

// The lower-half keys LPStable and the pawn hash code are declared in board/PawnHashKeys.h.
extern std::uint64_t UPStable[12][64];   // upper-half key of a piece code on a square
extern std::uint64_t CastleCode[16];
extern std::uint64_t WtoMove;
extern std::uint64_t BtoMove;

constexpr int CastleKeyMask = 15;   // only the four rights bits have keys

std::uint32_t BetterRandom32();
void initPStable();
// Fills the keys unless initPStable has already run (for test programs that need the keys).
void InitKeysOnce();
void genhashcode(char side, int castle, std::uint64_t* upper, std::uint64_t* lower, const ChessBoard& board);

// What a pass changes in both halves of the hash code: the side to move alone.
inline std::uint64_t SideToMoveKeyChange() { return WtoMove ^ BtoMove; }

namespace ZobristUpdate {
inline void XorChangedSquares(SquareSet before, SquareSet after, int pieceCode, std::uint64_t& up, std::uint64_t& low) {
  for (SquareSet changed = before ^ after; changed; changed &= changed - 1) {
    const int square = SquareIndex(changed);
    up ^= UPStable[pieceCode][square];
    low ^= LPStable[pieceCode][square];
  }
}

// Every piece set of one side, as it was before the move and as it is now.
template <int Side>
inline void XorSideChanges(const ChessBoard& b, std::uint64_t& up, std::uint64_t& low) {
  using S = SideFields<Side>;
  XorChangedSquares(b.*S::SavePawns, b.*S::Pawns, S::PawnCode, up, low);
  XorChangedSquares(b.*S::SaveKnights, b.*S::Knights, S::KnightCode, up, low);
  XorChangedSquares(b.*S::SaveBishops, b.*S::Bishops, S::BishopCode, up, low);
  XorChangedSquares(b.*S::SaveRooks, b.*S::Rooks, S::RookCode, up, low);
  XorChangedSquares(b.*S::SaveQueens, b.*S::Queens, S::QueenCode, up, low);
  XorChangedSquares(b.*S::SaveKing, b.*S::King, S::KingCode, up, low);
}

// Every piece of one side: its keys are the difference from an empty board.
template <int Side>
inline void XorSidePieces(const ChessBoard& b, std::uint64_t& up, std::uint64_t& low) {
  using S = SideFields<Side>;
  constexpr SquareSet empty = 0;
  XorChangedSquares(empty, b.*S::Pawns, S::PawnCode, up, low);
  XorChangedSquares(empty, b.*S::Knights, S::KnightCode, up, low);
  XorChangedSquares(empty, b.*S::Bishops, S::BishopCode, up, low);
  XorChangedSquares(empty, b.*S::Rooks, S::RookCode, up, low);
  XorChangedSquares(empty, b.*S::Queens, S::QueenCode, up, low);
  XorChangedSquares(empty, b.*S::King, S::KingCode, up, low);
}
}  // namespace ZobristUpdate

// Turns the hash codes of the position before the move just made on `board` into those of the
// position after it, the side to move passing to the other side and the castling rights going
// from castleBefore to castleAfter. The codes are sums of keys, and MakeMove keeps each piece
// set as it was before the move (the Save fields): the keys of the squares where a set changed
// are the whole difference, whatever the move was (capture, en passant, promotion, castling),
// so the result is exactly what genhashcode computes from scratch. Valid only between MakeMove
// and UndoMove.
inline void UpdateHashCodeForMove(const ChessBoard& b, int castleBefore, int castleAfter, std::uint64_t* upper,
                                  std::uint64_t* lower) {
  const std::uint64_t state =
      SideToMoveKeyChange() ^ CastleCode[castleBefore & CastleKeyMask] ^ CastleCode[castleAfter & CastleKeyMask];
  std::uint64_t up = *upper ^ state;
  std::uint64_t low = *lower ^ state;
  ZobristUpdate::XorSideChanges<0>(b, up, low);
  ZobristUpdate::XorSideChanges<1>(b, up, low);
  *upper = up;
  *lower = low;
}
