#pragma once
// Boards for the board tests, square by square ("Ke1", "pd7": upper case White), with the pawn
// hash code computed from scratch as the reference for the incremental one.
#include <cstdint>
#include <initializer_list>
#include <string>
#include "hash/Zobrist.h"
#include "support/Boards.h"

namespace board_test {

using nelktest::Bit;

inline std::uint32_t Key(int code, int square) { return static_cast<std::uint32_t>(LPStable[code][square]); }

inline std::uint32_t PawnKeys(const ChessBoard& b) {
  std::uint32_t code = 0;
  for (int sq = 0; sq < 64; ++sq) {
    if (b.WhitePawns >> sq & 1) code ^= Key(WhitePawnCode, sq);
    if (b.BlackPawns >> sq & 1) code ^= Key(BlackPawnCode, sq);
  }
  return code;
}

inline void Complete(ChessBoard& b) {
  nelktest::CompleteCounts(b);
  b.PawnHashCode = PawnKeys(b);
}

inline ChessBoard Board(std::initializer_list<const char*> pieces) {
  initPStable();
  ChessBoard b;
  for (const char* p : pieces) *nelktest::PieceSetOf(b, p[0]) |= Bit(p + 1);
  Complete(b);
  return b;
}

inline ChessBoard InitialBoard() {
  initPStable();
  ChessBoard b;
  b.InitRep();
  Complete(b);
  return b;
}

// Every field that UndoMove restores or that MakeMove must leave alone.
#define BOARD_POSITION_FIELDS(X)                                                                              \
  X(WhitePieces) X(BlackPieces) X(AllPieces) X(WhitePawns) X(WhiteBishops) X(WhiteKnights) X(WhiteRooks)      \
  X(WhiteQueens) X(WhiteKing) X(BlackPawns) X(BlackBishops) X(BlackKnights) X(BlackRooks) X(BlackQueens)      \
  X(BlackKing) X(PawnHashCode) X(SideToMove) X(CastleFlags) X(LastFrom) X(LastTo) X(MaxDepth) X(FixedDepth)  \
  X(FiftyMoveCount) X(CurrentDepth) X(BestFrom) X(BestTo) X(BestPromotion) X(DrawFlag) X(WhiteMaterialCount) \
  X(BlackMaterialCount) X(WhiteQueenCount) X(WhiteRookCount) X(WhiteBishopCount) X(WhiteKnightCount)         \
  X(WhitePawnCount) X(BlackQueenCount) X(BlackRookCount) X(BlackBishopCount) X(BlackKnightCount)             \
  X(BlackPawnCount)

// Names of the position fields in which the two boards differ ("" when none).
inline std::string PositionDiff(const ChessBoard& a, const ChessBoard& b) {
  std::string diff;
#define DIFF_FIELD(f) if (a.f != b.f) diff += #f " ";
  BOARD_POSITION_FIELDS(DIFF_FIELD)
#undef DIFF_FIELD
  return diff;
}

}  // namespace board_test
