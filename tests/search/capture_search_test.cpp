// The optional capture search at the horizon: what it sees that the static evaluation does not,
// its bounds, and its own benchmark signature.
#include <string>
#include "eval/PositionEvaluate.h"
#include "search/SearchTestSupport.h"
#include "testkit/RunEngine.h"

using namespace searchtest;

namespace {

// Node total of "nelk -qs -bench -fd 5": the signature of the search with captures at the horizon.
constexpr long long CaptureSearchSignatureFd5 = 24524;

struct CaptureSearchOn {
  CaptureSearchOn() { Search.SetCaptureSearch(true); }
  ~CaptureSearchOn() { Search.SetCaptureSearch(false); }
};

SearchResult SearchPosition(const std::string& fen, int depth, bool captures) {
  SetPosition(fen);
  Search.SetCaptureSearch(captures);
  const SearchResult r = SearchTo(depth, true);
  Search.SetCaptureSearch(false);
  return r;
}

TEST(CaptureSearch, SwitchSelectsTheEvaluationWeights) {
  Search.SetCaptureSearch(true);
  EXPECT_EQ(Search.CaptureSearchOn, 1);
  EXPECT_EQ(PE.Weights, EvalWeights::CaptureSearch);
  Search.SetCaptureSearch(false);
  EXPECT_EQ(Search.CaptureSearchOn, 0);
  EXPECT_EQ(PE.Weights, EvalWeights::Standard);
}

TEST(CaptureSearch, SeesTheRecaptureThatTheStaticEvaluationMisses) {
  // Rxd5 takes a knight that the e6 pawn defends: at depth 1 only the capture search sees exd5.
  const std::string losingCapture = "4k3/8/4p3/3n4/8/8/8/3RK3 w - - 0 1";
  EXPECT_EQ(SearchPosition(losingCapture, 1, false).Move, "d1d5");
  EXPECT_NE(SearchPosition(losingCapture, 1, true).Move, "d1d5");

  // Nxe5 wins a pawn: the queen may take the knight, but d4 takes the queen back. Without the
  // capture search the depth-2 horizon stops after Qxe5 and shuns the move.
  const std::string winningCapture = "4q1k1/8/8/4p3/3P4/5N2/8/6K1 w - - 0 1";
  const SearchResult without = SearchPosition(winningCapture, 2, false);
  const SearchResult with = SearchPosition(winningCapture, 2, true);
  EXPECT_NE(without.Move, "f3e5");
  EXPECT_EQ(with.Move, "f3e5");
  EXPECT_GT(with.Score, without.Score);
}

TEST(CaptureSearch, LongCaptureChainsStayBounded) {
  // Every piece of both sides can take or be taken on the crowded centre files: the capture search
  // must end by its ply bound and its exchange pruning, not by exhausting the position.
  const std::string crowded = "rnbqkbnr/1ppppppp/8/pQRNBRQp/PqrnbrqP/8/1PPPPPPP/RNB1KBN1 w Qkq - 0 1";
  const SearchResult r = SearchPosition(crowded, 2, true);
  EXPECT_GT(Search.QNodes, 0);
  EXPECT_LT(Search.QNodes, 2000000);
  EXPECT_NE(r.Move, "----");
}

TEST(CaptureSearch, MateScoresAndDrawsStayExact) {
  CaptureSearchOn on;
  // Back-rank mate in one.
  SetPosition("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
  SearchResult r = SearchTo(3, true);
  EXPECT_EQ(r.Move, "a1a8");
  EXPECT_EQ(r.Score, MateScore - 1);
  // Bare kings: the draw by material holds at the horizon whatever the captures.
  SetPosition("8/8/4k3/8/8/3K4/8/8 w - - 0 1");
  EXPECT_EQ(SearchTo(2, true).Score, DrawScore);
}

TEST(CaptureSearch, QuietHistoryRewardsTheCutoffAndStaysBounded) {
  // e2e4 cut off after d2d4 and g1f3 were tried; the other side's counters are not touched.
  const int cutoff = MoveCode(12, 28), tried[] = {MoveCode(11, 27), MoveCode(6, 21)};
  const std::uint16_t triedCodes[] = {static_cast<std::uint16_t>(tried[0]), static_cast<std::uint16_t>(tried[1])};
  Search.ClearHistory();
  Search.RewardQuietCutoff(0, cutoff, triedCodes, 2, 4);
  EXPECT_GT(Search.History[0][cutoff], 0);
  EXPECT_LT(Search.History[0][tried[0]], 0);
  EXPECT_LT(Search.History[0][tried[1]], 0);
  EXPECT_EQ(Search.History[1][cutoff], 0);
  // However often and deep, the counters stay within the gravity bound (the reductions divide them).
  for (int i = 0; i < 10000; i++) Search.RewardQuietCutoff(0, cutoff, triedCodes, 2, 60);
  EXPECT_LE(Search.History[0][cutoff], SelectiveMargins::HistoryGravity);
  EXPECT_GE(Search.History[0][tried[0]], -SelectiveMargins::HistoryGravity);
  Search.RewardQuietCutoff(0, -1, triedCodes, 2, 4);   // not a move: ignored
  Search.ClearHistory();
}

TEST(CaptureSearch, SignatureOfItsOwn) {
  const auto run = nelktest::RunEngine({"-qs", "-bench", "-fd", "5"}, "", 300000);
  ASSERT_EQ(run.ExitStatus, 0) << run.Output;
  const std::string label = "Bench signature: ";
  const auto at = run.Output.find(label);
  ASSERT_NE(at, std::string::npos) << run.Output;
  EXPECT_EQ(std::atoll(run.Output.c_str() + at + label.size()), CaptureSearchSignatureFd5)
      << "the capture search changed; see CaptureSearchSignatureFd5";
}

}  // namespace
