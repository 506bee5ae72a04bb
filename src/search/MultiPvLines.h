#pragma once
// The lines of play of the last iteration when the front end asks for more than one ("MultiPV"):
// the best line first, then the next best ones, each the best of the root moves that no line
// before it starts with.
#include <cstdint>
#include "board/Types.h"
#include "engine/MoveText.h"

constexpr int MaxMultiPv = 64;

struct PvLine {
  int Depth = 0;
  int Score = 0;
  std::uint16_t Move = 0;      // MoveCode of the line's first move
  char Promotion = 0;          // of that move (NoPromotion when none)
  char Text[MoveLineSize] = {};
};

class MultiPvLines {
public:
  int Count = 0;
  PvLine Lines[MaxMultiPv];

  void Clear() { Count = 0; }
  void CopyFrom(const MultiPvLines& other);
  void Add(int depth, int score, SquareSet from, SquareSet to, char promotion, const char* text);
  // A line found so far in this iteration starts with the move.
  bool Starts(int moveCode, char promotion) const;
  // Best first; lines of equal score keep the order they were found in.
  void SortByScore();
};

extern MultiPvLines OtherLines;
// The lines of the last iteration whose further lines were all searched (a limited strength
// chooses among them: the last iteration's may have been cut short by its node cap).
extern MultiPvLines CompleteLines;
