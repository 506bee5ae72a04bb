#pragma once
// The repetition history: hash codes of the game's positions followed by those of the search's
// current path, most recent on top.
//
// Capacity: MaxGameMoves (600) entries. When an append finds the history full, the oldest
// HistoryDropBlock (100) entries are discarded and the rest slide down before the new entry is
// stored. Only the bottom of the stack (the earliest game positions) is ever lost, so the search,
// which pushes and pops on top, keeps its whole path, and a game longer than the history keeps
// its most recent 500 positions, far more than any repetition window of the fifty-move rule.
#include <cstdint>
#include "board/Types.h"

constexpr int HistoryCapacity = MaxGameMoves;
constexpr int HistoryWarningThreshold = 590;
constexpr int HistoryDropBlock = 100;

struct HistoryEntry {
  std::uint64_t Upper;
  std::uint64_t Lower;
};

class MoveHistory {
public:
  HistoryEntry Entries[HistoryCapacity] = {};
  std::int32_t NumMoves = 0;       // entries in use; Entries[NumMoves - 1] is the most recent

  void Init() { NumMoves = 0; }
  void InsertHashCodeMoveHistory(std::uint64_t upper, std::uint64_t lower);
  void InsertMoveHistory(std::uint64_t upper, std::uint64_t lower) { InsertHashCodeMoveHistory(upper, lower); }
  void RetractMove();
  // Earlier occurrences of the position among the last n plies with the same side to move
  // (the current position must be on top already); -1 when the window is empty.
  std::int8_t ThreeFoldRepDetection(std::int32_t n, std::uint64_t upper, std::uint64_t lower) const;
};

extern MoveHistory MoveList;
