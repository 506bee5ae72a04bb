// Making and unmaking moves: random games with random promotion letters, checked against the
// pawn hash code from scratch. Castling and en passant: counted by the perft suite.
#include <gtest/gtest.h>
#include <random>
#include "BoardSetup.h"

namespace {

using board_test::Bit;
using board_test::Board;
using board_test::Key;
using board_test::PawnKeys;
using board_test::PositionDiff;
using nelktest::Sq;

int Play(ChessBoard& b, const std::string& from, const std::string& to, char promotion = NoPromotion) {
  char mask = 0;
  b.MakeMove(Bit(from.c_str()), Bit(to.c_str()), promotion, &mask);
  return mask;
}

TEST(MakeMove, PromotionsAndCastlingWithoutARook) {
  // A king stepping to g1 with no rook on h1 must not create one.
  ChessBoard bare = Board({"Ke1", "ke8"});
  Play(bare, "e1", "g1");
  EXPECT_TRUE(bare.IsConsistent());
  // Either case of the letter names the piece; a Black pawn may promote by taking.
  using Field = SquareSet ChessBoard::*;
  const std::pair<char, Field> promotions[] = {{'Q', &ChessBoard::WhiteQueens}, {'r', &ChessBoard::WhiteRooks},
      {'B', &ChessBoard::WhiteBishops}, {'n', &ChessBoard::WhiteKnights}, {'R', &ChessBoard::BlackRooks}};
  for (const auto& [letter, set] : promotions) {
    ChessBoard p = Board({"Ke1", "ke8", "Pb7", "pg2", "Rh1"});
    const SquareSet before = p.*set, to = Bit(set == &ChessBoard::BlackRooks ? "h1" : "b8");
    set == &ChessBoard::BlackRooks ? Play(p, "g2", "h1", letter) : Play(p, "b7", "b8", letter);
    EXPECT_EQ(p.*set, before | to) << letter;
    EXPECT_TRUE(p.IsConsistent() && p.PawnHashCode == PawnKeys(p)) << letter;
  }
  // Without a valid promotion piece the pawn stays a pawn with its key; later moves leave it alone.
  ChessBoard b = Board({"Ke1", "ke8", "Pa7"});
  Play(b, "a7", "a8");
  Play(b, "e1", "d2", 'Q');
  EXPECT_EQ(b.WhitePawns, Bit("a8"));
  EXPECT_EQ(b.PawnHashCode ^ Key(WhiteKingCode, Sq("e1")) ^ Key(WhiteKingCode, Sq("d2")), Key(WhitePawnCode, Sq("a8")));
}

// Random moves from the initial position, each with a promotion letter that only a pawn reaching
// the last rank may use: every make keeps the record consistent and the pawn hash exact (pawn keys
// plus the king keys of a king move), every undo restores the position.
TEST(MakeMove, RandomMovesKeepTheRecordConsistent) {
  std::mt19937_64 rng(42);
  auto pick = [&rng](SquareSet s) {
    for (int k = static_cast<int>(rng() % PopCount(s)); k > 0; --k) s &= s - 1;
    return s & (0 - s);
  };
  for (int game = 0; game < 3000; ++game) {
    ChessBoard b = board_test::InitialBoard();
    for (int ply = 0; ply < 30; ++ply) {
      const int side = ply & 1;
      const SquareSet own = side ? b.BlackPieces : b.WhitePieces, kings = b.WhiteKing | b.BlackKing;
      const SquareSet from = pick(own);
      SquareSet targets = b.KnightMask(from);
      if ((b.WhiteBishops | b.BlackBishops | b.WhiteQueens | b.BlackQueens) & from) targets = b.BishopMask(from);
      if ((b.WhiteRooks | b.BlackRooks | b.WhiteQueens | b.BlackQueens) & from) targets |= b.RookMask(from);
      if (kings & from) targets = b.KingMask(from);
      if ((b.WhitePawns | b.BlackPawns) & from) {  // a step ahead or a capture beside that square
        const SquareSet ahead = side ? from >> 8 : from << 8;
        const SquareSet aheadRank = Masks::Rank1 << (SquareIndex(ahead) & 56);
        targets = (ahead & ~b.AllPieces) | (b.KingMask(ahead) & aheadRank & (side ? b.WhitePieces : b.BlackPieces));
      }
      targets &= ~own & ~kings;
      if (!targets) continue;
      const SquareSet to = pick(targets);
      const ChessBoard before = b;
      char mask;
      b.MakeMove(from, to, "QRBNqn"[rng() % 6], &mask);
      ASSERT_TRUE(b.IsConsistent()) << game << " " << ply;
      std::uint32_t expected = before.PawnHashCode ^ PawnKeys(before) ^ PawnKeys(b);
      const int kingCode = side ? BlackKingCode : WhiteKingCode;
      if (kings & from) expected ^= Key(kingCode, SquareIndex(from)) ^ Key(kingCode, SquareIndex(to));
      ASSERT_EQ(b.PawnHashCode, expected);
      const ChessBoard after = b;
      b.UndoMove(0);
      ASSERT_EQ(PositionDiff(b, before), "");
      b = after;
    }
  }
}

}  // namespace
