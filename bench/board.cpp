// Speed of the board primitives that run at every node: attack masks, the check test and
// make/unmake. Prints nanoseconds per operation.
#include <ctime>
#include <cstdio>
#include <random>
#include <vector>
#include "board/ChessBoard.h"
#include "hash/Zobrist.h"
#include "movegen/Perft.h"

namespace {

constexpr int Rounds = 20000000;

struct Move {
  SquareSet from, to;
};

// Process CPU time since `start`: other programs on the shared machine do not count.
double CpuSeconds(std::clock_t start) { return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC; }

template <typename Op>
void Measure(const char* name, Op op) {
  const std::clock_t start = std::clock();
  SquareSet sink = 0;
  for (int i = 0; i < Rounds; ++i) sink += op(i);
  const double s = CpuSeconds(start);
  std::printf("%-28s %7.2f ns/op   (checksum %016llx)\n", name, s * 1e9 / Rounds, static_cast<unsigned long long>(sink));
}

// A middlegame position (after 1.e4 e5 2.Nf3 Nc6 3.Bb5 a6 4.Ba4 Nf6 5.O-O Be7).
ChessBoard Middlegame() {
  ChessBoard b;
  b.InitRep();
  const int moves[][2] = {{12, 28}, {52, 36}, {6, 21}, {57, 42}, {5, 33}, {48, 40}, {33, 24}, {62, 45}, {4, 6}, {61, 52}};
  for (const auto& m : moves) {
    char mask;
    b.MakeMove(SquareBit(m[0]), SquareBit(m[1]), NoPromotion, &mask);
  }
  b.InitPieceCounts();
  return b;
}

// Every pseudo move of the side's knights, bishops, rooks, queens and king (targets not own).
std::vector<Move> PieceMoves(const ChessBoard& b, int side) {
  std::vector<Move> moves;
  const SquareSet own = side ? b.BlackPieces : b.WhitePieces;
  for (int sq = 0; sq < 64; ++sq) {
    const SquareSet s = SquareBit(sq);
    if (!(own & s)) continue;
    SquareSet targets = 0;
    if ((b.WhiteKnights | b.BlackKnights) & s) targets = b.KnightMask(s);
    if ((b.WhiteBishops | b.BlackBishops | b.WhiteQueens | b.BlackQueens) & s) targets |= b.BishopMask(s);
    if ((b.WhiteRooks | b.BlackRooks | b.WhiteQueens | b.BlackQueens) & s) targets |= b.RookMask(s);
    if ((b.WhiteKing | b.BlackKing) & s) targets = b.KingMask(s);
    if ((b.WhitePawns | b.BlackPawns) & s) targets = (side ? s >> 8 : s << 8) & ~b.AllPieces;
    for (SquareSet t = targets & ~own; t; t &= t - 1) moves.push_back({s, t & (0 - t)});
  }
  return moves;
}

// Perft from the initial position, timed in process CPU time; the best of several runs, since
// the machine is shared.
void PerftSpeed(int depth) {
  constexpr int Runs = 5;
  ChessBoard start;
  start.InitRep();
  start.InitPieceCounts();
  double best = 1e9;  // seconds
  std::uint64_t nodes = 0;
  for (int run = 0; run < Runs; ++run) {
    PerfT perft;
    const std::clock_t t0 = std::clock();
    perft.PerformanceTest(0, depth, start, AllCastleRights);
    const double s = CpuSeconds(t0);
    if (s < best) best = s;
    nodes = perft.TotalNodes;
  }
  std::printf("perft %d: %llu TotalNodes, best of %d runs %.3f s CPU = %.1f million TotalNodes/s\n", depth,
              static_cast<unsigned long long>(nodes), Runs, best, best > 0 ? nodes / best / 1e6 : 0.0);
}

}  // namespace

int main() {
  initPStable();
  ChessBoard b = Middlegame();
  std::mt19937_64 rng(3);
  std::vector<SquareSet> squares(1024), occupancies(1024);
  for (auto& s : squares) s = SquareBit(static_cast<int>(rng() % 64));
  for (auto& o : occupancies) o = rng() & rng();
  ChessBoard random = b;
  Measure("RookMask (random occupancy)", [&](int i) {
    random.AllPieces = occupancies[i & 1023];
    return random.RookMask(squares[(i * 7) & 1023]);
  });
  Measure("BishopMask", [&](int i) {
    random.AllPieces = occupancies[i & 1023];
    return random.BishopMask(squares[(i * 7) & 1023]);
  });
  Measure("KnightMask", [&](int i) { return b.KnightMask(squares[i & 1023]); });
  Measure("InCheck (every square)", [&](int i) {
    return static_cast<SquareSet>(b.InCheck(SquareBit(i & 63), static_cast<char>(i >> 6 & 1)));
  });
  const std::vector<Move> moves = PieceMoves(b, 0);
  const int count = static_cast<int>(moves.size());
  Measure("MakeMove+InCheck+UndoMove", [&](int i) {
    const Move& m = moves[i % count];
    char mask;
    b.MakeMove(m.from, m.to, NoPromotion, &mask);
    const bool illegal = b.InCheck(b.WhiteKing, 0);
    b.UndoMove(i);
    return static_cast<SquareSet>(illegal) + static_cast<SquareSet>(mask);
  });
  Measure("board copy + MakeMove+InCheck", [&](int i) {
    const Move& m = moves[i % count];
    ChessBoard copy = b;
    char mask;
    copy.MakeMove(m.from, m.to, NoPromotion, &mask);
    return static_cast<SquareSet>(copy.InCheck(copy.WhiteKing, 0)) + copy.PawnHashCode;
  });
  std::printf("sizeof(ChessBoard) = %zu bytes, %d moves cycled\n", sizeof(ChessBoard), count);
  PerftSpeed(5);
  return 0;
}
