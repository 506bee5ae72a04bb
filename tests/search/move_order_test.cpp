// Ordering values of AssignMoveOrderValues and the selection of NextMove.
#include "movegen/MoveGen.h"
#include "movegen/MoveOrderTables.h"
#include "search/SearchTestSupport.h"

using namespace searchtest;

namespace {

constexpr int Ply = 5;
const char StartFen[] = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

int Square(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }
int Code(const char* move) { return Square(move) * 64 + Square(move + 2); }

// Moves of MainBoard's side to move ordered at ply Ply, with nothing in the search's tables for
// that ply unless a test puts it there first.
class OrderTest : public ::testing::Test {
protected:
  ChessBoard board;
  MoveGen list;
  int count = 0;

  void Load(const std::string& fen) {
    SetPosition(fen);
    board = MainBoard;
    list.Board = &board;
    Search.PrincipalVariation[Ply][Ply] = PVEntry{0, 0};
    Search.Killers[Ply] = KillerPair{0, 0};
  }
  void Order(int hashMove = 0, char mode = 1) {
    const char side = board.SideToMove;
    count = list.GenerateAllMoves(side, &board, board.CastleFlags);
    list.AssignMoveOrderValues(count, Ply, side ? board.WhiteKing : board.BlackKing, hashMove, mode);
  }
  int ValueOf(const char* move) const {
    for (int i = 0; i < count; i++)
      if (SquareIndex(list.FromSquares[i]) * 64 + SquareIndex(list.ToSquares[i]) == Code(move)) return list.OrderValues[i];
    ADD_FAILURE() << "move " << move << " not generated";
    return 0;
  }
  // Writes moves into the list by hand, with the given values.
  void Put(std::initializer_list<std::pair<const char*, int>> moves) {
    count = 0;
    for (const auto& [move, value] : moves) {
      list.FromSquares[count] = SquareBit(Square(move));
      list.ToSquares[count] = SquareBit(Square(move + 2));
      list.Promotions[count] = NoPromotion;
      list.OrderValues[count++] = value;
    }
  }
};

// One case of each rule; the bench signature pins the whole ordering.
TEST_F(OrderTest, ValuesOfCapturesAndOtherMovesWithEmptyTables) {
  const struct { const char* fen; const char* move; int value; } cases[] = {
      {"4k3/2p5/8/3q4/4P3/2b5/8/B2QK3 w - - 0 1", "a1c3", 9750 + 3250 - 12},   // victim and capturer
      // A passed pawn capture gains Passers[4] - Passers[3] = 270 - 160.
      {"4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", "e4d5", 9750 + 3248 + 110 - 3},
      // A rook capture on an open file onto Black's second rank.
      {"6k1/3n4/8/8/8/8/8/3RK3 w - - 0 1", "d1d7", 9750 + 3248 + MoveOrder::OpenFileControl[3] + 350 - 19},
      {"4k3/8/8/8/8/8/7R/K7 w - - 0 1", "h2h8", 28},   // a heavy piece onto the enemy king's rank
      {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1", "e1c1", 0},   // castling values are overwritten
      {"8/P7/8/8/8/8/8/k6K w - - 0 1", "a7a8", 500}};   // the generator's "Q" is no piece code
  for (const auto& c : cases) {
    Load(c.fen);
    Order();
    EXPECT_EQ(ValueOf(c.move), c.value) << c.fen << " " << c.move;
  }
}

// The variation move outranks the same hash move (mode 3 skips the variation test); killers and
// history order the quiet moves.
TEST_F(OrderTest, TablesOfTheSearch) {
  Load(StartFen);
  Search.PrincipalVariation[Ply][Ply] = PVEntry{static_cast<std::uint16_t>(Code("g1f3")), NoPromotion};
  Order(Code("b1c3"));
  EXPECT_TRUE(ValueOf("g1f3") == 28998 && ValueOf("b1c3") == 29000);
  Order(Code("g1f3"), 3);
  EXPECT_EQ(ValueOf("g1f3"), 29000);
  Load(StartFen);
  Search.Killers[Ply] = KillerPair{static_cast<std::uint16_t>(Code("e2e4")), static_cast<std::uint16_t>(Code("d2d4"))};
  Search.History[0][Code("c2c4")] = 5 << 7;
  Order();
  EXPECT_TRUE(ValueOf("e2e4") == 1020 && ValueOf("d2d4") == 1010 && ValueOf("c2c4") == 5 && ValueOf("a2a3") == 0);
  // The same move twice in a list: only the first is the hash move, the second the killer.
  Load(StartFen);
  Search.Killers[Ply].First = static_cast<std::uint16_t>(Code("e2e4"));
  Put({{"e2e4", 0}, {"e2e4", 0}});
  list.AssignMoveOrderValues(2, Ply, board.BlackKing, Code("e2e4"), 1);
  EXPECT_EQ(list.OrderValues[0], 29000);
  EXPECT_EQ(list.OrderValues[1], 1020);
}

TEST_F(OrderTest, NextMoveTakesTheBestAndKeepsListOrderOnTies) {
  Load(StartFen);
  Put({{"a2a3", 5}, {"b2b3", 7}, {"c2c3", 7}, {"h2h4", -5}});
  std::string taken;
  SquareSet from = 0, to = 0;
  char promotion = 0;
  for (int i = 0; i < 4; i++) {
    list.NextMove(i, i < 3 ? 4 : 3, &from, &to, &promotion);   // the last call is given the end of the list
    taken += MoveName(from, to) + " ";
  }
  EXPECT_EQ(taken, "b2b3 c2c3 a2a3 h2h4 ");
  list.NextMove(MaxMovesInList, MaxMovesInList, &from, &to, &promotion);   // outside the list: no move
  EXPECT_EQ(from, 0u);
}

}  // namespace
