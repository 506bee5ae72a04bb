#pragma once
// Builds boards square by square for the board tests ("Ke1", "pd7": upper case White).
#include <cstdint>
#include <initializer_list>
#include <string>
#include "board/ChessBoard.h"
#include "hash/Zobrist.h"

namespace board_test {

inline SquareSet Sq(const char* name) { return SquareSet{1} << ((name[1] - '1') * 8 + (name[0] - 'a')); }

inline SquareSet* SetFor(ChessBoard& b, char piece) {
  switch (piece) {
    case 'P': return &b.WhitePawns;
    case 'N': return &b.WhiteKnights;
    case 'B': return &b.WhiteBishops;
    case 'R': return &b.WhiteRooks;
    case 'Q': return &b.WhiteQueens;
    case 'K': return &b.WhiteKing;
    case 'p': return &b.BlackPawns;
    case 'n': return &b.BlackKnights;
    case 'b': return &b.BlackBishops;
    case 'r': return &b.BlackRooks;
    case 'q': return &b.BlackQueens;
    case 'k': return &b.BlackKing;
    default: return nullptr;
  }
}

// The pawn hash code from scratch: pawn keys only.
inline std::uint32_t PawnKeys(const ChessBoard& b) {
  std::uint32_t code = 0;
  for (int sq = 0; sq < 64; ++sq) {
    if (b.WhitePawns >> sq & 1) code ^= static_cast<std::uint32_t>(LPStable[WhitePawnCode][sq]);
    if (b.BlackPawns >> sq & 1) code ^= static_cast<std::uint32_t>(LPStable[BlackPawnCode][sq]);
  }
  return code;
}

// Occupancy, counts, material counts and pawn hash code made to agree with the piece sets.
inline void Complete(ChessBoard& b) {
  b.WhitePieces = b.WhitePawns | b.WhiteKnights | b.WhiteBishops | b.WhiteRooks | b.WhiteQueens | b.WhiteKing;
  b.BlackPieces = b.BlackPawns | b.BlackKnights | b.BlackBishops | b.BlackRooks | b.BlackQueens | b.BlackKing;
  b.AllPieces = b.WhitePieces | b.BlackPieces;
  b.InitPieceCounts();
  b.WhiteMaterialCount = b.WhiteQueenCount + b.WhiteRookCount + b.WhiteBishopCount + b.WhiteKnightCount + b.WhitePawnCount;
  b.BlackMaterialCount = b.BlackQueenCount + b.BlackRookCount + b.BlackBishopCount + b.BlackKnightCount + b.BlackPawnCount;
  b.PawnHashCode = PawnKeys(b);
}

// "Ke1" places a White king on e1.
inline ChessBoard Board(std::initializer_list<const char*> pieces) {
  initPStable();
  ChessBoard b;
  for (const char* p : pieces) *SetFor(b, p[0]) |= Sq(p + 1);
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

inline std::uint32_t Key(int code, const char* square) {
  return static_cast<std::uint32_t>(LPStable[code][SquareIndex(Sq(square))]);
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
