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

// Every piece set of one side: the change from its set before the move (FromEmpty: from an empty
// board, which gives the keys of all its pieces) to its set now.
template <int Side, bool FromEmpty>
inline void XorSideSets(const ChessBoard& b, std::uint64_t& up, std::uint64_t& low) {
  using S = SideFields<Side>;
  const auto before = [&b](SideSet saved) { return FromEmpty ? SquareSet{0} : b.*saved; };
  XorChangedSquares(before(S::SavePawns), b.*S::Pawns, S::PawnCode, up, low);
  XorChangedSquares(before(S::SaveKnights), b.*S::Knights, S::KnightCode, up, low);
  XorChangedSquares(before(S::SaveBishops), b.*S::Bishops, S::BishopCode, up, low);
  XorChangedSquares(before(S::SaveRooks), b.*S::Rooks, S::RookCode, up, low);
  XorChangedSquares(before(S::SaveQueens), b.*S::Queens, S::QueenCode, up, low);
  XorChangedSquares(before(S::SaveKing), b.*S::King, S::KingCode, up, low);
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
  ZobristUpdate::XorSideSets<0, false>(b, up, low);
  ZobristUpdate::XorSideSets<1, false>(b, up, low);
  *upper = up;
  *lower = low;
}
