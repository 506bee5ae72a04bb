#pragma once
// Set-up shared by the search tests: engine tables initialised once, positions from FEN text with
// every table of the search cleared, and searches whose result is read back as text.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include "board/ChessBoard.h"
#include "engine/Status.h"
#include "eval/PawnHash.h"
#include "hash/MoveHistory.h"
#include "hash/TranspositionTables.h"
#include "hash/Zobrist.h"
#include "search/SearchRoutines.h"
#include "tools/Fen.h"

namespace searchtest {

inline void InitEngineOnce() {
  static const bool done = [] { MainStatus.initVars(), MainBoard.InitRep(), initPStable(); return true; }();
  (void)done;
}

// A search of the position then depends on nothing earlier: empty repetition history, cleared
// tables, console mode with no book.
inline void SetPosition(const std::string& fen) {
  InitEngineOnce();
  MainStatus.initVars();
  MainStatus.UseBook = 0;
  MainStatus.xboard = MainStatus.UCIMode = 0;
  MainStatus.Analyze = MainStatus.Pondering = MainStatus.Post = 0;
  MainStatus.NodesPerSecond = 1200000;
  MoveList.Init();
  SetupBoard(fen.c_str());
  MainBoard.Recount();
  Search.ClearHistory();
  Search.ClearKillers();
  Search.InitValues();
  Search.STInMilliseconds = 0;
  Search.BookMoveNumber = 0;
  PositionCache.ClearTranspositionTables();
  ClearPawnHash();
}

// "e2e4"; "--" for each missing square.
inline std::string MoveName(SquareSet from, SquareSet to) {
  std::string text;
  for (const SquareSet s : {from, to})
    text += s ? std::string{static_cast<char>('a' + (SquareIndex(s) & 7)), static_cast<char>('1' + (SquareIndex(s) >> 3))}
              : "--";
  return text;
}

struct SearchResult {
  int Score = 0;
  std::string Move;
  std::int64_t Nodes = 0;
  int Depth = 0;        // depth of the last iteration
  std::string Output;   // what the search printed
};

// Iterative deepening to `depth` (0: as the clock allows) on a copy of MainBoard, which then
// carries the chosen move; or, `exact`, one root search of that depth without polling, so that
// the node count depends on the depth alone (tables and history carry over, the board does not).
inline SearchResult SearchTo(int depth, bool exact = false) {
  SquareSet from = 0, to = 0;
  char promotion = 0;
  SearchResult r;
  testing::internal::CaptureStdout();
  if (exact) {
    MainStatus.Bench = 1;
    r.Score = Search.SearchExactDepth(MainBoard, static_cast<char>(depth), &from, &to, &promotion);
    MainStatus.Bench = 0;
    MoveList.RetractMove();   // the exact-depth search leaves the root position on the history
  } else {
    MainStatus.FD = static_cast<std::int8_t>(depth);
    r.Score = Search.ProgressiveDeepening(MainBoard, static_cast<char>(depth), &from, &to, &promotion);
    MainStatus.FD = 0;
  }
  r.Output = testing::internal::GetCapturedStdout();
  r.Move = MoveName(from, to);
  r.Nodes = Search.TotalNodes();
  r.Depth = Search.IterationDepth;
  return r;
}

}  // namespace searchtest
