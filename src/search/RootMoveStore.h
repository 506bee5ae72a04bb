#pragma once
// A store of root moves with a value per move (a companion of the root search, which itself
// works on its own move list).
#include <cstdint>
#include "movegen/MoveGen.h"

class RootMoveStore {
public:
  std::int32_t Count = 0;
  std::int32_t Values[MaxMovesInList] = {};
  std::int32_t OrderValues[MaxMovesInList] = {};
  SquareSet FromSquares[MaxMovesInList] = {};
  SquareSet ToSquares[MaxMovesInList] = {};
  char Promotions[MaxMovesInList] = {};

  void CopyMoves(int n, MoveGen* list);
  void NextRootMove(int i, int n, std::uint64_t* from, std::uint64_t* to, char* promotion);
  void AssignMoveValue(int i, int v);
};

extern RootMoveStore RootMoves;
