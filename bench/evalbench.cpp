// Evaluation speed: a fixed set of positions evaluated many times with the full window, once with
// the pawn hash table working as in a search and once with every probe missing.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include "eval/PawnHash.h"
#include "eval/PositionEvaluate.h"
#include "hash/Zobrist.h"
#include "testkit/EvalPositions.h"
#include "tools/Fen.h"

namespace {

constexpr int FullWindow = 110000;
constexpr int DefaultRounds = 20000;
constexpr std::uint32_t MissStride = 0x9E3779B1u;   // changes the pawn code on every evaluation

ChessBoard Boards[EvalPositionCount];

void SetUpBoards() {
  InitKeysOnce();
  for (int i = 0; i < EvalPositionCount; ++i) {
    SetupBoard(EvalPositions[i]);
    ChessBoard& b = Boards[i];
    b = MainBoard;
    b.InitPieceCounts();
    b.CheckDraw(0);
    genpawnhashcode(b.SideToMove, b, &b.PawnHashCode);
  }
}

struct RunResult {
  double Seconds;
  long long Evaluations;
  long long Checksum;
};

RunResult Run(int rounds, bool missEveryProbe) {
  long long checksum = 0, evaluations = 0;
  std::uint32_t perturbation = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < rounds; ++round) {
    for (ChessBoard& b : Boards) {
      ChessBoard board = b;
      if (missEveryProbe) board.PawnHashCode ^= (perturbation += MissStride);
      checksum += PE.PosEval(board.SideToMove, -FullWindow, FullWindow, &board, 0);
      ++evaluations;
    }
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return {elapsed.count(), evaluations, checksum};
}

void Report(const char* label, const RunResult& r, std::uint32_t attempts, std::uint32_t misses) {
  std::printf("%-22s %10lld evaluations in %7.3f s: %10.0f evaluations/s (pawn hash %u probes, %u misses)\n", label,
              r.Evaluations, r.Seconds, r.Evaluations / r.Seconds, attempts, misses);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : DefaultRounds;
  if (rounds <= 0) {
    std::printf("usage: bench_evalbench [rounds]   (rounds > 0, default %d)\n", DefaultRounds);
    return 1;
  }
  SetUpBoards();
  std::printf("%d positions, %d rounds, full window\n", EvalPositionCount, rounds);
  ClearPawnHash();
  Phashattempts = Phashmisses = 0;
  const RunResult cached = Run(rounds, false);
  Report("pawn hash in use:", cached, Phashattempts, Phashmisses);
  Phashattempts = Phashmisses = 0;
  const RunResult missing = Run(rounds, true);
  Report("every pawn probe misses:", missing, Phashattempts, Phashmisses);
  std::printf("score checksum %lld\n", cached.Checksum / rounds);
  return 0;
}
