#include <gtest/gtest.h>

#include <string>

#include "engine/Status.h"
#include "hash/Zobrist.h"
#include "movegen/MoveGen.h"
#include "tools/Fen.h"
#include "tools/OpeningBook.h"

namespace {

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

class BookTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitKeysOnce();
    MainStatus.xboard = 0;
    MainStatus.Trace = 0;
    for (int i = 0; i < 8; i++) {
      OpeningBook[i] = BookKey{0, 0};
      BookValue[i] = 0;
    }
  }
  void TearDown() override {
    MainStatus.Trace = 0;
    buildbook();
  }

  // Index of a move in the generator's list for the board, -1 when absent.
  static int MoveIndex(ChessBoard board, int from, int to) {
    MoveGen list;
    const int count = list.GenerateAllMoves(board.SideToMove, &board, board.CastleFlags);
    for (int i = 0; i < count; i++) {
      if (list.FromSquares[i] == SquareBit(from) && list.ToSquares[i] == SquareBit(to)) return i;
    }
    return -1;
  }

  // The hash code pair of the position after the move, the way the book identifies positions.
  static BookKey KeyAfter(ChessBoard board, int from, int to) {
    char mask = 0;
    board.MakeMove(SquareBit(from), SquareBit(to), NoPromotion, &mask);
    BookKey key{};
    genhashcode(static_cast<char>(board.SideToMove ^ 1), board.CastleFlags & mask, &key.First, &key.Second, board);
    return key;
  }

  static ChessBoard Position(const char* fen) {
    SetupBoard(fen);
    return MainBoard;
  }
};

constexpr int E2 = 12, E4 = 28, D2 = 11, D4 = 27, G1 = 6, F3 = 21;

TEST_F(BookTest, TreeFindsExactPairsOnly) {
  OpeningBook[1] = {5, 1};
  OpeningBook[2] = {3, 9};
  buildbooktree(3);
  EXPECT_EQ(BookTreeSearch(BookTreeRoot(), 3, 9), 2);
  EXPECT_EQ(BookTreeSearch(BookTreeRoot(), 3, 8), NotInBook);
  EXPECT_EQ(BookTreeSearch(BookTreeRoot(), 5, 1), 1);
  EXPECT_EQ(BookTreeSearch(BookTreeRoot(), 0, 0), 0);
  EXPECT_EQ(BookTreeSearch(nullptr, 3, 9), NotInBook);
}

TEST_F(BookTest, KeysSharingOneCodeAreAllFound) {
  // A shared first code, and a second code equal to that of a node on the path.
  OpeningBook[0] = {10, 10};
  OpeningBook[1] = {3, 9};
  OpeningBook[2] = {3, 4};
  OpeningBook[3] = {20, 10};
  OpeningBook[4] = {3, 9};   // duplicate of entry 1: gets no node, entry 1 answers
  buildbooktree(5);
  EXPECT_EQ(BookTreeSearch(BookTreeRoot(), 3, 9), 1);
  EXPECT_EQ(BookTreeSearch(BookTreeRoot(), 3, 4), 2);
  EXPECT_EQ(BookTreeSearch(BookTreeRoot(), 20, 10), 3);
}

TEST_F(BookTest, EmptyBookAnswersNothingAndRebuildsReuseTheTree) {
  buildbook();
  EXPECT_EQ(booksize, 0);
  EXPECT_EQ(BookTreeRoot(), nullptr);
  EXPECT_EQ(BookTreeSearch(BookTreeRoot(), 0, 0), NotInBook);   // the unused entry 0 is not a position
  buildbooktree(2);
  treenode* first = BookTreeRoot();
  buildbooktree(2);
  EXPECT_EQ(BookTreeRoot(), first);
  buildbooktree(-5);
  EXPECT_EQ(BookTreeRoot(), nullptr);
}

TEST_F(BookTest, InBookOnTheEmptyBookTracesEveryMove) {
  buildbook();
  MainStatus.Trace = 1;
  const ChessBoard start = Position(StartFen);
  testing::internal::CaptureStdout();
  const int result = InBook(0, AllCastleRights, start);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, NoBookMove);
  EXPECT_EQ(out.rfind("Look through the Opening Book\n", 0), 0u);
  EXPECT_NE(out.find("  { e2e4   Not in Book: 0 e2e4 }\n"), std::string::npos) << out;
  int lines = 0, misses = 0;
  for (std::size_t p = out.find("  {"); p != std::string::npos; p = out.find("  {", p + 1)) lines++;
  for (std::size_t p = out.find("Not in Book: 0"); p != std::string::npos; p = out.find("Not in Book: 0", p + 1))
    misses++;
  EXPECT_EQ(lines, 20);
  EXPECT_EQ(misses, 20);
}

TEST_F(BookTest, InBookChoosesTheLowestValueAndTheFirstOnTies) {
  const ChessBoard start = Position(StartFen);
  const int e4 = MoveIndex(start, E2, E4), d4 = MoveIndex(start, D2, D4), nf3 = MoveIndex(start, G1, F3);
  ASSERT_GE(e4, 0);
  ASSERT_GE(d4, 0);
  ASSERT_GE(nf3, 0);
  OpeningBook[0] = KeyAfter(start, E2, E4);
  OpeningBook[1] = KeyAfter(start, D2, D4);
  OpeningBook[2] = KeyAfter(start, G1, F3);
  BookValue[0] = 40;
  BookValue[1] = 25;
  BookValue[2] = 60;
  buildbooktree(3);
  MainStatus.xboard = 1;   // keeps the console line out
  EXPECT_EQ(InBook(0, AllCastleRights, start), d4);
  BookValue[0] = 25;
  EXPECT_EQ(InBook(0, AllCastleRights, start), e4 < d4 ? e4 : d4);
  MainStatus.Trace = 1;
  testing::internal::CaptureStdout();
  InBook(0, AllCastleRights, start);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("  { g1f3   60 g1f3 }\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("Look through"), std::string::npos);
}

TEST_F(BookTest, InBookNeverChoosesAMoveThatLeavesTheKingInCheck) {
  // The bishop on e2 is pinned: Bb5 would be the best book move if it were legal.
  const ChessBoard pinned = Position("4r1k1/8/8/8/8/8/4B3/4K3 w - - 0 1");
  constexpr int BishopE2 = 12, B5 = 33, KingE1 = 4, F1 = 5;
  OpeningBook[0] = KeyAfter(pinned, BishopE2, B5);
  OpeningBook[1] = KeyAfter(pinned, KingE1, F1);
  BookValue[0] = -1000;
  BookValue[1] = 50;
  buildbooktree(2);
  MainStatus.xboard = 1;
  EXPECT_EQ(InBook(0, 0, pinned), MoveIndex(pinned, KingE1, F1));
}

TEST_F(BookTest, InBookRefusesAPositionWithoutBothKings) {
  buildbook();
  MainStatus.xboard = 1;
  EXPECT_EQ(InBook(0, 0, Position("8/8/8/8/8/8/4P3/4K3 w - - 0 1")), NoBookMove);
}

}  // namespace
