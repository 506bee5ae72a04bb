#pragma once
// Attack sets for the evaluation. They equal the board's attack masks (each ray up to and including
// its first blocker) but use rays computed at compile time, because the evaluation builds every
// attack map of both sides at every leaf of the search.
#include <array>
#include "board/Types.h"

namespace EvalAttacks {

using SquareTableSet = std::array<SquareSet, 64>;

// Ray directions: the first four run towards higher square numbers, the last four towards lower.
enum Direction { North, East, NorthEast, NorthWest, South, West, SouthWest, SouthEast, DirectionCount };
constexpr int FileStep[DirectionCount] = {0, 1, 1, -1, 0, -1, -1, 1};
constexpr int RankStep[DirectionCount] = {1, 0, 1, 1, -1, 0, -1, -1};

constexpr SquareTableSet MakeRay(int direction) {
  SquareTableSet rays{};
  for (int square = 0; square < 64; ++square) {
    int file = square % 8 + FileStep[direction];
    int rank = square / 8 + RankStep[direction];
    for (; file >= 0 && file < 8 && rank >= 0 && rank < 8; file += FileStep[direction], rank += RankStep[direction])
      rays[square] |= SquareSet{1} << (rank * 8 + file);
  }
  return rays;
}

constexpr SquareTableSet MakeLeaper(const int (&files)[8], const int (&ranks)[8]) {
  SquareTableSet targets{};
  for (int square = 0; square < 64; ++square)
    for (int i = 0; i < 8; ++i) {
      int file = square % 8 + files[i];
      int rank = square / 8 + ranks[i];
      if (file >= 0 && file < 8 && rank >= 0 && rank < 8) targets[square] |= SquareSet{1} << (rank * 8 + file);
    }
  return targets;
}

constexpr int KnightFiles[8] = {1, 2, 2, 1, -1, -2, -2, -1};
constexpr int KnightRanks[8] = {2, 1, -1, -2, -2, -1, 1, 2};
constexpr int KingFiles[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int KingRanks[8] = {1, 1, 0, -1, -1, -1, 0, 1};

constexpr std::array<SquareTableSet, DirectionCount> Rays = {
  MakeRay(North), MakeRay(East), MakeRay(NorthEast), MakeRay(NorthWest),
  MakeRay(South), MakeRay(West), MakeRay(SouthWest), MakeRay(SouthEast)};
constexpr SquareTableSet KnightTargets = MakeLeaper(KnightFiles, KnightRanks);
constexpr SquareTableSet KingTargets = MakeLeaper(KingFiles, KingRanks);

// A ray towards higher squares stops at its lowest blocker, a ray towards lower squares at its highest.
inline SquareSet UpRay(int direction, int square, SquareSet occupied) {
  SquareSet ray = Rays[direction][square];
  SquareSet blockers = ray & occupied;
  if (blockers) ray ^= Rays[direction][__builtin_ctzll(blockers)];
  return ray;
}

inline SquareSet DownRay(int direction, int square, SquareSet occupied) {
  SquareSet ray = Rays[direction][square];
  SquareSet blockers = ray & occupied;
  if (blockers) ray ^= Rays[direction][63 - __builtin_clzll(blockers)];
  return ray;
}

inline SquareSet Rook(int square, SquareSet occupied) {
  return UpRay(North, square, occupied) | UpRay(East, square, occupied) |
         DownRay(South, square, occupied) | DownRay(West, square, occupied);
}

inline SquareSet Bishop(int square, SquareSet occupied) {
  return UpRay(NorthEast, square, occupied) | UpRay(NorthWest, square, occupied) |
         DownRay(SouthWest, square, occupied) | DownRay(SouthEast, square, occupied);
}

inline SquareSet Queen(int square, SquareSet occupied) { return Rook(square, occupied) | Bishop(square, occupied); }
inline SquareSet Knight(int square) { return KnightTargets[square]; }
inline SquareSet King(int square) { return KingTargets[square]; }

}  // namespace EvalAttacks
