// Move-generator speed: perft 6 of the initial position and perft 5 of "kiwipete", printed as
// legal moves made (TotalNodes) per second on one core. The figure from the process's own CPU
// time is printed beside the wall-clock one: on a machine shared with other jobs only the
// former tells the speed of the code.
#include <chrono>
#include <ctime>
#include <cinttypes>
#include <cstdio>

#include "movegen/Perft.h"
#include "tools/Fen.h"

namespace {

struct BenchPosition {
  const char* Name;
  const char* Fen;
  int Depth;
};

constexpr BenchPosition Positions[] = {
    {"startpos", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", 6},
    {"kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", 5},
};

using Clock = std::chrono::steady_clock;

std::uint64_t PerSecond(std::uint64_t count, Clock::duration elapsed) {
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
  return us > 0 ? count * 1000000 / static_cast<std::uint64_t>(us) : 0;
}

std::uint64_t PerCpuSecond(std::uint64_t count, std::clock_t ticks) {
  return ticks > 0 ? static_cast<std::uint64_t>(static_cast<double>(count) * CLOCKS_PER_SEC / ticks) : 0;
}

}  // namespace

int main() {
  std::uint64_t allMoves = 0;
  Clock::duration allTime{};
  std::clock_t allCpu = 0;
  for (const BenchPosition& p : Positions) {
    SetupBoard(p.Fen);
    MainBoard.InitPieceCounts();
    PerfT perft;
    const Clock::time_point start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    perft.PerformanceTest(MainBoard.SideToMove, p.Depth, MainBoard, MainBoard.CastleFlags);
    const std::clock_t cpu = std::clock() - cpuStart;
    const Clock::duration elapsed = Clock::now() - start;
    allMoves += perft.TotalNodes;
    allTime += elapsed;
    allCpu += cpu;
    std::printf("%-9s depth %d: %" PRIu64 " leaf, %" PRIu64 " total, %" PRId64 " ms, %" PRIu64
                " moves/s (cpu time: %" PRIu64 " moves/s)\n",
                p.Name, p.Depth, perft.LeafNodes, perft.TotalNodes,
                static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()),
                PerSecond(perft.TotalNodes, elapsed), PerCpuSecond(perft.TotalNodes, cpu));
  }
  std::printf("all: %" PRIu64 " moves, %" PRIu64 " moves/s (cpu time: %" PRIu64 " moves/s)\n", allMoves,
              PerSecond(allMoves, allTime), PerCpuSecond(allMoves, allCpu));
  return 0;
}
