// The board record: initial set-up, clearing, counts, consistency and the display.
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include "engine/Status.h"
#include "BoardSetup.h"

namespace {

using board_test::Board;
using board_test::Sq;

const std::string InitialDiagram =
    "   A B C D E F G H\n\n"
    "8  r n b q k b n r  8\n"
    "7  p p p p p p p p  7\n"
    "6  - - - - - - - -  6\n"
    "5  - - - - - - - -  5\n"
    "4  - - - - - - - -  4\n"
    "3  - - - - - - - -  3\n"
    "2  P P P P P P P P  2\n"
    "1  R N B Q K B N R  1\n\n"
    "   A B C D E F G H\n";

std::string Displayed(ChessBoard& b, bool evaluate) {
  const std::uint8_t pev = MainStatus.PEV;
  MainStatus.PEV = evaluate ? 0 : 1;
  testing::internal::CaptureStdout();
  b.DisplayBoard();
  MainStatus.PEV = pev;
  return testing::internal::GetCapturedStdout();
}

TEST(BoardRecord, InitRepAndCounts) {
  ChessBoard b;
  b.FiftyMoveCount = 9;
  b.SideToMove = 1;
  b.LastTo = Sq("e4");
  b.InitRep();
  EXPECT_EQ(b.MaxDepth, 56);
  EXPECT_EQ(b.AllPieces, 0xFFFF00000000FFFFu);
  EXPECT_EQ(b.CastleFlags, 15);
  EXPECT_EQ(b.SideToMove | b.LastTo, 0u);
  EXPECT_EQ(b.FiftyMoveCount, 9);  // not part of the set-up
  EXPECT_EQ(MainStatus.FileH | MainStatus.Rank8, 0xFF80808080808080u);
  b.InitPieceCounts();
  const int counts[10] = {b.WhiteQueenCount, b.WhiteRookCount, b.WhiteBishopCount, b.WhiteKnightCount, b.WhitePawnCount,
                          b.BlackQueenCount, b.BlackRookCount, b.BlackBishopCount, b.BlackKnightCount, b.BlackPawnCount};
  const int expected[10] = {1, 2, 2, 2, 8, 1, 2, 2, 2, 8};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(counts[i], expected[i]) << i;
  EXPECT_EQ(b.QuickPieceCount(0), 14u);
  EXPECT_EQ(b.QuickPieceCount(1), 14u);
  EXPECT_EQ(Displayed(b, false), InitialDiagram);
  const std::string evaluated = Displayed(b, true);
  const std::string line = "\n PosEval from White view ";
  ASSERT_EQ(evaluated.substr(0, InitialDiagram.size() + line.size()), InitialDiagram + line);
  const std::string score = evaluated.substr(InitialDiagram.size() + line.size());
  EXPECT_EQ(score, std::to_string(std::atoi(score.c_str())) + "\n");
}

TEST(BoardRecord, ClearFieldKeepsTheSideToMove) {
  ChessBoard b = board_test::InitialBoard();
  b.SideToMove = 1;
  b.ClearField();
  EXPECT_EQ(b.AllPieces | b.WhitePieces | b.WhitePawns | b.BlackKing, 0u);
  EXPECT_EQ(b.CastleFlags + b.WhiteMaterialCount + b.WhitePawnCount + b.BlackQueenCount, 0);
  EXPECT_EQ(b.SideToMove, 1);
  const std::string shown = Displayed(b, false);
  for (char rank = '1'; rank <= '8'; ++rank)
    EXPECT_NE(shown.find(std::string(1, rank) + "  - - - - - - - -  " + rank), std::string::npos) << rank;
}

TEST(BoardRecord, DisplayPieceReportsInconsistentSquares) {
  ChessBoard b = Board({"Ke1"});
  b.AllPieces |= Sq("a1") | Sq("a2") | Sq("a3");
  b.WhitePieces |= Sq("a1");
  b.BlackPieces |= Sq("a2");
  testing::internal::CaptureStdout();
  for (const char* square : {"e1", "d4", "a1", "a2", "a3"}) b.DisplayPiece(static_cast<unsigned char>(SquareIndex(Sq(square))));
  b.DisplayPiece(200);  // off the board: shown empty
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "K - Major Error: DisplayPiece unknown White Piece\n Major Error: DisplayPiece unknown Black Piece\n "
            "Major Error: DisplayPiece has unknown Color\n - ");
  EXPECT_TRUE(b.PieceColor(Sq("d4")));  // empty counts as "not White"
}

TEST(BoardRecord, ConsistencyChecks) {
  const ChessBoard good = board_test::InitialBoard();
  EXPECT_TRUE(good.IsConsistent());
  EXPECT_FALSE(Board({"Ke1"}).HasOneKingEach());
  EXPECT_FALSE(Board({"Ke1", "Kd1", "ke8"}).HasOneKingEach());
  EXPECT_FALSE(Board({"Ke1", "Kd1", "ke8"}).IsConsistent());
  ChessBoard broken[5] = {good, good, good, good, good};
  broken[0].BlackQueens |= Sq("e2");  // shares e2 with a White pawn
  board_test::Complete(broken[0]);
  broken[1].WhiteKnightCount = 1;
  broken[2].BlackMaterialCount = 14;
  broken[3].AllPieces |= Sq("e4");
  broken[4].BlackPieces ^= Sq("e8");
  for (const ChessBoard& b : broken) EXPECT_FALSE(b.IsConsistent()) << &b - broken;
}

}  // namespace
