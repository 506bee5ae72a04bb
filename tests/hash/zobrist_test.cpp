// Hash keys: the fixed key sequence, each piece set's key row, side and castling keys, and what
// the codes ignore.
#include <gtest/gtest.h>

#include "hash/Zobrist.h"
#include "support/Boards.h"

namespace {

using namespace nelktest;

struct Code {
  std::uint64_t up = 0, low = 0;
};

Code Hash(const ChessBoard& board, char side, int castle) {
  InitKeysOnce();
  Code c;
  genhashcode(side, castle, &c.up, &c.low, board);
  return c;
}
Code Hash(const char* placement, char side, int castle) { return Hash(PlacementBoard(placement), side, castle); }

// The first three draws of the generator (60494271, 1217451684, 928226186) are the halves of
// the first two keys; the start position's codes use every piece's key row.
TEST(Zobrist, KeysAndStartPositionFollowTheFixedSequence) {
  const Code start = Hash("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", 0, AllCastleRights);
  EXPECT_EQ(UPStable[0][0], (60494271ull << 32) | 1217451684u);
  EXPECT_EQ(LPStable[0][0], 0x37539b8aa7e3a104ull);
  EXPECT_EQ(CastleCode[15], 0xc2cec52b50b851baull);
  EXPECT_EQ(BtoMove, 0xbd35a91d8afd7d2bull);
  EXPECT_EQ(WtoMove, 0x4d38da670e978b7cull);
  EXPECT_EQ(start.up, 0xbad8795b232a10f9ull);
  EXPECT_EQ(start.low, 0x4f0f86e39db9046dull);
  std::uint32_t pawnCode = 0;
  genpawnhashcode(0, PlacementBoard("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR"), &pawnCode);
  EXPECT_EQ(pawnCode, 0x3f675bb0u);
}

TEST(Zobrist, SideAndCastlingChangeBothHalvesAlike) {
  const char* kings = "4k3/8/8/8/8/8/8/4K3";
  const Code white = Hash(kings, 0, 0), black = Hash(kings, 1, 0), rights = Hash(kings, 0, 9);
  EXPECT_EQ(white.up ^ black.up, WtoMove ^ BtoMove);
  EXPECT_EQ(white.low ^ black.low, WtoMove ^ BtoMove);
  EXPECT_EQ(white.low ^ rights.low, CastleCode[0] ^ CastleCode[9]);
  // Only the four rights bits count; other bits never reach outside the key table.
  EXPECT_EQ(Hash(kings, 0, 9 + 32).up, rights.up);
  EXPECT_EQ(Hash(kings, 0, -1).low, Hash(kings, 0, 15).low);
}

TEST(Zobrist, EnPassantStateCountersAndPiecesLeaveCodesAlone) {
  ChessBoard b = PlacementBoard("4k3/8/8/3pP3/8/8/5P2/4K3");
  const Code before = Hash(b, 0, 0);
  b.LastFrom = Bit("d7");
  b.LastTo = Bit("d5");
  b.FiftyMoveCount = 40;
  const Code after = Hash(b, 0, 0);
  EXPECT_TRUE(before.up == after.up && before.low == after.low);
  std::uint32_t code = 1234;
  genpawnhashcode(1, b, &code);
  EXPECT_EQ(code, static_cast<std::uint32_t>(LPStable[0][Sq("e5")] ^ LPStable[0][Sq("f2")] ^ LPStable[6][Sq("d5")]));
  genpawnhashcode(0, PlacementBoard("rnbqkbnr/8/8/8/8/8/8/RNBQKBNR"), &code);
  EXPECT_EQ(code, 0u);
}

}  // namespace
