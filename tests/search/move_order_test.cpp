// Ordering values of AssignMoveOrderValues and the selection of NextMove.
#include "movegen/MoveGen.h"
#include "movegen/MoveOrderTables.h"
#include "search/SearchTestSupport.h"

using namespace searchtest;

namespace {

constexpr int Ply = 5;

int Square(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }
int Code(const char* move) { return Square(move) * 64 + Square(move + 2); }

// Generates the moves of MainBoard's side to move and orders them at ply Ply with nothing in the
// search's tables for that ply unless a test puts it there first.
class OrderTest : public ::testing::Test {
protected:
  ChessBoard board;
  MoveGen list;
  int count = 0;

  void Load(const std::string& fen) {
    SetPosition(fen);
    board = MainBoard;
    Search.PrincipalVariation[Ply][Ply] = PVEntry{0, 0};
    Search.Killers[Ply] = KillerPair{0, 0};
  }
  void Order(int hashMove = 0, char mode = 1) {
    const char side = board.SideToMove;
    count = list.GenerateAllMoves(side, &board, board.CastleFlags);
    list.AssignMoveOrderValues(count, Ply, side ? board.WhiteKing : board.BlackKing, hashMove, mode);
  }
  int ValueOf(const char* move) const {
    for (int i = 0; i < count; i++)
      if (SquareIndex(list.FromSquares[i]) * 64 + SquareIndex(list.ToSquares[i]) == Code(move)) return list.OrderValues[i];
    ADD_FAILURE() << "move " << move << " not generated";
    return 0;
  }
};

TEST_F(OrderTest, CaptureValuesAddVictimAndCapturerTerms) {
  Load("4k3/2p5/8/3q4/4P3/2b5/8/B2QK3 w - - 0 1");
  Order();
  EXPECT_EQ(ValueOf("a1c3"), 9750 + 3250 - 12);     // bishop takes bishop
  EXPECT_EQ(ValueOf("e4d5"), 9750 + 9750 - 3);      // pawn takes queen; c7 stops it being passed
  EXPECT_EQ(ValueOf("d1d5"), 9750 + 9750 - 38);     // queen takes queen
  Load("4k3/8/8/8/3p4/8/8/3QK3 w - - 0 1");
  Order();
  EXPECT_EQ(ValueOf("d1d4"), 9750 + 800 - 38);      // queen takes pawn
}

TEST_F(OrderTest, PassedPawnCaptureGainsTheRankDifference) {
  Load("4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1");
  Order();
  // Nothing ahead of d5 on files c-e: Passers[4] - Passers[3] = 270 - 160.
  EXPECT_EQ(ValueOf("e4d5"), 9750 + 3248 + 110 - 3);
}

TEST_F(OrderTest, RookCaptureOnOpenFileAndSeventhRank) {
  Load("6k1/3n4/8/8/8/8/8/3RK3 w - - 0 1");
  Order();
  // No pawn on the d-file, and d7 is Black's second rank.
  EXPECT_EQ(ValueOf("d1d7"), 9750 + 3248 + MoveOrder::OpenFileControl[3] + 350 - 19);
}

TEST_F(OrderTest, PrincipalVariationMoveOutranksTheSameHashMove) {
  Load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  Search.PrincipalVariation[Ply][Ply] = PVEntry{static_cast<std::uint16_t>(Code("g1f3")), NoPromotion};
  Order(Code("g1f3"));
  EXPECT_EQ(ValueOf("g1f3"), 28998);
  Order(Code("b1c3"));
  EXPECT_EQ(ValueOf("g1f3"), 28998);
  EXPECT_EQ(ValueOf("b1c3"), 29000);
  // Mode 3 skips the variation test, so the same move is now only the hash move.
  Order(Code("g1f3"), 3);
  EXPECT_EQ(ValueOf("g1f3"), 29000);
}

TEST_F(OrderTest, KillersAndHistoryOrderQuietMoves) {
  Load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  Search.Killers[Ply] = KillerPair{static_cast<std::uint16_t>(Code("e2e4")), static_cast<std::uint16_t>(Code("d2d4"))};
  Search.History[0][Code("c2c4")] = 5 << 7;
  Order();
  EXPECT_EQ(ValueOf("e2e4"), 1020);
  EXPECT_EQ(ValueOf("d2d4"), 1010);
  EXPECT_EQ(ValueOf("c2c4"), 5);
  EXPECT_EQ(ValueOf("a2a3"), 0);
}

TEST_F(OrderTest, RookOrQueenMoveOntoTheEnemyKingsLinesGets28) {
  Load("4k3/8/8/8/8/8/7R/K7 w - - 0 1");
  Search.History[0][Code("h2e2")] = 10 << 7;
  Order();
  EXPECT_EQ(ValueOf("h2e2"), 10 + 28);   // the king's file
  EXPECT_EQ(ValueOf("h2h8"), 28);        // the king's rank
  EXPECT_EQ(ValueOf("h2g2"), 0);
  EXPECT_EQ(ValueOf("a1b1"), 0);         // the king is no heavy piece
}

TEST_F(OrderTest, CastlingValueIsOverwritten) {
  Load("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1");
  Order();
  EXPECT_EQ(ValueOf("e1g1"), 0);
  EXPECT_EQ(ValueOf("e1c1"), 0);
}

TEST_F(OrderTest, PromotionValuesDependOnTheCharacterStored) {
  Load("8/P7/8/8/8/8/8/k6K w - - 0 1");
  Order();
  EXPECT_EQ(ValueOf("a7a8"), 500);   // the generator writes "Q", not the queen's piece code
  list.Promotions[0] = WhiteQueenCode;
  list.FromSquares[0] = SquareBit(Square("a7"));
  list.ToSquares[0] = SquareBit(Square("a8"));
  list.AssignMoveOrderValues(1, Ply, board.BlackKing, 0, 1);
  EXPECT_EQ(list.OrderValues[0], 4875);
}

TEST_F(OrderTest, EachSpecialMoveMatchesOnlyOnce) {
  Load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  Search.Killers[Ply].First = static_cast<std::uint16_t>(Code("e2e4"));
  list.Board = &board;
  for (int i = 0; i < 2; i++) {
    list.FromSquares[i] = SquareBit(Square("e2"));
    list.ToSquares[i] = SquareBit(Square("e4"));
    list.Promotions[i] = NoPromotion;
  }
  list.AssignMoveOrderValues(2, Ply, board.BlackKing, Code("e2e4"), 1);
  EXPECT_EQ(list.OrderValues[0], 29000);
  EXPECT_EQ(list.OrderValues[1], 1020);
}

TEST_F(OrderTest, NextMoveTakesTheBestAndKeepsListOrderOnTies) {
  Load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  const char* moves[] = {"a2a3", "b2b3", "c2c3", "d2d3"};
  const int values[] = {5, 7, 7, 5};
  for (int i = 0; i < 4; i++) {
    list.FromSquares[i] = SquareBit(Square(moves[i]));
    list.ToSquares[i] = SquareBit(Square(moves[i] + 2));
    list.Promotions[i] = NoPromotion;
    list.OrderValues[i] = values[i];
  }
  std::vector<std::string> taken;
  for (int i = 0; i < 4; i++) {
    SquareSet from = 0, to = 0;
    char promotion = 0;
    list.NextMove(i, 4, &from, &to, &promotion);
    taken.push_back(MoveName(from, to));
  }
  EXPECT_EQ(taken, (std::vector<std::string>{"b2b3", "c2c3", "a2a3", "d2d3"}));
}

TEST_F(OrderTest, NextMoveAtTheEndReturnsThatEntryUnchanged) {
  Load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  list.FromSquares[2] = SquareBit(Square("h2"));
  list.ToSquares[2] = SquareBit(Square("h4"));
  list.Promotions[2] = NoPromotion;
  list.OrderValues[0] = 1;
  list.OrderValues[1] = 2;
  list.OrderValues[2] = -5;
  SquareSet from = 0, to = 0;
  char promotion = 0;
  list.NextMove(2, 2, &from, &to, &promotion);
  EXPECT_EQ(MoveName(from, to), "h2h4");
  EXPECT_EQ(list.OrderValues[2], -5);
  list.NextMove(MaxMovesInList, MaxMovesInList, &from, &to, &promotion);   // outside the list: no move
  EXPECT_EQ(from, 0u);
}

}  // namespace
