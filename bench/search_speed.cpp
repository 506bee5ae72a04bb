// Fixed-depth search speed: searches a few middlegame and endgame positions to a fixed depth with
// cleared tables and prints nodes, time and nodes per second per position and in total.
// Usage: bench_search_speed [depth]   (default 8)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include "board/ChessBoard.h"
#include "engine/Status.h"
#include "eval/PawnHash.h"
#include "hash/MoveHistory.h"
#include "hash/TranspositionTables.h"
#include "hash/Zobrist.h"
#include "search/SearchRoutines.h"
#include "tools/Fen.h"

namespace {
const char* const Positions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R5 w - - 0 1",
    "rnbqkb1r/p3pppp/1p6/2ppP3/3N4/2P5/PPP1QPPP/R1B1KB1R w KQkq - 0 1",
    "4b3/p3kp2/6p1/3pP2p/2pP1P2/4K1P1/P3N2P/8 w - - 0 1",
    "r3r1k1/ppqb1ppp/8/4p1NQ/8/2P5/PP3PPP/R3R1K1 b - - 0 1",
    "2r2rk1/1bqnbpp1/1p1ppn1p/pP6/N1P1P3/P2B1N1P/1B2QPP1/R2R2K1 b - - 0 1",
    "r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1",
};
}  // namespace

int main(int argc, char** argv) {
  const int depth = argc > 1 ? std::atoi(argv[1]) : 8;
  MainStatus.initVars();
  MainBoard.InitRep();
  initPStable();
  MainStatus.UseBook = 0;
  long long totalNodes = 0;
  double totalSeconds = 0;
  std::printf("%-4s %12s %10s %12s  %s\n", "pos", "nodes", "ms", "nps", "score move");
  int number = 1;
  for (const char* fen : Positions) {
    MoveList.Init();
    SetupBoard(fen);
    MainBoard.Recount();
    Search.ClearHistory();
    PositionCache.ClearTranspositionTables();
    ClearPawnHash();
    MainStatus.FD = static_cast<std::int8_t>(depth);
    SquareSet from = 0, to = 0;
    char promotion = 0;
    const auto start = std::chrono::steady_clock::now();
    const int score = Search.ProgressiveDeepening(MainBoard, static_cast<char>(depth), &from, &to, &promotion);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long long nodes = Search.TotalNodes();
    totalNodes += nodes;
    totalSeconds += seconds;
    const int f = from ? SquareIndex(from) : 0, t = to ? SquareIndex(to) : 0;
    std::printf("%-4d %12lld %10.0f %12.0f  %d %c%d%c%d\n", number++, nodes, seconds * 1000, nodes / seconds, score,
                'a' + (f & 7), f / 8 + 1, 'a' + (t & 7), t / 8 + 1);
  }
  std::printf("total %11lld %10.0f %12.0f  (depth %d)\n", totalNodes, totalSeconds * 1000, totalNodes / totalSeconds,
              depth);
  return 0;
}
