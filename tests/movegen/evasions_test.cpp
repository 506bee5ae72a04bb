// Check evasions: lines of the checker and en passant.
#include <gtest/gtest.h>

#include "movegen/MoveListText.h"

namespace {

Moves Evasions() {
  MoveGen list;
  return MoveTexts(list, list.GenCheckEvasions(MainBoard.SideToMove, &MainBoard));
}

// Which evasions are legal is counted by the perft suite; the generator must not offer a step
// back along the checking line.
TEST(GenCheckEvasions, KingDoesNotStepAlongTheCheckingLine) {
  LoadPosition("7k/8/8/8/4K3/8/8/1b6 w - -");   // f5 lies behind the king as seen from the bishop
  EXPECT_FALSE(Contains(Evasions(), "e4f5"));
  LoadPosition("7k/8/8/8/r3K3/8/8/8 w - -");
  EXPECT_FALSE(Contains(Evasions(), "e4f4"));
}

TEST(GenCheckEvasions, CheckingPawnJustDoubleSteppedCanBeTakenEnPassant) {
  LoadPosition("8/3p4/8/4P3/4K3/8/8/7k b - -");
  Play("d7", "d5");
  EXPECT_TRUE(Contains(Evasions(), "e5d6"));
  EXPECT_TRUE(Contains(Evasions(), "e4d5"));
  LoadPosition("8/8/8/3k4/3p4/8/4P3/K7 w - -");
  Play("e2", "e4");
  EXPECT_TRUE(Contains(Evasions(), "d4e3"));
  // After a single step the capture behind the pawn is no longer allowed.
  LoadPosition("8/8/3p4/4P3/4K3/8/8/7k b - -");
  Play("d6", "d5");
  EXPECT_FALSE(Contains(Evasions(), "e5d6"));
}

}  // namespace
