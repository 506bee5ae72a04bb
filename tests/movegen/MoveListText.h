#pragma once
// Test helpers: positions from FEN text and move lists as readable text ("e2e4", "a7a8Q").
#include <algorithm>
#include <string>
#include <vector>

#include "board/ChessBoard.h"
#include "movegen/MoveGen.h"
#include "tools/Fen.h"

// Sets MainBoard up from a FEN record with valid piece counts.
inline ChessBoard& LoadPosition(const char* fen) {
  SetupBoard(fen);
  MainBoard.InitPieceCounts();
  return MainBoard;
}

inline SquareSet At(const char* name) { return SquareBit((name[1] - '1') * 8 + (name[0] - 'a')); }

inline std::string SquareText(SquareSet s) {
  const int index = SquareIndex(s);
  return {static_cast<char>('a' + index % 8), static_cast<char>('1' + index / 8)};
}

inline std::string MoveText(const MoveGen& list, int i) {
  std::string text = SquareText(list.FromSquares[i]) + SquareText(list.ToSquares[i]);
  if (list.Promotions[i] != NoPromotion) text += list.Promotions[i];
  return text;
}

inline std::vector<std::string> MoveTexts(const MoveGen& list, int count) {
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(MoveText(list, i));
  return texts;
}

inline bool Contains(const std::vector<std::string>& moves, const std::string& move) {
  return std::find(moves.begin(), moves.end(), move) != moves.end();
}

// Plays a move on MainBoard the way the game does (the side to move changes, rights shrink).
inline void Play(const char* from, const char* to) {
  char mask = 0;
  MainBoard.MakeMove(At(from), At(to), NoPromotion, &mask);
  MainBoard.CastleFlags = static_cast<std::int8_t>(MainBoard.CastleFlags & mask);
  MainBoard.SideToMove = static_cast<std::int8_t>(MainBoard.SideToMove ^ 1);
}

// The moves of a generated list that do not leave the mover's own king attacked.
inline std::vector<std::string> LegalTexts(MoveGen& list, int count, char side) {
  std::vector<std::string> texts;
  ChessBoard& b = *list.Board;
  for (int i = 0; i < count; ++i) {
    char mask = 0;
    b.MakeMove(list.FromSquares[i], list.ToSquares[i], list.Promotions[i], &mask);
    if (!b.InCheck(side ? b.BlackKing : b.WhiteKing, side)) texts.push_back(MoveText(list, i));
    b.UndoMove(i);
  }
  return texts;
}
