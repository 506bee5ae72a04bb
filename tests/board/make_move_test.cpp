// Making and unmaking moves: every field, castling, en passant, promotion and the pawn hash code.
#include <gtest/gtest.h>
#include <random>
#include <vector>
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

// Captures reset the fifty-move count and record the victim's value; pawn moves reset the count,
// other moves add one; undo restores every field.
TEST(MakeMove, CapturedValueFiftyMoveCountAndUndo) {
  const struct { const char *victim, *from, *to; int value, fiftyMoves; } cases[] = {
      {"pd5", "f4", "d5", PawnValue, 0}, {"nd5", "f4", "d5", KnightValue, 0}, {"bd5", "f4", "d5", BishopValue, 0},
      {"rd5", "f4", "d5", RookValue, 0}, {"qd5", "f4", "d5", QueenValue, 0},  {"pd5", "f4", "e6", 0, 31},
      {"pd5", "e2", "e4", 0, 0}};
  for (const auto& c : cases) {
    ChessBoard b = Board({"Ke1", "ke8", "Nf4", "Pe2", c.victim});
    b.FiftyMoveCount = 30;
    const ChessBoard before = b;
    Play(b, c.from, c.to);
    EXPECT_EQ(b.CapturedValue, c.value) << c.victim << c.to;
    EXPECT_EQ(b.FiftyMoveCount, c.fiftyMoves) << c.victim << c.to;
    EXPECT_EQ(b.BlackMaterialCount, c.value ? 0 : 1) << c.victim << c.to;
    EXPECT_EQ(b.PawnHashCode, PawnKeys(b));
    b.UndoMove(0);
    EXPECT_EQ(PositionDiff(b, before), "") << c.victim << c.to;
  }
}

TEST(MakeMove, EnPassantOnlyRightAfterTheDoubleStep) {
  for (std::string f : {"d", "f"}) {  // White takes towards both sides, then Black does
    ChessBoard b = Board({"Ke1", "ke8", "Pe5", ("p" + f + "7").c_str(), "pe4", ("P" + f + "2").c_str()});
    Play(b, f + "7", f + "5");
    Play(b, "e5", f + "6");
    Play(b, f + "2", f + "4");
    Play(b, "e4", f + "3");
    EXPECT_EQ(b.WhitePawns | b.BlackPawns, Bit((f + "6").c_str()) | Bit((f + "3").c_str())) << f;
    EXPECT_EQ(b.PawnHashCode, PawnKeys(b)) << f;
    EXPECT_TRUE(b.IsConsistent()) << f;
  }
  // Too late (another move came between), a single step, or a double step on another file: no capture.
  const std::vector<std::pair<const char*, std::vector<std::string>>> noCapture = {
      {"pd7", {"d7", "d5", "e1", "e2", "h7", "h6"}}, {"pd6", {"d6", "d5"}}, {"pd5", {"c7", "c5"}}};
  for (const auto& [pawn, moves] : noCapture) {
    ChessBoard b = Board({"Ke1", "ke8", "Pe5", "ph7", "pc7", pawn});
    for (size_t i = 0; i < moves.size(); i += 2) Play(b, moves[i], moves[i + 1]);
    Play(b, "e5", "d6");
    EXPECT_TRUE(b.BlackPawnCount == 3 && b.BlackPawns & Bit("d5")) << pawn;
  }
}

TEST(MakeMove, CastlingAndCastlingMasks) {
  const struct { const char *from, *to, *rookFrom, *rookTo; int mask; } cases[] = {
      {"e1", "g1", "h1", "f1", 12}, {"e1", "c1", "a1", "d1", 12}, {"e8", "g8", "h8", "f8", 3}, {"e8", "c8", "a8", "d8", 3},
      {"a1", "a5", "a1", "a5", 13}, {"h1", "g1", "h1", "g1", 14}, {"a8", "b8", "a8", "b8", 7},  {"h8", "h7", "h8", "h7", 11},
      {"d4", "d5", "d4", "d5", 15}, {"h2", "h1", "h2", "h1", 15}, {"a1", "a8", "a1", "a8", 13}};
  for (const auto& c : cases) {
    ChessBoard b = Board({"Ke1", "Ra1", "Rh1", "Rd4", "ke8", "ra8", "rh8", "rh2", "Pa2"});
    const std::uint32_t hash = b.PawnHashCode;
    EXPECT_EQ(Play(b, c.from, c.to), c.mask) << c.from << c.to;
    const SquareSet rooks = b.WhiteRooks | b.BlackRooks;
    EXPECT_TRUE((rooks & Bit(c.rookTo)) && !(rooks & Bit(c.rookFrom))) << c.from << c.to;
    const int kingCode = c.from[1] == '1' ? WhiteKingCode : BlackKingCode;
    const bool kingMove = c.from[0] == 'e';
    EXPECT_EQ(b.PawnHashCode, kingMove ? hash ^ Key(kingCode, Sq(c.from)) ^ Key(kingCode, Sq(c.to)) : hash);
    EXPECT_TRUE(b.IsConsistent()) << c.from << c.to;
  }
  // A king stepping to g1 with no rook on h1 must not create one.
  ChessBoard bare = Board({"Ke1", "ke8"});
  Play(bare, "e1", "g1");
  EXPECT_TRUE(bare.IsConsistent());
}

TEST(MakeMove, PromotionToEachPiece) {
  using Field = SquareSet ChessBoard::*;
  const std::pair<char, Field> white[] = {{'Q', &ChessBoard::WhiteQueens}, {'r', &ChessBoard::WhiteRooks},
                                          {'B', &ChessBoard::WhiteBishops}, {'n', &ChessBoard::WhiteKnights}};
  const std::pair<char, Field> black[] = {{'q', &ChessBoard::BlackQueens}, {'R', &ChessBoard::BlackRooks},
                                          {'b', &ChessBoard::BlackBishops}, {'N', &ChessBoard::BlackKnights}};
  for (int colour = 0; colour < 2; colour++) {
    for (const auto& [promotion, set] : colour ? black : white) {
      ChessBoard b = Board({"Ke1", "ke8", "Pb7", "Pc2", "pg2", "Rh1", "pa7"});
      const ChessBoard before = b;
      colour ? Play(b, "g2", "h1", promotion) : Play(b, "b7", "b8", promotion);  // the Black one takes a rook
      EXPECT_EQ(b.*set, before.*set | Bit(colour ? "h1" : "b8")) << promotion;
      EXPECT_EQ(b.WhiteMaterialCount + b.BlackMaterialCount, colour ? 4 : 5) << promotion;
      EXPECT_EQ(b.PawnHashCode, PawnKeys(b)) << promotion;
      EXPECT_TRUE(b.IsConsistent()) << promotion;
      b.UndoMove(0);
      EXPECT_EQ(PositionDiff(b, before), "") << promotion;
    }
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
