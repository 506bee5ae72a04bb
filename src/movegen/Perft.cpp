// The perft count: every legal move sequence from MainBoard to a fixed depth, with its speed.
#include "movegen/Perft.h"

#include <cinttypes>
#include <cstdio>

#include "engine/Clock.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "movegen/Legality.h"
#include "movegen/MoveGen.h"

namespace {

int GenerateFor(MoveGen& list, char side, ChessBoard& board, char castleFlags) {
  if (board.InCheck(board.KingOf(side), side)) return list.GenCheckEvasions(side, &board);
  return list.GenerateAllMoves(side, &board, castleFlags);
}

// Moves per second from a millisecond count. The clock ticks in whole milliseconds, so a run
// that took less than one is reported as if it took one: a lower bound instead of a division by 0.
std::uint64_t MovesPerSecond(std::uint64_t moves, int elapsedMs) {
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
  // There the first move could take the king, and nothing below that is a game position.
  if (MainBoard.SetupError() != nullptr) {
    std::fputs("ERROR: PerfT needs a position whose side not to move is not in check\n", stdout);
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

// A position the legality test does not cover (the side not to move in check, a king missing or
// doubled) and a traced run make and take back every move as the count is defined.
void PerfT::PerformanceTest(char side, int depth, ChessBoard board, char castleFlags) {
  const bool trace = MainStatus.Trace == 1;
  if (trace || !(side ? LegalityTest<1>::Applies(board) : LegalityTest<0>::Applies(board)))
    CountByMaking(side, depth, board, castleFlags, trace);
  else if (side)
    CountMoves<1>(depth, board, castleFlags);
  else
    CountMoves<0>(depth, board, castleFlags);
}

// Only legal moves are made, each on a fresh copy of the board handed to the level below; the
// last ply only counts them.
template <int Side>
void PerfT::CountMoves(int depth, ChessBoard& board, char castleFlags) {
  if (depth < 1) {
    ++LeafNodes;
    return;
  }
  const bool inCheck = board.InCheck(board.*SideFields<Side>::King, Side);
  MoveGen list;
  const int count = inCheck ? list.GenCheckEvasions(Side, &board) : list.GenerateAllMoves(Side, &board, castleFlags);
  const LegalityTest<Side> legal(board, inCheck);
  if (depth == 1) {
    std::uint64_t moves = 0;
    for (int i = 0; i < count; ++i) moves += legal.Allows(list.FromSquares[i], list.ToSquares[i]);
    TotalNodes += moves;
    LeafNodes += moves;
    return;
  }
  for (int i = 0; i < count; ++i) {
    if (!legal.Allows(list.FromSquares[i], list.ToSquares[i])) continue;
    ++TotalNodes;
    ChessBoard child = board;
    char castleMask;
    child.MakeMove(list.FromSquares[i], list.ToSquares[i], list.Promotions[i], &castleMask);
    CountMoves<1 - Side>(depth - 1, child, castleFlags & castleMask);
  }
}

// Every level makes and takes back its own moves on its own copy of the board, so the board's
// one-level undo is enough; each legal move hands a fresh copy to the level below.
void PerfT::CountByMaking(char side, int depth, ChessBoard& board, char castleFlags, bool trace) {
  if (depth < 1) {
    ++LeafNodes;
    return;
  }
  MoveGen list;
  const int count = GenerateFor(list, side, board, castleFlags);
  for (int i = 0; i < count; ++i) {
    SquareSet from, to;
    char promotion, castleMask;
    list.GetMove(i, &from, &to, &promotion);
    board.MakeMove(from, to, promotion, &castleMask);
    if (!board.InCheck(board.KingOf(side), side)) {
      ++TotalNodes;
      if (trace) PrintMoveStart(from, to, promotion);
      ChessBoard child = board;
      CountByMaking(side ^ 1, depth - 1, child, castleFlags & castleMask, trace);
      if (trace) std::fputs("</Move >\n} \n", stdout);
    }
    board.UndoMove(i);
  }
}

void PerfT::PrintMoveStart(SquareSet from, SquareSet to, char promotion) const {
  char text[MoveTextSize];
  fillmovestring(text, 0, static_cast<char>(SquareIndex(from)), static_cast<char>(SquareIndex(to)), promotion, 0);
  std::printf("<Move name=\"{ %snodes %" PRIu64 "\">\n", text, TotalNodes);
}
