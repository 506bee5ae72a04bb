// Check evasions: lines of the checker and en passant.
#include <gtest/gtest.h>

#include "movegen/MoveListText.h"

namespace {

Moves Evasions() {
  MoveGen list;
  return MoveTexts(list, list.GenCheckEvasions(MainBoard.SideToMove, &MainBoard));
}

// The evasions that do not leave the mover's own king attacked.
Moves LegalEvasions() {
  MoveGen list;
  const int count = list.GenCheckEvasions(MainBoard.SideToMove, &MainBoard);
  const char side = MainBoard.SideToMove;
  Moves texts;
  for (int i = 0; i < count; ++i) {
    char mask = 0;
    MainBoard.MakeMove(list.FromSquares[i], list.ToSquares[i], list.Promotions[i], &mask);
    if (!MainBoard.InCheck(side ? MainBoard.BlackKing : MainBoard.WhiteKing, side)) texts.push_back(MoveText(list, i));
    MainBoard.UndoMove(i);
  }
  return texts;
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
  EXPECT_TRUE(Contains(LegalEvasions(), "e5d6"));
  EXPECT_TRUE(Contains(LegalEvasions(), "e4d5"));
  LoadPosition("8/8/8/3k4/3p4/8/4P3/K7 w - -");
  Play("e2", "e4");
  EXPECT_TRUE(Contains(LegalEvasions(), "d4e3"));
  // After a single step the capture behind the pawn is no longer allowed.
  LoadPosition("8/8/3p4/4P3/4K3/8/8/7k b - -");
  Play("d6", "d5");
  EXPECT_FALSE(Contains(Evasions(), "e5d6"));
}

}  // namespace
