// Move entry: whether a move given as text is legal in a position.
#include <gtest/gtest.h>

#include <string>

#include "board/ChessBoard.h"
#include "protocol/MoveCheck.h"
#include "testkit/GameBoard.h"

namespace {

using nelktest::StartFen;

ChessBoard Position(const std::string& fen) {
  MainBoard = ChessBoard{};
  SetupBoard(fen.c_str());
  return MainBoard;
}

// Whether a move is legal, and the promotion piece in the mover's case (a queen when unnamed).
TEST(MoveCheck, LegalityAndPromotionsInPositions) {
  const char* check = "4r2k/8/8/8/8/8/8/1N2K2R w K - 0 1";   // the rook on e8 checks along the file
  const char* pinned = "3r3k/8/8/8/8/8/3B4/3K4 w - - 0 1";
  const struct { const char* fen; const char* move; bool legal; } cases[] = {
      {StartFen, "g1f3", true}, {StartFen, "e2e5", false}, {StartFen, "e7e5", false}, {StartFen, "e2e4q", false},
      {StartFen, "e9e4", false}, {StartFen, "E2E4", false}, {StartFen, "e2e4x", false}, {StartFen, "e2-e4", false},
      {pinned, "d2e3", false}, {pinned, "d1e1", true}, {"4k3/8/8/8/8/4q3/3r4/4K3 w - - 0 1", "e1d2", false},
      {check, "b1c3", false}, {check, "e1g1", false}, {check, "e1d1", true},
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", true}, {"r3kr2/8/8/8/8/8/8/R3K2R w KQq - 0 1", "e1g1", false},
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", true}, {"4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1", "e5d6", false},
      {"8/8/8/8/8/8/4P3/4K3 w - - 0 1", "e2e4", false},        // no Black king: no legal moves
      {"8/4P3/8/8/8/8/k7/6K1 w - - 0 1", "e7e8k", false}};
  CheckedMove move;
  for (const auto& c : cases) EXPECT_EQ(FindLegalMove(c.move, Position(c.fen), &move), c.legal) << c.fen << " " << c.move;
  const ChessBoard white = Position("8/4P3/8/8/8/8/k7/6K1 w - - 0 1");
  for (const auto& [text, piece] : {std::pair{"e7e8N", 'N'}, {"e7e8r", 'R'}, {"e7e8", 'Q'}})
    EXPECT_TRUE(FindLegalMove(text, white, &move) && move.Promotion == piece) << text;
  ASSERT_TRUE(FindLegalMove("a2b1n", Position("6K1/8/8/8/8/8/p7/1Rk5 b - - 0 1"), &move));
  EXPECT_EQ(move.Promotion, 'n');
  EXPECT_FALSE(HasLegalMove(Position("k7/8/1Q6/8/8/8/8/4K3 b - - 0 1"), 1, 0));   // stalemate
  EXPECT_FALSE(HasLegalMove(Position(StartFen), 2, 0));                            // no such side
}

}  // namespace
