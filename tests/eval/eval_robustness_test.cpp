// Boards no game can reach (no kings, extra pieces, pieces on the first and last ranks) must be
// evaluated without reading outside a table or shifting past the word; run under the sanitizers.
#include <gtest/gtest.h>
#include <random>
#include "EvalTestBoards.h"

using namespace evaltest;

namespace {

SquareSet* PieceSet(ChessBoard& b, int code) {
  SquareSet* sets[12] = {&b.WhitePawns, &b.WhiteKnights, &b.WhiteBishops, &b.WhiteRooks, &b.WhiteQueens, &b.WhiteKing,
                         &b.BlackPawns, &b.BlackKnights, &b.BlackBishops, &b.BlackRooks, &b.BlackQueens, &b.BlackKing};
  return sets[code];
}

// Counts and occupancy from the piece sets, mating flags set directly (the draw test expects kings).
void Complete(ChessBoard& b, char drawFlag) {
  b.WhitePieces = b.WhitePawns | b.WhiteKnights | b.WhiteBishops | b.WhiteRooks | b.WhiteQueens | b.WhiteKing;
  b.BlackPieces = b.BlackPawns | b.BlackKnights | b.BlackBishops | b.BlackRooks | b.BlackQueens | b.BlackKing;
  b.AllPieces = b.WhitePieces | b.BlackPieces;
  b.InitPieceCounts();
  b.DrawFlag = drawFlag;
  genpawnhashcode(0, b, &b.PawnHashCode);
}

// Random boards: every square gets a random man or stays empty; kings may be missing or doubled.
ChessBoard RandomBoard(std::mt19937& random, bool legalRanksForPawns) {
  ChessBoard b;
  std::uniform_int_distribution<int> density(12, 60);
  std::uniform_int_distribution<int> pick(0, density(random));
  for (int square = 0; square < 64; ++square) {
    const int code = pick(random);
    if (code >= 12) continue;
    const bool pawn = code == 0 || code == 6;
    if (pawn && legalRanksForPawns && (square < 8 || square >= 56)) continue;
    *PieceSet(b, code) |= SquareBit(square);
  }
  Complete(b, static_cast<char>(random() % 64));
  return b;
}

}  // namespace

TEST(EvalRobustness, HandMadeExtremes) {
  InitKeysOnce();
  ChessBoard b;
  b.WhiteRooks = Masks::Rank7 | Masks::Rank8;   // sixteen rooks on the seventh and eighth
  b.BlackPawns = Masks::Rank2;
  Complete(b, 33);
  for (char side = 0; side < 2; ++side) Eval(b, side);
  b = ChessBoard{};
  b.WhiteQueens = ~SquareSet{0} ^ 1;   // a queen on every square but a1, no Black king at all
  b.WhiteKing = 1;
  Complete(b, 1);
  for (char side = 0; side < 2; ++side) Eval(b, side);
  b = ChessBoard{};
  b.WhitePawns = Masks::Rank8 | Masks::Rank1;   // pawns where no pawn can stand, no kings
  b.BlackPawns = Masks::Rank1 >> 0 << 8;
  Complete(b, 0);
  for (char side = 0; side < 2; ++side) Eval(b, side);
  b = ChessBoard{};
  b.WhiteBishops = b.WhiteQueens = b.WhiteKnights = Masks::Rank4;   // three kinds on one square
  b.BlackKing = SquareSet{1} << 63;
  Complete(b, 33);
  for (char side = 0; side < 2; ++side) Eval(b, side);
  SUCCEED();
}

TEST(EvalRobustness, RandomBoardsAddUpAndStaySymmetric) {
  InitKeysOnce();
  std::mt19937 random(20240611);
  for (int i = 0; i < 3000; ++i) {
    ChessBoard b = RandomBoard(random, i % 2 == 0);
    for (char side = 0; side < 2; ++side) {
      EvalTrace trace;
      const int white = PE.TraceEval(&b, side, &trace);
      ASSERT_EQ(trace.Total(), white) << "board " << i;
      ASSERT_EQ(side ? -Eval(b, side) : Eval(b, side), white) << "board " << i;
    }
    if (i % 2) continue;   // a pawn on its own first rank has no mirror image in the passer record
    ChessBoard m = MirrorPieces(b);
    Complete(m, 0);
    m.DrawFlag = static_cast<char>(((b.DrawFlag & 1) << 5) | ((b.DrawFlag & 32) >> 5));
    for (char side = 0; side < 2; ++side) ASSERT_EQ(Eval(b, side), Eval(m, static_cast<char>(side ^ 1))) << "board " << i;
  }
}
