// Bit operations on square sets that are not hot enough to be inline, and the set diagram.
#include <cstdio>
#include "board/Bitboard.h"

// Index of the highest set bit; -1 for the empty set.
int MyLog2(SquareSet s) {
  s |= s >> 1;
  s |= s >> 2;
  s |= s >> 4;
  s |= s >> 8;
  s |= s >> 16;
  s |= s >> 32;
  return PopCount(s) - 1;
}

int SimpleBitCount(SquareSet s) {
  int count = 0;
  for (; s != 0; s &= s - 1) ++count;
  return count;
}

// 1-based index of the lowest set bit by halving the candidate range; 0 for the empty set.
int MybitScanForward(SquareSet s) {
  if (s == 0) return 0;
  int index = 1;
  for (int width = 32; width > 0; width /= 2) {
    const SquareSet low = (SquareSet{1} << width) - 1;
    if ((s & low) == 0) {
      index += width;
      s >>= width;
    }
  }
  return index;
}

// A square off the board never belongs to a set.
void DisplayBit(int square, SquareSet s) {
  const bool set = square >= 0 && square < 64 && (s & (SquareSet{1} << square)) != 0;
  std::fputs(set ? "1 " : "- ", stdout);
}

void Displaybits(SquareSet s) {
  std::fputs("   A B C D E F G H\n\n", stdout);
  for (int rank = 7; rank >= 0; --rank) {
    std::printf("%d  ", rank + 1);
    for (int file = 0; file < 8; ++file) DisplayBit(rank * 8 + file, s);
    std::printf(" %d\n", rank + 1);
  }
  std::fputs("\n   A B C D E F G H\n", stdout);
  std::fflush(stdout);
}
