#include "engine/MoveText.h"
#include <cstdio>
#include "search/SearchRoutines.h"

std::uint32_t FTMoveList[MaxGameMoves] = {};

namespace {
constexpr int SquareTextSize = 6;     // "e7e8q" and a blank
constexpr int NewlineAndEnd = 2;      // the newline and the terminating zero

// Promotion suffix of a piece code; null for codes that name no promotion piece.
const char* PromotionSuffix(char promotion) {
  switch (promotion) {
    case WhiteKnightCode: case BlackKnightCode: return "n;";
    case WhiteBishopCode: case BlackBishopCode: return "b;";
    case WhiteRookCode: case BlackRookCode: return "r;";
    case WhiteQueenCode: case BlackQueenCode: return "q;";
    default: return nullptr;
  }
}

int FileOf(int square) { return square & 7; }
int RankDigit(int square) { return square / 8 + 1; }

// Appends the variation moves that still leave room for the newline; returns the new length.
int AppendVariation(char* text, int length, int capacity) {
  int end = Search.PVLength;
  if (end > SearchLimits::PVColumns) end = SearchLimits::PVColumns;
  for (int i = 1; i < end; i++) {
    if (length + SquareTextSize + NewlineAndEnd > capacity) break;
    const int code = Search.PrincipalVariation[0][i].Move;
    const int from = MoveCodeFrom(code);
    const int to = MoveCodeTo(code);
    const char letter = PromotionLetter(Search.PrincipalVariation[0][i].Promotion);
    length += std::snprintf(text + length, static_cast<std::size_t>(capacity - length), "%c%d%c%d",
                            files[FileOf(from)], RankDigit(from), files[FileOf(to)], RankDigit(to));
    if (letter && length + 1 < capacity) text[length++] = letter;
    if (length + 1 < capacity) text[length++] = ' ';
    text[length] = '\0';
  }
  return length;
}
}  // namespace

char PromotionLetter(char promotion) {
  switch (promotion) {
    case 'Q': case 'q': case WhiteQueenCode: case BlackQueenCode: return 'q';
    case 'R': case 'r': case WhiteRookCode: case BlackRookCode: return 'r';
    case 'B': case 'b': case WhiteBishopCode: case BlackBishopCode: return 'b';
    case 'N': case 'n': case WhiteKnightCode: case BlackKnightCode: return 'n';
    default: return 0;
  }
}

void MoveToText(SquareSet from, SquareSet to, char promotion, char* text) {
  const int fromSquare = SquareIndex(from), toSquare = SquareIndex(to);
  const char letter = PromotionLetter(promotion);
  std::snprintf(text, MoveTextMaxLength + 1, "%c%d%c%d%c", files[FileOf(fromSquare)], RankDigit(fromSquare),
                files[FileOf(toSquare)], RankDigit(toSquare), letter);
}

void fillmovestring(char* text, int, char from, char to, char promotion, int withLine, int capacity) {
  if (text == nullptr || capacity <= 0) return;
  text[0] = '\0';
  const int fromSquare = static_cast<unsigned char>(from) % SquareCount;
  const int toSquare = static_cast<unsigned char>(to) % SquareCount;
  const char* suffix = PromotionSuffix(promotion);
  char lineSuffix[] = {PromotionLetter(promotion), ' ', '\0'};
  if (withLine) suffix = lineSuffix[0] ? lineSuffix : nullptr;
  const std::size_t room = static_cast<std::size_t>(capacity);
  int length = std::snprintf(text, room, " %c%d%c%d%s", files[FileOf(fromSquare)], RankDigit(fromSquare),
                             files[FileOf(toSquare)], RankDigit(toSquare), suffix ? suffix : " ");
  if (length < 0 || length + NewlineAndEnd > capacity) return;   // cut: no room for the newline
  if (withLine) length = AppendVariation(text, length, capacity);
  std::snprintf(text + length, room - static_cast<std::size_t>(length), "\n");
}
