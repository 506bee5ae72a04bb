// Limited strength: the node cap grows with the rating, the choice among the best lines strays
// more at lower ratings but never to a line far worse, and a limited search plays a legal move
// within its node cap.
#include "eval/PositionEvaluate.h"
#include "search/Strength.h"
#include "search/MultiPvLines.h"
#include "search/SearchTestSupport.h"

using namespace searchtest;
using namespace StrengthLimits;

namespace {

// How often each line is chosen in `draws` choices at the rating.
std::vector<int> Choices(int elo, const std::vector<int>& centipawns, int draws = 2000) {
  PlayingStrength strength;
  strength.Elo = elo;
  strength.Seed(12345);
  std::vector<int> counts(centipawns.size());
  for (int i = 0; i < draws; i++) counts[strength.ChooseLine(centipawns.data(), static_cast<int>(centipawns.size()))]++;
  return counts;
}

TEST(Strength, NodeCapAndWeaknessFollowTheRating) {
  PlayingStrength s;
  std::int64_t lastCap = 0;
  int lastWeakness = WeaknessAtMinElo + 1;
  for (int elo = MinElo; elo < MaxElo; elo += 50) {
    s.Elo = elo;
    EXPECT_GT(s.NodeCap(), lastCap) << elo;
    EXPECT_LE(s.Weakness(), lastWeakness) << elo;
    EXPECT_GT(s.Weakness(), 0);
    EXPECT_LT(s.Weakness(), WeaknessScale) << "a line's loss alone never lifts it past the best";
    lastCap = s.NodeCap();
    lastWeakness = s.Weakness();
  }
  s.Elo = MaxElo;   // the engine as it is
  EXPECT_TRUE(s.FullStrength() && s.NodeCap() == 0 && s.Weakness() == 0);
  s.Elo = MinElo;
  EXPECT_EQ(s.NodeCap(), NodesAtMinElo);
  s.Elo = 0;   // out of range: the nearest rating offered
  EXPECT_EQ(s.NodeCap(), NodesAtMinElo);
}

TEST(Strength, TheChoiceStraysWithTheRatingButNeverFar) {
  const std::vector<int> close = {50, 40, 35, 30};
  const auto weak = Choices(MinElo, close);
  const auto strong = Choices(MaxElo - 100, close);
  EXPECT_LT(weak[0], 1800) << "a weak player often plays a move close to the best";
  EXPECT_GT(weak[1] + weak[2] + weak[3], 200);
  EXPECT_GT(strong[0], weak[0]) << "a strong one less often";
  const auto blunders = Choices(MinElo, {50, 40, 50 - MaxChoiceLossCentipawns - 1, -300});
  EXPECT_EQ(blunders[2] + blunders[3], 0) << "a line far worse is never played";
  PlayingStrength s;
  EXPECT_EQ(s.ChooseLine(close.data(), 1), 0);
  EXPECT_EQ(s.ChooseLine(nullptr, 4), 0);
}

// The search stops near its node cap and plays one of its lines, whatever the clock allows.
TEST(Strength, ALimitedSearchKeepsToItsNodes) {
  SetPosition("r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1");
  Strength.Limited = 1;
  Strength.Elo = MinElo;
  MainStatus.TimeLeft = 600000;   // ten minutes: the cap ends the move, not the clock
  const SearchResult r = SearchTo(0);
  Strength.Limited = 0;
  MainStatus.TimeLeft = 0;
  EXPECT_LE(r.Nodes, NodesAtMinElo + NodesAtMinElo / 2);
  EXPECT_EQ(Search.NodeLimit, 0) << "the front end's settings are back";
  EXPECT_EQ(Search.MultiPv, 1);
  EXPECT_EQ(Search.CaptureSearchOn, 0);
  EXPECT_EQ(PE.Weights, EvalWeights::Standard);
  bool amongLines = false;
  for (int i = 0; i < CompleteLines.Count; i++) {
    const int move = CompleteLines.Lines[i].Move;
    amongLines = amongLines || MoveName(SquareBit(MoveCodeFrom(move)), SquareBit(MoveCodeTo(move))) == r.Move;
  }
  EXPECT_GT(CompleteLines.Count, 1);
  EXPECT_TRUE(amongLines) << r.Move;
}

}  // namespace
