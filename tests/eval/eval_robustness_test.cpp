// Boards no game can reach (no kings, extra pieces, pieces on the first and last ranks) must be
// evaluated without reading outside a table or shifting past the word (the sanitizer build checks),
// and random boards must still add up and stay colour-symmetric.
#include <gtest/gtest.h>
#include <random>
#include "EvalTestBoards.h"

using namespace evaltest;

namespace {

// Every square gets a random man or stays empty; kings may be missing or doubled.
ChessBoard RandomBoard(std::mt19937& random, bool legalRanksForPawns) {
  ChessBoard b;
  std::uniform_int_distribution<int> density(12, 60);
  std::uniform_int_distribution<int> pick(0, density(random));
  for (int square = 0; square < 64; ++square) {
    const int code = pick(random);
    if (code >= 12 || ((code == 0 || code == 6) && legalRanksForPawns && (square < 8 || square >= 56))) continue;
    *nelktest::PieceSetOf(b, "PNBRQKpnbrqk"[code]) |= SquareBit(square);
  }
  Recount(b, static_cast<char>(random() % 64));
  return b;
}

}  // namespace

TEST(EvalRobustness, HandMadeExtremes) {
  InitKeysOnce();
  ChessBoard boards[4];
  boards[0].WhiteRooks = Masks::Rank7 | Masks::Rank8;   // sixteen rooks on the seventh and eighth
  boards[0].BlackPawns = Masks::Rank2;
  boards[1].WhiteQueens = ~SquareSet{0} ^ 1;   // a queen on every square but a1, no Black king at all
  boards[1].WhiteKing = 1;
  boards[2].WhitePawns = Masks::Rank8 | Masks::Rank1;   // pawns where no pawn can stand, no kings
  boards[2].BlackPawns = Masks::Rank2;
  boards[3].WhiteBishops = boards[3].WhiteQueens = boards[3].WhiteKnights = Masks::Rank4;   // three kinds on one square
  boards[3].BlackKing = SquareSet{1} << 63;
  const char flags[4] = {33, 1, 0, 33};
  for (int i = 0; i < 4; i++) {
    Recount(boards[i], flags[i]);
    for (char side = 0; side < 2; ++side) Eval(boards[i], side);
  }
}

TEST(EvalRobustness, RandomBoardsAddUpAndStaySymmetric) {
  InitKeysOnce();
  std::mt19937 random(20240611);
  for (int i = 0; i < 3000 && !::testing::Test::HasFailure(); ++i) {
    // A pawn on its own first rank has no mirror image in the passer record.
    ExpectSumAndMirror(RandomBoard(random, i % 2 == 0), i % 2 == 0, "board " + std::to_string(i));
  }
}
