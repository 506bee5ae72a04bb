// Move entry: the text form of a move, and whether it is legal in a position.
#include <gtest/gtest.h>

#include <string>

#include "board/ChessBoard.h"
#include "protocol/MoveCheck.h"
#include "support/GameBoard.h"

namespace {

using nelktest::StartFen;

ChessBoard Position(const std::string& fen) {
  MainBoard = ChessBoard{};
  std::string text = fen;
  SetupBoard(text.data());
  return MainBoard;
}

TEST(MoveCheck, ParsesTextWithoutAPosition) {
  int from = -1, to = -1;
  char promotion = 'x';
  ASSERT_TRUE(ParseMoveText("a1h8", &from, &to, &promotion));
  EXPECT_TRUE(from == 0 && to == 63 && promotion == '\0');
  ASSERT_TRUE(ParseMoveText("e7e8Q", &from, &to, &promotion));
  EXPECT_EQ(promotion, 'q');
  for (const char* text : {"", "e2", "e2e", "e9e4", "e0e4", "i2i4", "E2E4", "e2e4x", "e2e4qq", "e7e8k", "2e4e",
                           "e2-e4", "e2e4 "})
    EXPECT_FALSE(ParseMoveText(text, &from, &to, &promotion)) << text;
  EXPECT_FALSE(ParseMoveText(nullptr, &from, &to, &promotion));
}

TEST(MoveCheck, LegalityOfMovesInPositions) {
  const char* check = "4r2k/8/8/8/8/8/8/1N2K2R w K - 0 1";   // the rook on e8 checks along the file
  const char* pinned = "3r3k/8/8/8/8/8/3B4/3K4 w - - 0 1";   // the bishop shields the king from the rook
  const char* castle = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
  const struct { const char* fen; const char* move; bool legal; } cases[] = {
      {StartFen, "g1f3", true}, {StartFen, "e2e5", false}, {StartFen, "e7e5", false}, {StartFen, "e1e2", false},
      {StartFen, "d1h5", false}, {StartFen, "e4e5", false}, {StartFen, "e2e4q", false},
      {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", "e7e5", true},
      {pinned, "d2e3", false}, {pinned, "d1e1", true},
      {"4k3/8/8/8/8/4q3/3r4/4K3 w - - 0 1", "e1d2", false},   // a defended piece
      {check, "b1c3", false}, {check, "e1g1", false}, {check, "e1e2", false}, {check, "e1d1", true},
      {"4r2k/8/8/8/8/8/3N4/4K3 w - - 0 1", "d2e4", true},     // interposes
      {castle, "e1g1", true}, {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", true},
      {"r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", "e1g1", false},  // no right
      {"r3kr2/8/8/8/8/8/8/R3K2R w KQq - 0 1", "e1g1", false},  // f1 attacked
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", true},     // en passant right after the step
      {"4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1", "e5d6", false},
      {"8/8/8/8/8/8/4P3/4K3 w - - 0 1", "e2e4", false},        // no Black king: no legal moves
      {"8/4P3/8/8/8/8/k7/6K1 w - - 0 1", "e7e8k", false}};
  CheckedMove move;
  for (const auto& c : cases) EXPECT_EQ(FindLegalMove(c.move, Position(c.fen), &move), c.legal) << c.fen << " " << c.move;
  // The move is found, not played.
  const ChessBoard start = Position(StartFen);
  ASSERT_TRUE(FindLegalMove("e2e4", start, &move));
  EXPECT_TRUE(move.From == SquareBit(12) && move.To == SquareBit(28) && move.Promotion == NoPromotion);
  EXPECT_EQ(MainBoard.WhitePawns, start.WhitePawns);
}

TEST(MoveCheck, PromotionsNameAnyPieceInTheMoversCase) {
  const ChessBoard white = Position("8/4P3/8/8/8/8/k7/6K1 w - - 0 1");
  CheckedMove move;
  const std::pair<const char*, char> cases[] = {{"e7e8q", 'Q'}, {"e7e8N", 'N'}, {"e7e8r", 'R'}, {"e7e8", 'Q'}};
  for (const auto& [text, piece] : cases) EXPECT_TRUE(FindLegalMove(text, white, &move) && move.Promotion == piece) << text;
  // A capture that promotes, taking the piece that gives check.
  ASSERT_TRUE(FindLegalMove("a2b1n", Position("6K1/8/8/8/8/8/p7/1Rk5 b - - 0 1"), &move));
  EXPECT_EQ(move.Promotion, 'n');
}

TEST(MoveCheck, HasLegalMoveTellsMateAndStalemate) {
  const ChessBoard start = Position(StartFen);
  EXPECT_TRUE(HasLegalMove(start, 0, start.CastleFlags) && HasLegalMove(start, 1, start.CastleFlags));
  EXPECT_FALSE(HasLegalMove(Position("rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3"), 0, 15));
  EXPECT_FALSE(HasLegalMove(Position("k7/8/1Q6/8/8/8/8/4K3 b - - 0 1"), 1, 0));
  EXPECT_FALSE(HasLegalMove(start, 2, 0));   // no such side
}

}  // namespace
