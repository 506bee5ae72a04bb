// The opening book: the search tree over its hash codes, and the choice of a legal book move.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/Status.h"
#include "hash/Zobrist.h"
#include "movegen/MoveGen.h"
#include "support/Boards.h"
#include "testkit/GameBoard.h"
#include "tools/Fen.h"
#include "tools/OpeningBook.h"

namespace {

class BookTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitKeysOnce();
    MainStatus.xboard = 1;   // keeps the console line out
    std::fill(OpeningBook, OpeningBook + 8, BookKey{0, 0});
    std::fill(BookValue, BookValue + 8, 0);
  }
  void TearDown() override {
    MainStatus.xboard = 0;
    buildbook();
  }
  // Index of a move in the generator's list for the board, -1 when absent.
  static int MoveIndex(ChessBoard board, const char* from, const char* to) {
    MoveGen list;
    const int count = list.GenerateAllMoves(board.SideToMove, &board, board.CastleFlags);
    for (int i = 0; i < count; i++)
      if (list.FromSquares[i] == nelktest::Bit(from) && list.ToSquares[i] == nelktest::Bit(to)) return i;
    return -1;
  }
  // The hash code pair of the position after the move, the way the book identifies positions.
  static BookKey KeyAfter(ChessBoard board, const char* from, const char* to) {
    char mask = 0;
    board.MakeMove(nelktest::Bit(from), nelktest::Bit(to), NoPromotion, &mask);
    BookKey key{};
    genhashcode(static_cast<char>(board.SideToMove ^ 1), board.CastleFlags & mask, &key.First, &key.Second, board);
    return key;
  }
  // Book entry i: the position after the move, with its value.
  static void Enter(int i, const ChessBoard& board, const char* from, const char* to, int value) {
    OpeningBook[i] = KeyAfter(board, from, to);
    BookValue[i] = value;
  }
  static ChessBoard Position(const char* fen) {
    SetupBoard(fen);
    return MainBoard;
  }
};

TEST_F(BookTest, EmptyBookAndPositionsWithoutKingsAnswerNothing) {
  buildbook();
  EXPECT_EQ(booksize, 0);
  EXPECT_EQ(BookTreeSearch(BookTreeRoot(), 0, 0), NotInBook);   // the unused entry 0 is not a position
  EXPECT_EQ(InBook(0, AllCastleRights, Position(nelktest::StartFen)), NoBookMove);
  EXPECT_EQ(InBook(0, 0, Position("8/8/8/8/8/8/4P3/4K3 w - - 0 1")), NoBookMove) << "no kings";
}

TEST_F(BookTest, InBookChoosesTheLowestValueAndTheFirstOnTies) {
  const ChessBoard start = Position(nelktest::StartFen);
  const int e4 = MoveIndex(start, "e2", "e4"), d4 = MoveIndex(start, "d2", "d4");
  ASSERT_TRUE(e4 >= 0 && d4 >= 0);
  Enter(0, start, "e2", "e4", 40);
  Enter(1, start, "d2", "d4", 25);
  Enter(2, start, "g1", "f3", 60);
  buildbooktree(3);
  EXPECT_EQ(InBook(0, AllCastleRights, start), d4);
  BookValue[0] = 25;
  EXPECT_EQ(InBook(0, AllCastleRights, start), e4 < d4 ? e4 : d4);
}

TEST_F(BookTest, InBookNeverChoosesAMoveThatLeavesTheKingInCheck) {
  // The bishop on e2 is pinned: Bb5 would be the best book move if it were legal.
  const ChessBoard pinned = Position("4r1k1/8/8/8/8/8/4B3/4K3 w - - 0 1");
  Enter(0, pinned, "e2", "b5", -1000);
  Enter(1, pinned, "e1", "f1", 50);
  buildbooktree(2);
  EXPECT_EQ(InBook(0, 0, pinned), MoveIndex(pinned, "e1", "f1"));
}

}  // namespace
