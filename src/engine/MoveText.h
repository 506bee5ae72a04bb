#pragma once
// Move text in coordinate notation and the game's move record.
#include <cstdint>
#include "board/Types.h"
#include "search/SearchConstants.h"

inline constexpr char files[] = "abcdefgh";   // file letters, indexed by square index AND 7

// The engine's moves of the game, indexed by MoveNumber; entry = MoveCode(from index, to index).
extern std::uint32_t FTMoveList[MaxGameMoves];

// Longest move text in coordinate notation: from-square, to-square and one promotion letter.
constexpr int MoveTextMaxLength = 5;

constexpr int MoveTextSize = 80;            // the smallest buffer fillmovestring may be given
// Most variation moves written behind the first move: the rest of row 0 of the search's table.
constexpr int MaxVariationMoves = SearchLimits::PVColumns - 1;
// Room for a move (" e7e8q;"), the longest variation (6 characters a move) and the newline.
constexpr int MoveLineSize = 8 + 6 * MaxVariationMoves + 2;

// Lower-case letter of a promotion character ("Q"/"q" of the generator, the piece letters of move
// entry, or the piece codes 1-4 and 7-10), '\0' when the character names no promotion piece.
char PromotionLetter(char promotion);

// Text of a move for the front end: "e2e4", with the promotion piece in lower case ("e7e8q").
// `text` needs room for MoveTextMaxLength + 1 characters.
void MoveToText(SquareSet from, SquareSet to, char promotion, char* text);

// Writes " e2e4 " (a blank, the move, then "n;"/"b;"/"r;"/"q;" for the promotion piece codes 1-4 and
// 7-10 or else one blank), with withLine nonzero the rest of the search's principal variation
// (entries 1 to PVLength - 1 of row 0), and a newline. With withLine nonzero the text goes to a
// front end: every promotion is written as its plain letter ("e7e8q ").
// The text never exceeds `capacity` characters including the terminating zero; a variation that does
// not fit is cut at a whole move. The score does not influence the text.
void fillmovestring(char* text, int score, char from, char to, char promotion, int withLine,
                    int capacity = MoveTextSize);
