// Zobrist keys and hash codes. The generator is seeded from a fixed table, so every run
// produces the same keys and the same hash codes for the same positions.
#include "hash/Zobrist.h"

#include <cstdio>
#include "board/Bitboard.h"
#include "hash/RandomSeed.h"

std::uint64_t UPStable[12][64];
std::uint64_t LPStable[12][64];
std::uint64_t CastleCode[16];
std::uint64_t WtoMove;
std::uint64_t BtoMove;

namespace {

constexpr int ShortLag = 24;
constexpr int PieceCodes = 12;
bool KeysFilled = false;

// A key is two consecutive draws: the first one is the high half.
std::uint64_t Random64() {
  const std::uint64_t high = BetterRandom32();
  return (high << 32) | BetterRandom32();
}

// Walks the squares of a set from the lowest upwards. A well-formed set always yields 0..63;
// the check keeps the key tables from ever being read outside their bounds.
template <typename Visit>
void ForEachSquare(SquareSet pieces, int pieceCode, Visit visit) {
  while (pieces != 0) {
    const int square = RightMostBit(pieces) - 1;
    if (square < 0 || square > 63) {
      std::printf("ERROR: RB out of Range \n");
      std::printf("ERROR: in getPieceList\n");
      std::printf("piecelist = %llu piecetype = %c \n", static_cast<unsigned long long>(pieces),
                  static_cast<char>(pieceCode));
      pieces &= pieces - 1;
      continue;
    }
    visit(square);
    pieces &= pieces - 1;
  }
}

}  // namespace

// Knuth's additive lagged Fibonacci generator (lags 24 and 55), 32-bit wrapping sums.
std::uint32_t BetterRandom32() {
  static bool init = true;
  static std::uint32_t y[RandomSeedSize];
  static int j;
  static int k;
  if (init) {
    init = false;
    for (int i = 0; i < RandomSeedSize; i++) y[i] = RandomSeed[i];
    j = ShortLag - 1;
    k = RandomSeedSize - 1;
  }
  y[k] += y[j];
  const std::uint32_t result = y[k];
  if (--j < 0) j = RandomSeedSize - 1;
  if (--k < 0) k = RandomSeedSize - 1;
  return result;
}

// The draw order fixes every hash value of the engine: keep it.
void initPStable() {
  for (int piece = 0; piece < PieceCodes; piece++) {
    for (int square = 0; square < SquareCount; square++) {
      UPStable[piece][square] = Random64();
      LPStable[piece][square] = Random64();
    }
  }
  for (std::uint64_t& code : CastleCode) code = Random64();
  BtoMove = Random64();
  WtoMove = Random64();
  KeysFilled = true;
}

void InitKeysOnce() {
  if (!KeysFilled) initPStable();
}

void genhashcode(char side, int castle, std::uint64_t* upper, std::uint64_t* lower, const ChessBoard& board) {
  std::uint64_t up = 0;
  std::uint64_t low = 0;
  // From scratch: one pass over each piece set. The search sets up its root this way and then
  // follows the moves with UpdateHashCodeForMove.
  ZobristUpdate::XorSideSets<0, true>(board, up, low);
  ZobristUpdate::XorSideSets<1, true>(board, up, low);
  const std::uint64_t sideKey = side ? BtoMove : WtoMove;
  // Only the four rights bits exist; anything else would index outside the table.
  const std::uint64_t castleKey = CastleCode[castle & CastleKeyMask];
  *upper = up ^ sideKey ^ castleKey;
  *lower = low ^ sideKey ^ castleKey;
}

void genpawnhashcode(char, ChessBoard board, std::uint32_t* code) {
  std::uint64_t accumulator = 0;
  ForEachSquare(board.WhitePawns, WhitePawnCode,
                [&](int square) { accumulator ^= LPStable[WhitePawnCode][square]; });
  ForEachSquare(board.BlackPawns, BlackPawnCode,
                [&](int square) { accumulator ^= LPStable[BlackPawnCode][square]; });
  *code = static_cast<std::uint32_t>(accumulator);
}
