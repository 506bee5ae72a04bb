#pragma once
// Invariants of the engine's game state that no input may break, shared by the robustness tests,
// the robustness bench and the fuzz targets. Each check returns nullptr when the state is sound, else
// a short text naming the first broken invariant.
#include "board/Bitboard.h"
#include "board/ChessBoard.h"
#include "board/Masks.h"
#include "hash/MoveHistory.h"
#include "protocol/MoveCheck.h"

namespace robustness {

constexpr int PieceKinds = 12;

inline bool PairwiseDisjoint(const ChessBoard& b) {
  const SquareSet sets[PieceKinds] = {b.WhitePawns, b.WhiteKnights, b.WhiteBishops, b.WhiteRooks,
                                      b.WhiteQueens, b.WhiteKing,   b.BlackPawns,  b.BlackKnights,
                                      b.BlackBishops, b.BlackRooks, b.BlackQueens, b.BlackKing};
  SquareSet seen = 0;
  for (SquareSet s : sets) {
    if (s & seen) return false;
    seen |= s;
  }
  return true;
}

inline bool OccupancyAgrees(const ChessBoard& b) {
  const SquareSet white = b.WhitePawns | b.WhiteKnights | b.WhiteBishops | b.WhiteRooks | b.WhiteQueens | b.WhiteKing;
  const SquareSet black = b.BlackPawns | b.BlackKnights | b.BlackBishops | b.BlackRooks | b.BlackQueens | b.BlackKing;
  return b.WhitePieces == white && b.BlackPieces == black && b.AllPieces == (white | black);
}

// A castling right is kept only while its king and rook stand at home: a right without them would
// let the generator castle with a rook that is not there.
inline bool CastlingRightsPlayable(const ChessBoard& b) {
  const int rights = b.CastleFlags;
  if (rights < 0 || rights > AllCastleRights) return false;
  const bool whiteKingHome = (b.WhiteKing & Masks::E1) != 0, blackKingHome = (b.BlackKing & Masks::E8) != 0;
  if ((rights & WhiteCastleKing) && !(whiteKingHome && (b.WhiteRooks & Masks::H1))) return false;
  if ((rights & WhiteCastleQueen) && !(whiteKingHome && (b.WhiteRooks & Masks::A1))) return false;
  if ((rights & BlackCastleKing) && !(blackKingHome && (b.BlackRooks & Masks::H8))) return false;
  if ((rights & BlackCastleQueen) && !(blackKingHome && (b.BlackRooks & Masks::A8))) return false;
  return true;
}

// The castling rights that survive a move from or to the square: a king leaving home, a rook
// leaving its corner or taken there.
inline int RightsKeptBy(SquareSet square) {
  if (square & Masks::E1) return AllCastleRights & ~(WhiteCastleKing | WhiteCastleQueen);
  if (square & Masks::H1) return AllCastleRights & ~WhiteCastleKing;
  if (square & Masks::A1) return AllCastleRights & ~WhiteCastleQueen;
  if (square & Masks::E8) return AllCastleRights & ~(BlackCastleKing | BlackCastleQueen);
  if (square & Masks::H8) return AllCastleRights & ~BlackCastleKing;
  if (square & Masks::A8) return AllCastleRights & ~BlackCastleQueen;
  return AllCastleRights;
}

// Plays a move known to be legal on a game board: castling rights, side to move.
inline void PlayChecked(ChessBoard& board, const CheckedMove& move) {
  char mask = AllCastleRights;
  board.MakeMove(move.From, move.To, move.Promotion, &mask);
  board.CastleFlags = static_cast<std::int8_t>(board.CastleFlags & mask & RightsKeptBy(move.From) & RightsKeptBy(move.To));
  board.SideToMove = static_cast<std::int8_t>(board.SideToMove ^ 1);
}

// What holds for every board the engine keeps, whatever was set up: one piece per square, the
// occupancy sets agree with the piece sets, a valid side to move and playable castling rights.
// The same without the castling rights, for a board inside a search (the rights travel beside it).
inline const char* StructuralFaultIgnoringRights(const ChessBoard& b) {
  if (!PairwiseDisjoint(b)) return "two pieces on one square";
  if (!OccupancyAgrees(b)) return "occupancy sets disagree with the piece sets";
  if (b.SideToMove != 0 && b.SideToMove != 1) return "side to move is neither 0 nor 1";
  return nullptr;
}

inline const char* StructuralFault(const ChessBoard& b) {
  if (const char* fault = StructuralFaultIgnoringRights(b)) return fault;
  if (!CastlingRightsPlayable(b)) return "castling right without king and rook at home";
  return nullptr;
}

// The game board between commands: sound structure, piece counts that agree with the sets, a
// repetition history within its capacity, and, when the board had one king each before the
// command and the command set up no new position, one king each still.
inline const char* GameStateFault(const ChessBoard& b, bool kingsBefore, bool positionReplaced) {
  if (const char* fault = StructuralFault(b)) return fault;
  if (MoveList.NumMoves < 0 || MoveList.NumMoves > HistoryCapacity) return "repetition history out of range";
  if (!b.HasOneKingEach()) return kingsBefore && !positionReplaced ? "a king vanished" : nullptr;
  if (!b.IsConsistent()) return "piece or material counts disagree with the piece sets";
  return nullptr;
}

}  // namespace robustness
