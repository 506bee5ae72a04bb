#pragma once
// Move-generator test: counts every legal move sequence from MainBoard to a fixed depth.
#include <cstdint>
#include "board/ChessBoard.h"

class PerfT {
public:
  std::uint64_t TotalNodes = 0;   // legal moves made at all depths
  std::uint64_t LeafNodes = 0;    // positions reached at depth 0

  PerfT() = default;
  // Runs the whole test from MainBoard and prints the counts and the speed. A position without
  // exactly one king per side is refused with an error line and nothing is counted.
  explicit PerfT(int depth);
  // Adds the subtree of board (side to move, castling rights as given) to the two counters.
  void PerformanceTest(char side, int depth, ChessBoard board, char castleFlags);

private:
  template <int Side>
  void CountMoves(int depth, ChessBoard& board, char castleFlags);
  void CountByMaking(char side, int depth, ChessBoard& board, char castleFlags, bool trace);
  void PrintMoveStart(SquareSet from, SquareSet to, char promotion) const;
};
