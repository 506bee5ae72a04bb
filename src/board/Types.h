#pragma once
// Types and constants shared by every subsystem of the engine.
#include <cstdint>

using SquareSet = std::uint64_t;   // bit n = square n, n = 8 * rank + file (bit 0 = a1, bit 63 = h8)

// Promotion character stored by the generators for a move without promotion.
constexpr char NoPromotion = static_cast<char>(236);

// Scores are from the side to move's view, a pawn is worth about 800.
constexpr int MateScore = 110000;        // mated at ply p scores p - MateScore
constexpr int StalemateScore = 110001;   // returned by the root search on stalemate
constexpr int DrawScore = 0;

// Castling rights bits of CastleFlags.
constexpr int WhiteCastleKing = 1;
constexpr int WhiteCastleQueen = 2;
constexpr int BlackCastleKing = 4;
constexpr int BlackCastleQueen = 8;
constexpr int AllCastleRights = 15;

// Piece codes (Zobrist tables, promotions, move text): White 0..5, Black 6..11.
enum PieceCode : int {
  WhitePawnCode, WhiteKnightCode, WhiteBishopCode, WhiteRookCode, WhiteQueenCode, WhiteKingCode,
  BlackPawnCode, BlackKnightCode, BlackBishopCode, BlackRookCode, BlackQueenCode, BlackKingCode
};

// Material values of the board record (captured-piece values).
constexpr int PawnValue = 800;
constexpr int KnightValue = 3250;
constexpr int BishopValue = 3250;
constexpr int RookValue = 5000;
constexpr int QueenValue = 9750;

// Result codes of move entry, commands and draw tests.
constexpr int ResultMovePlayed = 0;
constexpr int ResultNothingPlayed = 2;   // also: abort the running search
constexpr int ResultQuit = 3;
constexpr int ResultHandled = 4;
constexpr int ResultFiftyMoveDraw = 7;
constexpr int ResultMaterialDraw = 8;

constexpr int MaxGameMoves = 600;        // entries of the game move record

constexpr int SquareCount = 64;
constexpr int MsPerSecond = 1000;
constexpr int ScoreDivisor = 10;         // evaluation unit to the centipawns of protocol lines

// Move code of the killers, the history table, the principal variation, the transposition table,
// the game move record and the book:
//   bits 0-5   to-square index
//   bits 6-11  from-square index
constexpr int MoveCodeShift = 6;
constexpr int MoveCodeSquareMask = 63;
constexpr int MoveCodeMask = 4095;
constexpr int MoveCode(int fromIndex, int toIndex) { return fromIndex << MoveCodeShift | toIndex; }
constexpr int MoveCodeFrom(int code) { return code >> MoveCodeShift & MoveCodeSquareMask; }
constexpr int MoveCodeTo(int code) { return code & MoveCodeSquareMask; }

// Square index of the lowest square of a set. An empty set gives 63 (the guard bit), so the
// result is always a valid table index.
inline int SquareIndex(SquareSet s) { return __builtin_ctzll(s | (SquareSet{1} << 63)); }
inline SquareSet SquareBit(int index) { return SquareSet{1} << (index & 63); }
