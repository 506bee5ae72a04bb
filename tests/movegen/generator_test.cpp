// Pseudo-legal generation: move order, pawn specials, castling conditions and list handling.
#include <gtest/gtest.h>

#include "movegen/MoveListText.h"

namespace {

Moves MovesOnMainBoard(MoveGen& list) {
  const int count = list.GenerateAllMoves(MainBoard.SideToMove, &MainBoard, MainBoard.CastleFlags);
  EXPECT_EQ(count, list.MoveCount);
  return MoveTexts(list, count);
}

Moves MovesOnMainBoard() {
  MoveGen list;
  return MovesOnMainBoard(list);
}

Moves AllMoves(const char* fen) {
  LoadPosition(fen);
  return MovesOnMainBoard();
}

Moves Last(const Moves& moves, int n) { return Moves(moves.end() - n, moves.end()); }

TEST(GenerateAllMoves, OrderOfTheList) {
  // Knights first, then each pawn, the double step before the single.
  EXPECT_EQ(AllMoves("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"),
            (Moves{"b1a3", "b1c3", "g1f3", "g1h3", "a2a4", "a2a3", "b2b4", "b2b3", "c2c4", "c2c3",
                   "d2d4", "d2d3", "e2e4", "e2e3", "f2f4", "f2f3", "g2g4", "g2g3", "h2h4", "h2h3"}));
  // Piece captures, then quiet piece moves, castling, the king, and the pawns last.
  EXPECT_EQ(AllMoves("4k3/8/8/8/1p6/8/N3P3/R3K3 w Q -"),
            (Moves{"a2b4", "a2c1", "a2c3", "a1b1", "a1c1", "a1d1", "e1c1", "e1d1", "e1f1", "e1d2", "e1f2",
                   "e2e4", "e2e3"}));
  // Promotion is to a queen only, for pushes and captures.
  EXPECT_EQ(Last(AllMoves("1r2k3/P7/8/8/8/8/8/4K3 w - -"), 2), (Moves{"a7a8Q", "a7b8Q"}));
  EXPECT_EQ(Last(AllMoves("4k3/8/8/8/8/8/p7/1R2K3 b - -"), 2), (Moves{"a2a1q", "a2b1q"}));
  // Pawn captures on their own go towards file h first, without a promotion mark.
  MoveGen list;
  list.Board = &LoadPosition("nrn1k3/1P6/8/8/8/8/8/4K3 w - -");
  EXPECT_EQ(MoveTexts(list, list.GenPawnCaptures(0, 0)), (Moves{"b7c8", "b7a8"}));
}

// The rest of the en-passant and castling rules is counted by the perft suite.
TEST(GenPawns, EnPassantCapturesOnBothSidesButNotAcrossTheEdge) {
  LoadPosition("4k3/p7/8/8/7P/8/8/4K3 b - -");
  Play("a7", "a5");   // a double step on file a must not wrap round to file h of the rank below
  EXPECT_FALSE(Contains(MovesOnMainBoard(), "h4a6"));
  LoadPosition("4k3/8/8/8/2p1p3/8/3P4/4K3 w - -");
  Play("d2", "d4");
  const Moves black = MovesOnMainBoard();
  EXPECT_TRUE(Contains(black, "c4d3") && Contains(black, "e4d3"));
}

TEST(GenCastle, NeedsTheRightTheRookAndTheKingAtHomeAndScoresItsMoves) {
  MoveGen list;
  list.Board = &LoadPosition("4k3/8/8/8/8/8/8/R3K2R w - -");
  EXPECT_EQ(list.GenCastle(0, 5, 0), 5);
  ASSERT_EQ(list.GenCastle(0, 5, WhiteCastleKing | WhiteCastleQueen), 7);
  EXPECT_EQ(MoveText(list, 5) + MoveText(list, 6), "e1g1e1c1");
  EXPECT_EQ(list.OrderValues[5] + list.OrderValues[6], 1600);
  MainBoard.WhiteRooks ^= Bit("h1");
  EXPECT_EQ(list.GenCastle(0, 0, AllCastleRights), 1) << "rook h1 missing";
  // Rights kept although the king has left home must not make a move from an empty square.
  LoadPosition("4k3/8/8/8/8/8/8/R2K3R w - -");
  EXPECT_EQ(list.GenCastle(0, 0, AllCastleRights), 0);
}

TEST(MoveGen, CapturesAndQuiescenceListsLeaveTheRestAlone) {
  ChessBoard& b = LoadPosition("4k3/8/8/3pn3/2P5/8/1Q4P1/4K3 w - -");
  MoveGen list;
  list.FromSquares[20] = Bit("h8");
  list.ToSquares[20] = Bit("a1");
  list.Promotions[20] = 'x';
  EXPECT_EQ(MoveTexts(list, list.GenCaptures(0, &b)), (Moves{"b2e5"}));
  EXPECT_EQ(list.MoveCount, 1);
  list.MoveCount = -1;
  EXPECT_EQ(MoveTexts(list, list.GenerateQuiesceMoves(0, &b)), (Moves{"b2e5", "g2g4", "g2g3", "c4c5", "c4d5"}));
  EXPECT_EQ(list.MoveCount, -1) << "the quiescence list does not record its length";
  EXPECT_EQ(MoveText(list, 20), "h8a1x");
}

TEST(MoveGen, KingCountIsReportedAndExtraKingsStillMove) {
  MoveGen list;
  list.Board = &LoadPosition("4k3/8/8/8/8/8/8/4K3 w - -");
  MainBoard.WhiteKing = 0;
  testing::internal::CaptureStdout();
  EXPECT_EQ(list.GenKings(0, 3), 3);
  MainBoard.WhiteKing = Bit("a1") | Bit("h1") | Bit("h8");
  EXPECT_EQ(list.GenKings(0, 0), 3 + 3 + 3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Major Error: There is No king of a given color\n"
            "Major Error: There is more than one king of a given color\n"
            "Major Error: There is more than one king of a given color\n");
}

// No placement of pieces comes near 400 pseudo-legal moves (queens on every border square give
// fewer than 300), but a generator continuing a nearly full list must still stop at its end.
TEST(MoveGen, NearlyFullListIsNeverOverrun) {
  MoveGen list;
  list.Board = &LoadPosition("8/8/8/8/3Q4/8/K6k/8 w - -");
  EXPECT_EQ(list.GenQueens(0, MaxMovesInList - 27), MaxMovesInList);
  EXPECT_EQ(list.GenQueens(0, MaxMovesInList - 26), MaxMovesInList - 26);
  EXPECT_EQ(list.GenKings(0, MaxMovesInList), MaxMovesInList);
  EXPECT_EQ(list.GenPawns(0, MaxMovesInList), MaxMovesInList);
  EXPECT_EQ(list.GenCastle(0, MaxMovesInList, AllCastleRights), MaxMovesInList);
  EXPECT_EQ(list.GenKingEvasions(0, 0, MaxMovesInList), MaxMovesInList);
}

}  // namespace
