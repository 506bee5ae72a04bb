#pragma once
// Builds a board record from the piece-placement field of a FEN record ("rnbqkbnr/pppppppp/...",
// rank 8 first), filling only the piece and occupancy sets; tests set any other field they need.
#include <cstring>
#include "board/ChessBoard.h"

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

inline ChessBoard PlacementBoard(const char* placement) {
  ChessBoard b;
  int rank = 7;
  int file = 0;
  for (const char* c = placement; *c != '\0'; c++) {
    if (*c == '/') { rank--; file = 0; continue; }
    if (*c >= '1' && *c <= '8') { file += *c - '0'; continue; }
    SquareSet* set = PieceSetOf(b, *c);
    if (set == nullptr || rank < 0 || file > 7) continue;
    const SquareSet bit = SquareBit(rank * 8 + file);
    *set |= bit;
    (std::strchr("PNBRQK", *c) != nullptr ? b.WhitePieces : b.BlackPieces) |= bit;
    file++;
  }
  b.AllPieces = b.WhitePieces | b.BlackPieces;
  return b;
}

// Square index from its name, "e4" -> 28.
constexpr int Sq(const char* name) { return (name[1] - '1') * 8 + (name[0] - 'a'); }
inline SquareSet Bit(const char* name) { return SquareBit(Sq(name)); }
