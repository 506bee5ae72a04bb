#pragma once
// Empty-board attack tables, computed by the compiler (no start-up code, so they are valid even
// for constructors of other globals that run before main).
// Every table is indexed by the square index 0..63 (0 = a1, 7 = h1, 56 = a8, 63 = h8).
#include <array>
#include <cstdint>
#include "board/Types.h"

namespace AttackTables {

using SquareTable = std::array<SquareSet, 64>;

// The eight ray directions as (file step, rank step).
enum Direction : int { North, South, East, West, NorthEast, NorthWest, SouthEast, SouthWest };
constexpr int DirectionCount = 8;
constexpr int FileStep[DirectionCount] = {0, 0, 1, -1, 1, -1, 1, -1};
constexpr int RankStep[DirectionCount] = {1, -1, 0, 0, 1, 1, -1, -1};

constexpr bool OnBoard(int file, int rank) { return file >= 0 && file < 8 && rank >= 0 && rank < 8; }
constexpr SquareSet BitAt(int file, int rank) {
  return OnBoard(file, rank) ? SquareSet{1} << (rank * 8 + file) : 0;
}

// Squares one leap away, for the knight and the king.
constexpr SquareTable LeapTable(const int (&fileSteps)[8], const int (&rankSteps)[8]) {
  SquareTable table{};
  for (int square = 0; square < 64; ++square) {
    for (int i = 0; i < 8; ++i) table[square] |= BitAt(square % 8 + fileSteps[i], square / 8 + rankSteps[i]);
  }
  return table;
}

constexpr int KnightFileSteps[8] = {1, 2, 2, 1, -1, -2, -2, -1};
constexpr int KnightRankSteps[8] = {2, 1, -1, -2, -2, -1, 1, 2};
constexpr int KingFileSteps[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int KingRankSteps[8] = {1, 1, 0, -1, -1, -1, 0, 1};

constexpr SquareTable Knight = LeapTable(KnightFileSteps, KnightRankSteps);
constexpr SquareTable King = LeapTable(KingFileSteps, KingRankSteps);

// Ray[d][sq]: the squares from sq towards direction d up to the edge, sq itself excluded.
constexpr std::array<SquareTable, DirectionCount> MakeRays() {
  std::array<SquareTable, DirectionCount> rays{};
  for (int d = 0; d < DirectionCount; ++d) {
    for (int square = 0; square < 64; ++square) {
      int file = square % 8 + FileStep[d];
      int rank = square / 8 + RankStep[d];
      for (; OnBoard(file, rank); file += FileStep[d], rank += RankStep[d]) rays[d][square] |= BitAt(file, rank);
    }
  }
  return rays;
}
constexpr std::array<SquareTable, DirectionCount> Ray = MakeRays();

constexpr SquareTable JoinRays(Direction a, Direction b) {
  SquareTable table{};
  for (int square = 0; square < 64; ++square) table[square] = Ray[a][square] | Ray[b][square];
  return table;
}

// Lines through a square, the square itself excluded.
constexpr SquareTable FileLine = JoinRays(North, South);
constexpr SquareTable DiagonalLine = JoinRays(NorthEast, SouthWest);      // a1-h8 direction
constexpr SquareTable AntiDiagonalLine = JoinRays(NorthWest, SouthEast);  // h1-a8 direction

constexpr SquareTable JoinLines(const SquareTable& a, const SquareTable& b) {
  SquareTable table{};
  for (int square = 0; square < 64; ++square) table[square] = a[square] | b[square];
  return table;
}
constexpr SquareTable RookLines = JoinLines(FileLine, JoinRays(East, West));
constexpr SquareTable BishopLines = JoinLines(DiagonalLine, AntiDiagonalLine);

// RankAttack[inner][file]: attacks along one rank of a rook on `file`, where `inner` holds the
// occupancy of files b..g (bit 0 = file b). The edge files never change the answer.
constexpr int InnerRankPatterns = 64;
constexpr std::array<std::array<std::uint8_t, 8>, InnerRankPatterns> MakeRankAttacks() {
  std::array<std::array<std::uint8_t, 8>, InnerRankPatterns> table{};
  for (int inner = 0; inner < InnerRankPatterns; ++inner) {
    const int occupied = inner << 1;
    for (int file = 0; file < 8; ++file) {
      int attacks = 0;
      for (int f = file + 1; f < 8; ++f) {
        attacks |= 1 << f;
        if (occupied & (1 << f)) break;
      }
      for (int f = file - 1; f >= 0; --f) {
        attacks |= 1 << f;
        if (occupied & (1 << f)) break;
      }
      table[inner][file] = static_cast<std::uint8_t>(attacks);
    }
  }
  return table;
}
constexpr auto RankAttack = MakeRankAttacks();

}  // namespace AttackTables
