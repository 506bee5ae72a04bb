#pragma once
// Test helpers: positions from FEN text and move lists as readable text ("e2e4", "a7a8Q").
#include <algorithm>
#include <string>
#include <vector>

#include "board/ChessBoard.h"
#include "movegen/MoveGen.h"
#include "support/Boards.h"
#include "tools/Fen.h"

using Moves = std::vector<std::string>;
using nelktest::Bit;

// Sets MainBoard up from a FEN record with valid piece counts.
inline ChessBoard& LoadPosition(const char* fen) {
  SetupBoard(fen);
  MainBoard.InitPieceCounts();
  return MainBoard;
}

inline std::string SquareText(SquareSet s) {
  const int index = SquareIndex(s);
  return {static_cast<char>('a' + index % 8), static_cast<char>('1' + index / 8)};
}

inline std::string MoveText(const MoveGen& list, int i) {
  std::string text = SquareText(list.FromSquares[i]) + SquareText(list.ToSquares[i]);
  if (list.Promotions[i] != NoPromotion) text += list.Promotions[i];
  return text;
}

inline Moves MoveTexts(const MoveGen& list, int count) {
  Moves texts;
  for (int i = 0; i < count; ++i) texts.push_back(MoveText(list, i));
  return texts;
}

inline bool Contains(const Moves& moves, const std::string& move) {
  return std::find(moves.begin(), moves.end(), move) != moves.end();
}

// Plays a move on MainBoard the way the game does (the side to move changes, rights shrink).
inline void Play(const char* from, const char* to) {
  char mask = 0;
  MainBoard.MakeMove(Bit(from), Bit(to), NoPromotion, &mask);
  MainBoard.CastleFlags = static_cast<std::int8_t>(MainBoard.CastleFlags & mask);
  MainBoard.SideToMove = static_cast<std::int8_t>(MainBoard.SideToMove ^ 1);
}
