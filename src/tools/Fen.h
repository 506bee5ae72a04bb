#pragma once
// Reading a FEN record (or the first fields of an EPD record) into MainBoard and writing boards as FEN.
#include "board/ChessBoard.h"

constexpr int FenBufferSize = 86;         // longest text pos2fenString writes, terminating zero included
constexpr int CastleRightsSize = 5;       // "KQkq" and the terminating zero
constexpr int PositionLineSize = 4096;    // longest first line LoadPositionFile reads; the rest is ignored
constexpr int PositionFileErrorStatus = 1; // exit status when the position file cannot be used

// Replaces MainBoard's position by the FEN record at the start of `text`: placement, side to move,
// castling rights (kept only where king and rook stand at home), the en-passant square (when the
// position agrees with it, as the last move of MainBoard) and the half-move clock (FiftyMoveCount).
// Anything that falls off the board is ignored. Piece counts and hash codes are not recomputed.
void SetupBoard(const char* text);
// Puts one piece on MainBoard; a king letter moves that side's king. Unknown letters and squares
// outside 0..63 do nothing.
void AddPiece(char letter, int square);
// Sets MainBoard up from the first line of a file, counts and all; ends the program when the file
// cannot be read (no regular file, no text) or its position cannot be played
// (ChessBoard::SetupError), and with status 0 and "Empty file" when it is empty.
void LoadPositionFile(const char* path);
// Writes "KQkq", any part of it, or "-" (buffer of at least CastleRightsSize characters).
void CastleRights(char* buffer, char rights);
// Letter of the piece on a one-bit square set, '?' when no piece set holds it.
char DecodePiece(unsigned long long mask, ChessBoard board);
// Writes the board as a FEN line with an EPD separator and `number` to standard output.
void pos2fen(ChessBoard board, int number);
// The same text without the number, into a buffer of at least FenBufferSize characters.
void pos2fenString(ChessBoard board, char* buffer);
