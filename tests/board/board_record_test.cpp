// The board record: initial set-up, counts, consistency and the display.
#include <gtest/gtest.h>
#include <string>
#include "BoardSetup.h"
#include "board/Checks.h"
#include "engine/Status.h"

namespace {

using board_test::Bit;
using board_test::Board;

std::string Displayed(ChessBoard& b, bool evaluate) {
  const std::uint8_t pev = MainStatus.PEV;
  MainStatus.PEV = evaluate ? 0 : 1;
  testing::internal::CaptureStdout();
  b.DisplayBoard();
  MainStatus.PEV = pev;
  return testing::internal::GetCapturedStdout();
}

TEST(BoardRecord, InitRepCountsAndDisplay) {
  ChessBoard b;
  b.FiftyMoveCount = 9;
  b.SideToMove = 1;
  b.LastTo = Bit("e4");
  b.InitRep();
  EXPECT_EQ(b.AllPieces, 0xFFFF00000000FFFFu);
  EXPECT_EQ(b.CastleFlags, 15);
  EXPECT_EQ(b.SideToMove | b.LastTo, 0u);
  EXPECT_EQ(b.FiftyMoveCount, 9);  // not part of the set-up
  b.InitPieceCounts();
  EXPECT_EQ(b.WhitePawnCount + b.BlackKnightCount + b.WhiteQueenCount, 8 + 2 + 1);
  EXPECT_EQ(b.QuickPieceCount(0) + b.QuickPieceCount(1), 28u);
  const std::string diagram =
      "   A B C D E F G H\n\n8  r n b q k b n r  8\n7  p p p p p p p p  7\n6  - - - - - - - -  6\n"
      "5  - - - - - - - -  5\n4  - - - - - - - -  4\n3  - - - - - - - -  3\n2  P P P P P P P P  2\n"
      "1  R N B Q K B N R  1\n\n   A B C D E F G H\n";
  EXPECT_EQ(Displayed(b, false), diagram);
  EXPECT_EQ(Displayed(b, true).rfind(diagram + "\n PosEval from White view ", 0), 0u);
}

TEST(BoardRecord, ConsistencyChecks) {
  const ChessBoard good = board_test::InitialBoard();
  EXPECT_TRUE(good.IsConsistent());
  EXPECT_FALSE(Board({"Ke1"}).HasOneKingEach());
  EXPECT_FALSE(Board({"Ke1", "Kd1", "ke8"}).IsConsistent());
  ChessBoard broken[5] = {good, good, good, good, good};
  broken[0].BlackQueens |= Bit("e2");  // shares e2 with a White pawn
  board_test::Complete(broken[0]);
  broken[1].WhiteKnightCount = 1;
  broken[2].BlackMaterialCount = 14;
  broken[3].AllPieces |= Bit("e4");
  broken[4].BlackPieces ^= Bit("e8");
  for (const ChessBoard& b : broken) EXPECT_FALSE(b.IsConsistent()) << &b - broken;
  // A recount mends counts, material and occupancy sets and the pawn hash code, not a shared square.
  for (ChessBoard& b : broken) {
    b.PawnHashCode = 0;
    b.Recount();
    EXPECT_EQ(b.IsConsistent(), &b != broken) << &b - broken;
    EXPECT_EQ(b.PawnHashCode, board_test::PawnKeys(b)) << &b - broken;
  }
}

#ifdef NELK_CHECKS
// The checked build stops at a move that breaks a counted record, at an undo store that does not
// match the position, and at a table index off the board.
TEST(BoardRecord, CheckedBuildStopsOnBrokenRecords) {
  char mask = 0;
  ChessBoard queenOntoKing = board_test::InitialBoard();
  EXPECT_DEATH(queenOntoKing.MakeMove(Bit("d1"), Bit("e1"), NoPromotion, &mask), "check failed");
  ChessBoard badStore = board_test::InitialBoard();
  badStore.MakeMove(Bit("e2"), Bit("e4"), NoPromotion, &mask);
  badStore.SaveWhitePawns |= Bit("e5");
  EXPECT_DEATH(badStore.UndoMove(0), "check failed");
  EXPECT_DEATH(TableAt(AttackTables::Knight, SquareCount), "check failed");
}
#endif

}  // namespace
