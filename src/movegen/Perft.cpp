// The perft count: every legal move sequence from MainBoard to a fixed depth, with its speed.
#include "movegen/Perft.h"

#include <cinttypes>
#include <cstdio>

#include "engine/Clock.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "movegen/MoveGen.h"

namespace {

SquareSet KingOf(const ChessBoard& board, char side) { return side ? board.BlackKing : board.WhiteKing; }

int GenerateFor(MoveGen& list, char side, ChessBoard& board, char castleFlags) {
  if (board.InCheck(KingOf(board, side), side)) return list.GenCheckEvasions(side, &board);
  return list.GenerateAllMoves(side, &board, castleFlags);
}

// Moves per second from a millisecond count. The clock ticks in whole milliseconds, so a run
// that took less than one is reported as if it took one: a lower bound instead of a division by 0.
std::uint64_t MovesPerSecond(std::uint64_t moves, int elapsedMs) {
  constexpr std::uint64_t MsPerSecond = 1000;
  const std::uint64_t ms = elapsedMs > 0 ? static_cast<std::uint64_t>(elapsedMs) : 1;
  return moves / ms * MsPerSecond;
}

}  // namespace

PerfT::PerfT(int depth) {
  std::fputs("Starting PerfT test \n", stdout);
  const int start = NowMs();
  if (!MainBoard.HasOneKingEach()) {
    std::fputs("ERROR: PerfT needs exactly one king of each colour\n", stdout);
    std::fflush(stdout);
    return;
  }
  const bool trace = MainStatus.Trace == 1;
  if (trace) std::fputs("<Trace name=\"Perft\">\n", stdout);
  PerformanceTest(MainBoard.SideToMove, depth, MainBoard, MainBoard.CastleFlags);
  if (trace) std::fputs("</Trace>\n", stdout);
  const int elapsed = NowMs() - start;
  std::printf("%" PRIu64 " Total Nodes at Depth = %d\n", TotalNodes, depth);
  std::printf("%" PRIu64 " Leaf Nodes at Depth = %d\n", LeafNodes, depth);
  std::printf("%" PRIu64 " NPS\n", MovesPerSecond(TotalNodes, elapsed));
  std::fflush(stdout);
}

void PerfT::PerformanceTest(char side, int depth, ChessBoard board, char castleFlags) {
  if (MainStatus.Trace == 1)
    CountMoves<true>(side, depth, board, castleFlags);
  else
    CountMoves<false>(side, depth, board, castleFlags);
}

// Every level makes and takes back its own moves on its own copy of the board, so the board's
// one-level undo is enough; each legal move hands a fresh copy to the level below.
template <bool Trace>
void PerfT::CountMoves(char side, int depth, ChessBoard& board, char castleFlags) {
  if (depth < 1) {
    ++LeafNodes;
    return;
  }
  if (!Trace && depth == 1) {
    CountLastPly(side, board, castleFlags);
    return;
  }
  MoveGen list;
  const int count = GenerateFor(list, side, board, castleFlags);
  for (int i = 0; i < count; ++i) {
    SquareSet from, to;
    char promotion, castleMask;
    list.GetMove(i, &from, &to, &promotion);
    board.MakeMove(from, to, promotion, &castleMask);
    if (!board.InCheck(KingOf(board, side), side)) {
      ++TotalNodes;
      if (Trace) PrintMoveStart(from, to, promotion);
      ChessBoard child = board;
      CountMoves<Trace>(side ^ 1, depth - 1, child, castleFlags & castleMask);
      if (Trace) std::fputs("</Move >\n} \n", stdout);
    }
    board.UndoMove(i);
  }
}

// The last ply only counts legal moves: the positions they reach need no copy of their own.
void PerfT::CountLastPly(char side, ChessBoard& board, char castleFlags) {
  MoveGen list;
  const int count = GenerateFor(list, side, board, castleFlags);
  std::uint64_t legal = 0;
  for (int i = 0; i < count; ++i) {
    char castleMask;
    board.MakeMove(list.FromSquares[i], list.ToSquares[i], list.Promotions[i], &castleMask);
    legal += !board.InCheck(KingOf(board, side), side);
    board.UndoMove(i);
  }
  TotalNodes += legal;
  LeafNodes += legal;
}

void PerfT::PrintMoveStart(SquareSet from, SquareSet to, char promotion) const {
  char text[MoveTextSize];
  fillmovestring(text, 0, static_cast<char>(SquareIndex(from)), static_cast<char>(SquareIndex(to)), promotion, 0);
  std::printf("<Move name=\"{ %snodes %" PRIu64 "\">\n", text, TotalNodes);
}
