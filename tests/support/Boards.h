#pragma once
// Boards for tests: square names ("e4"), piece sets by FEN letter, and boards built from the
// piece-placement field of a FEN record (rank 8 first) without the rest of the set-up.
#include <cstring>
#include "board/ChessBoard.h"

namespace nelktest {

constexpr int Sq(const char* name) { return (name[1] - '1') * 8 + (name[0] - 'a'); }
inline SquareSet Bit(const char* name) { return SquareBit(Sq(name)); }

inline SquareSet* PieceSetOf(ChessBoard& b, char piece) {
  switch (piece) {
    case 'P': return &b.WhitePawns;   case 'p': return &b.BlackPawns;
    case 'N': return &b.WhiteKnights; case 'n': return &b.BlackKnights;
    case 'B': return &b.WhiteBishops; case 'b': return &b.BlackBishops;
    case 'R': return &b.WhiteRooks;   case 'r': return &b.BlackRooks;
    case 'Q': return &b.WhiteQueens;  case 'q': return &b.BlackQueens;
    case 'K': return &b.WhiteKing;    case 'k': return &b.BlackKing;
    default: return nullptr;
  }
}

// Colour and total occupancy, piece counts and material counts made to agree with the piece sets.
inline void CompleteCounts(ChessBoard& b) {
  b.WhitePieces = b.WhitePawns | b.WhiteKnights | b.WhiteBishops | b.WhiteRooks | b.WhiteQueens | b.WhiteKing;
  b.BlackPieces = b.BlackPawns | b.BlackKnights | b.BlackBishops | b.BlackRooks | b.BlackQueens | b.BlackKing;
  b.AllPieces = b.WhitePieces | b.BlackPieces;
  b.InitPieceCounts();
  b.WhiteMaterialCount = b.WhiteQueenCount + b.WhiteRookCount + b.WhiteBishopCount + b.WhiteKnightCount + b.WhitePawnCount;
  b.BlackMaterialCount = b.BlackQueenCount + b.BlackRookCount + b.BlackBishopCount + b.BlackKnightCount + b.BlackPawnCount;
}

inline ChessBoard PlacementBoard(const char* placement) {
  ChessBoard b;
  int rank = 7, file = 0;
  for (const char* c = placement; *c != '\0' && *c != ' '; c++) {
    if (*c == '/') { rank--; file = 0; continue; }
    if (*c >= '1' && *c <= '8') { file += *c - '0'; continue; }
    SquareSet* set = PieceSetOf(b, *c);
    if (set != nullptr && rank >= 0 && file <= 7) *set |= SquareBit(rank * 8 + file);
    file++;
  }
  CompleteCounts(b);
  return b;
}

}  // namespace nelktest
