// The selection of NextMove (the bench signature pins the ordering values themselves).
#include "movegen/MoveGen.h"
#include "search/SearchTestSupport.h"

using namespace searchtest;

namespace {

int Square(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

TEST(MoveOrder, NextMoveTakesTheBestAndKeepsListOrderOnTies) {
  MoveGen list;
  const std::pair<const char*, int> moves[] = {{"a2a3", 5}, {"b2b3", 7}, {"c2c3", 7}, {"h2h4", -5}};
  for (int i = 0; i < 4; i++) {
    list.FromSquares[i] = SquareBit(Square(moves[i].first));
    list.ToSquares[i] = SquareBit(Square(moves[i].first + 2));
    list.Promotions[i] = NoPromotion;
    list.OrderValues[i] = moves[i].second;
  }
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
