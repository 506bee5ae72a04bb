#include <gtest/gtest.h>

#include <string>

#include "board/ChessBoard.h"
#include "protocol/MoveCheck.h"
#include "tools/Fen.h"

namespace {

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

ChessBoard Position(const std::string& fen) {
  MainBoard = ChessBoard{};
  std::string text = fen;
  SetupBoard(text.data());
  return MainBoard;
}

bool Legal(const std::string& fen, const char* move) {
  CheckedMove found;
  return FindLegalMove(move, Position(fen), &found);
}

TEST(MoveCheck, ParsesTextWithoutAPosition) {
  int from = -1, to = -1;
  char promotion = 'x';
  ASSERT_TRUE(ParseMoveText("e2e4", &from, &to, &promotion));
  EXPECT_TRUE(from == 12 && to == 28 && promotion == '\0');
  ASSERT_TRUE(ParseMoveText("a1h8", &from, &to, &promotion));
  EXPECT_TRUE(from == 0 && to == 63);
  ASSERT_TRUE(ParseMoveText("e7e8Q", &from, &to, &promotion));
  EXPECT_EQ(promotion, 'q');
  for (const char* text : {"", "e", "e2", "e2e", "e9e4", "e0e4", "z2z4", "i2i4", "e2e9", "E2E4", "e2e4x",
                           "e2e4qq", "e7e8k", "2e4e", "e2-e4", "e2e4 "}) {
    EXPECT_FALSE(ParseMoveText(text, &from, &to, &promotion)) << text;
  }
  EXPECT_FALSE(ParseMoveText(nullptr, &from, &to, &promotion));
}

TEST(MoveCheck, OrdinaryMoves) {
  const ChessBoard start = Position(StartFen);
  CheckedMove move;
  ASSERT_TRUE(FindLegalMove("e2e4", start, &move));
  EXPECT_TRUE(move.From == SquareBit(12) && move.To == SquareBit(28) && move.Promotion == NoPromotion);
  EXPECT_EQ(MainBoard.WhitePawns, start.WhitePawns);   // nothing was played
  EXPECT_TRUE(Legal(StartFen, "g1f3"));
  // Too far, the other side's pawn, onto an own piece, blocked, from an empty square, a letter on
  // a move that is no promotion.
  for (const char* text : {"e2e5", "e7e5", "e1e2", "d1h5", "e4e5", "e2e4q"}) EXPECT_FALSE(Legal(StartFen, text)) << text;
  EXPECT_TRUE(Legal("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", "e7e5"));
}

TEST(MoveCheck, PromotionsNameAnyPieceInTheMoversCase) {
  const ChessBoard white = Position("8/4P3/8/8/8/8/k7/6K1 w - - 0 1");
  CheckedMove move;
  const std::pair<const char*, char> cases[] = {{"e7e8q", 'Q'}, {"e7e8N", 'N'}, {"e7e8r", 'R'}, {"e7e8", 'Q'}};
  for (const auto& [text, piece] : cases) EXPECT_TRUE(FindLegalMove(text, white, &move) && move.Promotion == piece) << text;
  EXPECT_FALSE(FindLegalMove("e7e8k", white, &move));
  ASSERT_TRUE(FindLegalMove("a2a1b", Position("6K1/8/8/8/8/8/p7/2k5 b - - 0 1"), &move));
  EXPECT_EQ(move.Promotion, 'b');
  // A capture that promotes, taking the piece that gives check.
  ASSERT_TRUE(FindLegalMove("a2b1n", Position("6K1/8/8/8/8/8/p7/1Rk5 b - - 0 1"), &move));
  EXPECT_EQ(move.Promotion, 'n');
}

TEST(MoveCheck, KingSafetyChecksAndCastling) {
  const char* pinned = "3r3k/8/8/8/8/8/3B4/3K4 w - - 0 1";   // the bishop shields the king from the rook
  EXPECT_FALSE(Legal(pinned, "d2e3"));
  EXPECT_TRUE(Legal(pinned, "d1e1"));
  EXPECT_FALSE(Legal("4k3/8/8/8/8/4q3/3r4/4K3 w - - 0 1", "e1d2"));   // a defended piece
  EXPECT_FALSE(Legal("4k3/8/8/8/8/8/8/r3K3 w - - 0 1", "e1d1"));
  const char* check = "4r2k/8/8/8/8/8/8/1N2K2R w K - 0 1";            // rook on e8 checks along the file
  EXPECT_FALSE(Legal(check, "b1c3"));
  EXPECT_FALSE(Legal(check, "e1g1"));
  EXPECT_FALSE(Legal(check, "e1e2"));
  EXPECT_TRUE(Legal(check, "e1d1"));
  EXPECT_TRUE(Legal("4r2k/8/8/8/8/8/3N4/4K3 w - - 0 1", "d2e4"));     // interposes
  EXPECT_TRUE(Legal("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1"));
  EXPECT_TRUE(Legal("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8"));
  EXPECT_FALSE(Legal("r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1", "e1g1"));  // no right
  EXPECT_FALSE(Legal("r3kr2/8/8/8/8/8/8/R3K2R w KQq - 0 1", "e1g1"));  // f1 attacked
  EXPECT_TRUE(Legal("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6"));     // en passant right after the step
  EXPECT_FALSE(Legal("4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1", "e5d6"));
  EXPECT_FALSE(Legal("8/8/8/8/8/8/4P3/4K3 w - - 0 1", "e2e4"));        // no Black king: no legal moves
}

TEST(MoveCheck, HasLegalMoveTellsMateAndStalemate) {
  const ChessBoard start = Position(StartFen);
  EXPECT_TRUE(HasLegalMove(start, 0, start.CastleFlags) && HasLegalMove(start, 1, start.CastleFlags));
  EXPECT_FALSE(HasLegalMove(Position("rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3"), 0, 15));
  EXPECT_FALSE(HasLegalMove(Position("k7/8/1Q6/8/8/8/8/4K3 b - - 0 1"), 1, 0));
  EXPECT_FALSE(HasLegalMove(start, 2, 0));   // no such side
}

}  // namespace
