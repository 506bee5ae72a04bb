// Draw rules: insufficient material with the corner-king exception, fifty moves, wrong bishop.
#include <gtest/gtest.h>
#include "BoardSetup.h"

namespace {

TEST(CheckDraw, MaterialCornerKingsFiftyMovesAndWrongBishop) {
  const struct { std::initializer_list<const char*> pieces; int fiftyMoves, result; } cases[] = {
      // insufficient material, kings away from the corners
      {{"Kd4", "kf6", "Nb1"}, 0, 8}, {{"Kd4", "kf6", "Nb1", "Ng1", "nb8"}, 0, 8}, {{"Kd4", "kf6", "Bb1", "bb8"}, 0, 8},
      {{"Kd4", "kf6", "Bb1", "Nc1"}, 0, 0}, {{"Kd4", "kf6", "Bb1", "Bc1"}, 0, 0}, {{"Kd4", "kf6", "Nb1", "Nc1", "Nd1"}, 0, 0},
      {{"Kd4", "kf6", "Pb2"}, 0, 0}, {{"Kd4", "kf6", "rb8"}, 0, 0},
      // a corner king at distance 2 is not declared drawn; the fifty-move rule still counts
      {{"Ka1", "kc2"}, 0, 0}, {{"Kf6", "kh8", "Nd5"}, 0, 0}, {{"Ka1", "kd4"}, 0, 8}, {{"Ka1", "kb2"}, 0, 8},
      {{"Ka1", "kc2"}, 100, 7}, {{"Ke1", "ke8", "Ra1"}, 99, 0}, {{"Ke1", "ke8", "Ra1"}, 100, 7}, {{"Kd4", "kf6"}, 100, 8},
      // rook pawn with the bishop of the wrong colour (d3 light, c1 dark) and the king in front
      {{"Kd4", "Ph5", "Bd3", "kh8"}, 0, 8}, {{"Kd4", "Ph5", "Bd3", "kg7"}, 0, 8}, {{"Kd4", "Ph5", "Bd3", "kf8"}, 0, 0},
      {{"Kd4", "Ph5", "Bc1", "kh8"}, 0, 0}, {{"Kd4", "Pa4", "Bc1", "kb7"}, 0, 8}, {{"Kd4", "Pa4", "Bd3", "kb7"}, 0, 0},
      {{"kd5", "ph4", "bc1", "Kg2"}, 0, 8}, {{"kd5", "ph4", "bd3", "Kg2"}, 0, 0}, {{"kd5", "pa5", "bd3", "Ka1"}, 0, 8},
      {{"kd5", "pa5", "bc1", "Ka1"}, 0, 0}, {{"Kd4", "Ph5", "Bd3", "Nb1", "kh8"}, 0, 0},
      {{"Kd4", "Ph5", "Bd3", "kh8", "pa7"}, 0, 0}, {{"Kd4", "Pg5", "Bd3", "kh8"}, 0, 0}};
  for (const auto& c : cases) {
    ChessBoard b = board_test::Board(c.pieces);
    b.FiftyMoveCount = c.fiftyMoves;
    EXPECT_EQ(b.CheckDraw(0), c.result) << *c.pieces.begin() << " " << c.pieces.begin()[1] << " " << c.fiftyMoves;
  }
}

TEST(Test50MoveRule, CountsQuietMovesAndResetsOnPawnMovesAndCaptures) {
  ChessBoard b = board_test::Board({"Ke1", "ke8", "Pe2", "Nb1", "pd7"});
  b.FiftyMoveCount = 98;
  const char b1 = 1, c3 = 18, e2 = 12, e4 = 28, e8 = 60, e7 = 52, d7 = 51;
  EXPECT_FALSE(b.Test50MoveRule(b1, c3));
  EXPECT_TRUE(b.Test50MoveRule(e8, e7));  // the counter goes from 99 to 100
  EXPECT_FALSE(b.Test50MoveRule(e2, e4));
  EXPECT_EQ(b.FiftyMoveCount, 0);
  b.FiftyMoveCount = 120;
  EXPECT_FALSE(b.Test50MoveRule(e8, d7));  // the king takes the pawn
  EXPECT_EQ(b.FiftyMoveCount, 0);
  b.FiftyMoveCount = 5;  // squares off the board are refused without touching the counter
  EXPECT_FALSE(b.Test50MoveRule(64, 0) || b.Test50MoveRule(0, -1));
  EXPECT_EQ(b.FiftyMoveCount, 5);
}

}  // namespace
