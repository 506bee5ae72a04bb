// Pseudo-legal generation: pawn specials, castling conditions and list handling (the legal moves
// themselves: the perft suite).
#include <gtest/gtest.h>

#include "movegen/MoveListText.h"

namespace {

Moves MovesOnMainBoard() {
  MoveGen list;
  const int count = list.GenerateAllMoves(MainBoard.SideToMove, &MainBoard, MainBoard.CastleFlags);
  EXPECT_EQ(count, list.MoveCount);
  return MoveTexts(list, count);
}

Moves AllMoves(const char* fen) {
  LoadPosition(fen);
  return MovesOnMainBoard();
}

Moves Last(const Moves& moves, int n) { return Moves(moves.end() - n, moves.end()); }

// Promotion is to a queen only, for pushes and captures.
TEST(GenerateAllMoves, PromotionsAreToAQueen) {
  EXPECT_EQ(Last(AllMoves("1r2k3/P7/8/8/8/8/8/4K3 w - -"), 2), (Moves{"a7a8Q", "a7b8Q"}));
  EXPECT_EQ(Last(AllMoves("4k3/8/8/8/8/8/p7/1R2K3 b - -"), 2), (Moves{"a2a1q", "a2b1q"}));
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

TEST(GenCastle, NeedsTheRightTheRookAndTheKingAtHome) {
  MoveGen list;
  list.Board = &LoadPosition("4k3/8/8/8/8/8/8/R3K2R w - -");
  EXPECT_EQ(list.GenCastle(0, 5, 0), 5);
  ASSERT_EQ(list.GenCastle(0, 5, WhiteCastleKing | WhiteCastleQueen), 7);
  EXPECT_EQ(MoveText(list, 5) + MoveText(list, 6), "e1g1e1c1");
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
