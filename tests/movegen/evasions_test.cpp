// Check evasions: which answers to a check are offered, and in which order.
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

// Which evasions are legal is counted by the perft suite; here the order, and what the generator
// leaves out before the legality test.
TEST(GenCheckEvasions, ListsInOrder) {
  const std::pair<const char*, Moves> cases[] = {
      // The king may not step back along the checking line; checkmate gives nothing.
      {"7k/8/8/8/r3K3/8/8/8 w - -", {"e4d3", "e4e3", "e4f3", "e4d5", "e4e5", "e4f5"}},
      {"4r1k1/8/8/8/8/8/4q3/4K3 w - -", {}},
      // Captures of the checker in piece order: knight, rook, bishop, pawn, queen.
      {"7k/8/3Q4/8/8/R2n4/1NP5/4KB2 w - -", {"e1d1", "e1d2", "e1e2", "b2d3", "a3d3", "f1d3", "c2d3", "d6d3"}},
      // Pawns block by single and double steps, or block and take with a queen promotion.
      {"4k3/8/8/b7/8/8/1PP5/4K3 w - -", {"e1d1", "e1f1", "e1e2", "e1f2", "c2c3", "b2b4"}},
      {"3K4/8/8/8/8/8/4p3/2k2R2 b - -", {"c1b2", "c1c2", "c1d2", "e2e1q", "e2f1q"}}};
  for (const auto& [fen, moves] : cases) {
    LoadPosition(fen);
    EXPECT_EQ(Evasions(), moves) << fen;
  }
  LoadPosition("7k/8/8/8/4K3/8/8/1b6 w - -");   // f5 lies behind the king as seen from the bishop
  EXPECT_FALSE(Contains(Evasions(), "e4f5"));
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
