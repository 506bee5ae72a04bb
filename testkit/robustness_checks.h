#pragma once
// What no input may break, shared by the robustness tests, the robustness bench, the soak referee
// and the fuzz targets: the invariants of the engine's game state (each check returns nullptr when
// the state is sound, else a short text naming the first broken invariant) and the marks of a
// fault in the engine's output.
#include <string>

#include "board/ChessBoard.h"
#include "board/Masks.h"
#include "hash/MoveHistory.h"
#include "GameBoard.h"

namespace robustness {

using nelktest::PlayChecked;

constexpr int PieceKinds = 12;   // the white piece sets first

// A castling right is kept only while its king and rook stand at home: a right without them would
// let the generator castle with a rook that is not there.
inline bool CastlingRightsPlayable(const ChessBoard& b) {
  if (b.CastleFlags < 0 || b.CastleFlags > AllCastleRights) return false;
  const struct { int right; SquareSet king, rook; } needs[] = {
      {WhiteCastleKing, b.WhiteKing & Masks::E1, b.WhiteRooks & Masks::H1},
      {WhiteCastleQueen, b.WhiteKing & Masks::E1, b.WhiteRooks & Masks::A1},
      {BlackCastleKing, b.BlackKing & Masks::E8, b.BlackRooks & Masks::H8},
      {BlackCastleQueen, b.BlackKing & Masks::E8, b.BlackRooks & Masks::A8}};
  for (const auto& need : needs)
    if ((b.CastleFlags & need.right) && !(need.king && need.rook)) return false;
  return true;
}

// What holds for every board the engine keeps, whatever was set up: one piece per square, the
// occupancy sets agree with the piece sets and a valid side to move. Inside a search the castling
// rights travel beside the board, so they are checked apart (StructuralFault).
inline const char* StructuralFaultIgnoringRights(const ChessBoard& b) {
  const SquareSet sets[PieceKinds] = {b.WhitePawns, b.WhiteKnights, b.WhiteBishops, b.WhiteRooks, b.WhiteQueens,
                                      b.WhiteKing,  b.BlackPawns,   b.BlackKnights, b.BlackBishops, b.BlackRooks,
                                      b.BlackQueens, b.BlackKing};
  SquareSet all = 0, whites = 0;
  for (int kind = 0; kind < PieceKinds; kind++) {
    if (sets[kind] & all) return "two pieces on one square";
    all |= sets[kind];
    if (kind < PieceKinds / 2) whites |= sets[kind];
  }
  if (b.WhitePieces != whites || b.BlackPieces != (all & ~whites) || b.AllPieces != all)
    return "occupancy sets disagree with the piece sets";
  if (b.SideToMove != 0 && b.SideToMove != 1) return "side to move is neither 0 nor 1";
  return nullptr;
}

inline const char* StructuralFault(const ChessBoard& b) {
  if (const char* fault = StructuralFaultIgnoringRights(b)) return fault;
  return CastlingRightsPlayable(b) ? nullptr : "castling right without king and rook at home";
}

// The game board between commands: sound structure, piece counts that agree with the sets, a
// repetition history within its capacity, and, when the board had one king each before the
// command and the command set up no new position, one king each still.
inline const char* GameStateFault(const ChessBoard& b, bool kingsBefore, bool positionReplaced) {
  if (const char* fault = StructuralFault(b)) return fault;
  if (MoveList.NumMoves < 0 || MoveList.NumMoves > HistoryCapacity) return "repetition history out of range";
  if (!b.HasOneKingEach()) return kingsBefore && !positionReplaced ? "a king vanished" : nullptr;
  return b.IsConsistent() ? nullptr : "piece or material counts disagree with the piece sets";
}

// The engine's own internal-error lines on standard output, the sanitizers' reports on standard error.
inline const char* InternalErrorIn(const std::string& output) {
  for (const char* marker : {"Major Error", "MAJOR ERROR", "Major problem"})
    if (output.find(marker) != std::string::npos) return marker;
  return nullptr;
}

inline const char* SanitizerReportIn(const std::string& errors) {
  for (const char* marker : {"AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:"})
    if (errors.find(marker) != std::string::npos) return marker;
  return nullptr;
}

}  // namespace robustness
