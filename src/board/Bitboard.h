#pragma once
// Bit operations on square sets.
#include "board/Types.h"

// 1 + index of the lowest set bit (a1 gives 1, h8 gives 64); an empty set gives 0.
inline int RightMostBit(SquareSet s) { return __builtin_ffsll(static_cast<long long>(s)); }
// Index of the highest set bit; an empty set gives -1 (the same answer as MyLog2).
inline int BSR(SquareSet s) { return s ? 63 - __builtin_clzll(s) : -1; }
int MyLog2(SquareSet s);
int SimpleBitCount(SquareSet s);
int MybitScanForward(SquareSet s);
// Portable population count: the build targets plain x86-64, where the builtin becomes a
// library call; this branch-free form is faster there and identical in result.
inline int PopCount(SquareSet s) {
  s = s - ((s >> 1) & 0x5555555555555555ULL);
  s = (s & 0x3333333333333333ULL) + ((s >> 2) & 0x3333333333333333ULL);
  s = (s + (s >> 4)) & 0x0f0f0f0f0f0f0f0fULL;
  return static_cast<int>((s * 0x0101010101010101ULL) >> 56);
}
// True when the set holds exactly one square.
inline bool IsSingleSquare(SquareSet s) { return s != 0 && (s & (s - 1)) == 0; }
void DisplayBit(int square, SquareSet s);
void Displaybits(SquareSet s);
