// The capture-search mode's continuation history: keys that tell moves apart, counters that stay
// within their bounds, and a table that only the mode writes.
#include <cstdlib>
#include <set>
#include "search/SearchTestSupport.h"

using namespace searchtest;

namespace {

constexpr int Gravity = SelectiveMargins::HistoryGravity;
const std::string Start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

bool RowIsZero(const ContinuationHistory& table, int before) {
  for (int key = 0; key < ContinuationHistory::Keys; key++)
    if (table.Score(before, key) != 0) return false;
  return true;
}

long long WrittenCounters(const ContinuationHistory& table) {
  long long written = 0;
  for (int before = 0; before < ContinuationHistory::Keys; before++)
    for (int key = 0; key < ContinuationHistory::Keys; key++) written += table.Score(before, key) != 0;
  return written;
}

TEST(ContinuationHistory, KeysTellSidePieceAndTargetApart) {
  SetPosition(Start);
  const ChessBoard& b = MainBoard;
  const SquareSet g1 = SquareBit(6), f1 = SquareBit(5), g8 = SquareBit(62), e1 = SquareBit(4);
  std::set<int> keys;
  for (const int key : {ContinuationHistory::KeyOf(b, 0, g1, 21), ContinuationHistory::KeyOf(b, 0, g1, 23),
                        ContinuationHistory::KeyOf(b, 0, f1, 21), ContinuationHistory::KeyOf(b, 1, g8, 21),
                        ContinuationHistory::KeyOf(b, 0, e1, 21)}) {
    EXPECT_GE(key, 0);
    EXPECT_LT(key, ContinuationHistory::Keys);
    keys.insert(key);
  }
  EXPECT_EQ(keys.size(), 5u) << "knight, bishop and king to the same square, either side, are different moves";
}

TEST(ContinuationHistory, CountersStayWithinTheGravityBound) {
  static ContinuationHistory table;
  const int bonus = SelectiveMargins::HistoryBonusCap;
  for (int i = 0; i < 1000; i++) table.Pull(7, 9, bonus, Gravity);
  EXPECT_GT(table.Score(7, 9), Gravity / 2);
  EXPECT_LE(table.Score(7, 9), Gravity);
  for (int i = 0; i < 1000; i++) table.Pull(7, 9, -bonus, Gravity);
  EXPECT_LT(table.Score(7, 9), -Gravity / 2);
  EXPECT_GE(table.Score(7, 9), -Gravity);
  // Before a null move or the root there is no move to continue: nothing is written.
  table.Pull(ContinuationHistory::NoKey, 9, bonus, Gravity);
  EXPECT_TRUE(RowIsZero(table, ContinuationHistory::NoKey));
  table.Clear();
  EXPECT_EQ(WrittenCounters(table), 0);
}

TEST(ContinuationHistory, OnlyTheCaptureSearchModeLearnsAndANewGameForgets) {
  const std::string middlegame = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";
  SetPosition(middlegame);
  Search.ClearHistory();
  SearchTo(6, true);
  EXPECT_EQ(WrittenCounters(Search.Continuations), 0) << "the default search must not change";

  Search.SetCaptureSearch(true);
  SearchTo(6, true);
  Search.SetCaptureSearch(false);
  EXPECT_GT(WrittenCounters(Search.Continuations), 0);
  EXPECT_TRUE(RowIsZero(Search.Continuations, ContinuationHistory::NoKey));
  Search.ClearHistory();
  EXPECT_EQ(WrittenCounters(Search.Continuations), 0);
}

}  // namespace
