#pragma once
// Set-up shared by the search tests: engine tables initialised once, positions from FEN text,
// and a clean search state for each test.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include "board/ChessBoard.h"
#include "engine/MatchLoop.h"
#include "engine/Status.h"
#include "eval/PawnHash.h"
#include "hash/MoveHistory.h"
#include "hash/TranspositionTables.h"
#include "hash/Zobrist.h"
#include "search/SearchRoutines.h"
#include "tools/Fen.h"

namespace searchtest {

inline void InitEngineOnce() {
  static bool done = false;
  if (done) return;
  done = true;
  MainStatus.initVars();
  MainBoard.InitRep();
  initPStable();
}

// Puts a position on MainBoard with counts and pawn code valid, an empty repetition history, and
// every table of the search cleared, so that a search of it depends on nothing earlier.
inline void SetPosition(const std::string& fen) {
  InitEngineOnce();
  MainStatus.initVars();
  MainStatus.UseBook = 0;
  MainStatus.xboard = MainStatus.UCIMode = 0;
  MainStatus.Analyze = MainStatus.Pondering = MainStatus.Post = 0;
  MainStatus.NodesPerSecond = 1200000;
  MoveList.Init();
  SetupBoard(fen.c_str());
  RecountMainBoard();
  Search.ClearHistory();
  Search.ClearKillers();
  Search.InitValues();
  Search.STInMilliseconds = 0;
  Search.BookMoveNumber = 0;
  PositionCache.ClearTranspositionTables();
  ClearPawnHash();
}

inline std::string SquareName(SquareSet s) {
  if (s == 0) return "--";
  const int i = SquareIndex(s);
  return std::string{static_cast<char>('a' + (i & 7)), static_cast<char>('1' + (i >> 3))};
}

inline std::string MoveName(SquareSet from, SquareSet to) { return SquareName(from) + SquareName(to); }

struct SearchResult {
  int Score = 0;
  std::string Move;
  std::int64_t Nodes = 0;
  int Depth = 0;     // depth of the last iteration
};

// Fixed-depth iterative deepening on a copy of MainBoard (which then carries the chosen move).
inline SearchResult SearchFixedDepth(int depth) {
  MainStatus.FD = static_cast<std::int8_t>(depth);
  SquareSet from = 0, to = 0;
  char promotion = 0;
  SearchResult r;
  r.Score = Search.ProgressiveDeepening(MainBoard, static_cast<char>(depth), &from, &to, &promotion);
  r.Move = MoveName(from, to);
  r.Nodes = Search.TotalNodes();
  r.Depth = Search.IterationDepth;
  MainStatus.FD = 0;
  return r;
}

// One root search of the given depth on a copy of MainBoard (tables and history carry over).
inline SearchResult SearchExactDepth(int depth) {
  MainStatus.Bench = 1;   // no polling: the node count depends on the depth alone
  SquareSet from = 0, to = 0;
  char promotion = 0;
  SearchResult r;
  r.Score = Search.SearchExactDepth(MainBoard, static_cast<char>(depth), &from, &to, &promotion);
  r.Move = MoveName(from, to);
  r.Nodes = Search.TotalNodes();
  r.Depth = Search.IterationDepth;
  MainStatus.Bench = 0;
  MoveList.RetractMove();   // the exact-depth search leaves the root position on the history
  return r;
}

}  // namespace searchtest
