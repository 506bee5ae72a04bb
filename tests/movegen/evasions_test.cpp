// Check evasions: which answers to a check are offered, and in which order.
#include <gtest/gtest.h>

#include "movegen/MoveListText.h"

namespace {

using Moves = std::vector<std::string>;

Moves Evasions(MoveGen& list) {
  return MoveTexts(list, list.GenCheckEvasions(MainBoard.SideToMove, &MainBoard));
}

Moves Evasions(const char* fen) {
  LoadPosition(fen);
  MoveGen list;
  return Evasions(list);
}

Moves LegalEvasions() {
  MoveGen list;
  const int count = list.GenCheckEvasions(MainBoard.SideToMove, &MainBoard);
  return LegalTexts(list, count, MainBoard.SideToMove);
}

TEST(GenCheckEvasions, DoubleCheckLeavesOnlyKingMoves) {
  // Knight d6 and rook e1 both check; the rook a6 could take the knight but that is no answer.
  EXPECT_EQ(Evasions("4k3/8/r2N4/8/8/8/8/4R1K1 b - -"), (Moves{"e8d7", "e8d8", "e8f8"}));
}

TEST(GenCheckEvasions, KingMayNotStepBackAlongTheCheckingLine) {
  EXPECT_EQ(Evasions("7k/8/8/8/r3K3/8/8/8 w - -"), (Moves{"e4d3", "e4e3", "e4f3", "e4d5", "e4e5", "e4f5"}));
  // The same along a diagonal: f5 lies behind the king as seen from the bishop.
  EXPECT_FALSE(Contains(Evasions("7k/8/8/8/4K3/8/8/1b6 w - -"), "e4f5"));
}

TEST(GenCheckEvasions, KingTakesOnlyAnUnprotectedChecker) {
  EXPECT_EQ(Evasions("4k3/8/8/8/8/8/4q3/4K3 w - -"), (Moves{"e1e2"}));
  EXPECT_EQ(Evasions("4r1k1/8/8/8/8/8/4q3/4K3 w - -"), Moves{});
}

TEST(GenCheckEvasions, CheckmateGivesNoMoves) {
  EXPECT_EQ(Evasions("rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -"), Moves{});
}

TEST(GenCheckEvasions, CapturesOfTheCheckerInPieceOrderKnightRookBishopPawnQueen) {
  EXPECT_EQ(Evasions("7k/8/3Q4/8/8/R2n4/1NP5/4KB2 w - -"),
            (Moves{"e1d1", "e1d2", "e1e2", "b2d3", "a3d3", "f1d3", "c2d3", "d6d3"}));
}

TEST(GenCheckEvasions, PinnedPieceIsOfferedAndRejectedAfterTheMove) {
  EXPECT_TRUE(Contains(Evasions("6k1/8/8/b7/4r3/8/3N4/4K3 w - -"), "d2e4"));
  EXPECT_FALSE(Contains(LegalEvasions(), "d2e4"));
}

TEST(GenCheckEvasions, PawnsBlockBySingleAndDoubleStep) {
  EXPECT_EQ(Evasions("4k3/8/8/b7/8/8/1PP5/4K3 w - -"),
            (Moves{"e1d1", "e1f1", "e1e2", "e1f2", "c2c3", "b2b4"}));
}

TEST(GenCheckEvasions, PawnBlocksOrTakesWithQueenPromotion) {
  EXPECT_EQ(Evasions("2K2r2/4P3/8/8/8/8/8/3k4 w - -"), (Moves{"c8b7", "c8c7", "c8d7", "e7e8Q", "e7f8Q"}));
  EXPECT_EQ(Evasions("3K4/8/8/8/8/8/4p3/2k2R2 b - -"), (Moves{"c1b2", "c1c2", "c1d2", "e2e1q", "e2f1q"}));
}

TEST(GenCheckEvasions, CheckingPawnJustDoubleSteppedCanBeTakenEnPassant) {
  LoadPosition("8/3p4/8/4P3/4K3/8/8/7k b - -");
  Play("d7", "d5");
  EXPECT_TRUE(Contains(LegalEvasions(), "e5d6"));
  EXPECT_TRUE(Contains(LegalEvasions(), "e4d5"));

  LoadPosition("8/8/8/3k4/3p4/8/4P3/K7 w - -");
  Play("e2", "e4");
  EXPECT_TRUE(Contains(LegalEvasions(), "d4e3"));

  // After a single step the capture behind the pawn is no longer allowed.
  LoadPosition("8/8/3p4/4P3/4K3/8/8/7k b - -");
  Play("d6", "d5");
  MoveGen list;
  EXPECT_FALSE(Contains(Evasions(list), "e5d6"));
}

}  // namespace
