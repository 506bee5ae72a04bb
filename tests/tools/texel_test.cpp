// Texel tuning: which positions a PGN file gives, which games it skips, and whether the fit finds
// a multiplier that is known beforehand.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "testkit/RunEngine.h"
#include "testkit/Text.h"
#include "tools/PgnGames.h"
#include "tools/TexelFit.h"
#include "tools/TexelTuner.h"

namespace {

using nelktest::Has;

// Game 1 gives 9 positions (from ply 8 on, captures, a check and the last position left out),
// game 2 has a SAN move, game 3 the result "*", and game 4 ends in mate: of its 5 quiet
// positions only the one more than 8 plies before the end is kept.
TEST(TexelTunerTest, CountsQuietPositionsAndSkipsBadGames) {
  const auto run = nelktest::RunEngine({"-texel", NELK_TEST_DATA "/texel-games.pgn"});
  ASSERT_EQ(run.ExitStatus, 0) << run.Output;
  EXPECT_TRUE(Has(run.Output, "ERROR: game 2 (line 17): move 3 \"Nf3\" is not a legal move")) << run.Output;
  EXPECT_TRUE(Has(run.Output, "ERROR: game 3 (line 24): its result \"*\" is unknown; skipped\n"));
  EXPECT_TRUE(Has(run.Output, "games 4 read, 2 skipped\npositions 10 "));
  EXPECT_TRUE(Has(run.Output, "\nmaterial                          1.000"));
  const auto missing = nelktest::RunEngine({"-texel", "missing.pgn"});
  EXPECT_EQ(missing.ExitStatus, TexelFileErrorStatus);
  EXPECT_TRUE(Has(missing.Output, "ERROR: opening file missing.pgn\n"));
}

TEST(TexelTunerTest, MoveTextPassesOverNumbersCommentsAndVariations) {
  const std::string text = "12... e7e5 {+0.3/9 (x} (12... d7d5 13. e4d5) $1 13.g1f3 ; rest\nb8c6 1/2-1/2 a2a3";
  PgnMoveText moves(text);
  std::string move, seen;
  while (moves.Next(&move) == PgnToken::Move) seen += move + " ";
  EXPECT_EQ(seen, "e7e5 g1f3 b8c6 ");
  for (const char* broken : {"e2e4 {open", ") e2e4", "(e2e4"}) {
    PgnMoveText open(broken);
    PgnToken last = PgnToken::Move;
    while (last == PgnToken::Move) last = open.Next(&move);
    EXPECT_EQ(last, PgnToken::Broken) << broken;
  }
}

// Games follow each other without blank lines; a bad tag or an overlong line spoils its own game only.
TEST(TexelTunerTest, ReaderSplitsGamesAndKeepsErrorsToTheirGame) {
  nelktest::TempDir dir;
  const std::string text = std::string("[Event \"a \\\"b\\\" c\"]\n[FEN \"8/8 w\"]\n[Result \"1-0\"]\n") +
                           "1. e2e4 {x\n[Result \"0-1\ne7e5 *\n[Result \"*\"]\n" + std::string(PgnLineSize + 1, 'a') +
                           "\n[Site \"?\"]\n";
  ASSERT_TRUE(dir.Write("games.pgn", text));
  std::FILE* file = std::fopen(dir.File("games.pgn").c_str(), "r");
  ASSERT_NE(file, nullptr);
  PgnReader reader(file);
  PgnGame games[4];
  int count = 0;
  while (count < 4 && reader.Next(&games[count])) ++count;
  std::fclose(file);
  ASSERT_EQ(count, 4);
  EXPECT_TRUE(games[0].Fen == "8/8 w" && games[0].Result == "1-0" && games[0].MoveText == "1. e2e4 {x\n");
  EXPECT_TRUE(games[0].Error.empty()) << games[0].Error;   // the escaped quotes were read
  EXPECT_EQ(games[1].Error, "the tag on line 5 cannot be read");
  EXPECT_EQ(games[1].MoveText, "e7e5 *\n");
  EXPECT_EQ(games[2].FirstLine, 7);
  EXPECT_EQ(games[2].Error, "line 8 is longer than 4096 characters");
  EXPECT_TRUE(games[3].Error.empty() && games[3].Number == 4 && reader.Failure().empty());
}

// Positions whose results follow the model exactly, with material weighed 1 and knight mobility
// `mobility` in its middlegame share and a half in its endgame share; a rare term (trapped pieces)
// plays no part in the results.
constexpr double EndgameMobility = 0.5;
TexelPositions Synthetic(double k, double mobility) {
  const int material = TexelParameter(TermMaterial, 0), traps = TexelParameter(TermTraps, 0);
  const int middle = TexelParameter(TermKnightMobility, 0), end = TexelParameter(TermKnightMobility, 1);
  TexelPositions positions;
  for (int i = 0; i < 2000; ++i) {
    TexelPosition p{};
    p.Terms[material] = static_cast<std::int16_t>((i * 37 % 81 - 40) * 100);
    p.Terms[middle] = static_cast<std::int16_t>((i * 53 % 41 - 20) * 50);
    p.Terms[end] = static_cast<std::int16_t>((i * 29 % 31 - 15) * 40);
    p.Terms[traps] = i % 400 == 0 ? 500 : 0;
    p.Outcome = static_cast<float>(
        TexelWinChance(k, p.Terms[material] + mobility * p.Terms[middle] + EndgameMobility * p.Terms[end]));
    positions.push_back(p);
  }
  return positions;
}

TEST(TexelFitTest, RecoversKnownScaleAndMultipliersByPhase) {
  EXPECT_NEAR(FitScale(Synthetic(1.3, 1.0)), 1.3, 0.02);
  for (const auto& [truth, expected] : {std::pair{2.0, 2.0}, std::pair{5.0, MaxTermWeight}}) {
    const TexelPositions positions = Synthetic(1.3, truth);
    TermWeights weights = UnitWeights();
    const double error = FitWeights(positions, 1.3, FittedTerms(positions), &weights);
    EXPECT_NEAR(weights[TexelParameter(TermKnightMobility, 0)], expected, 0.02);
    // At the bound the middlegame share cannot follow the results, and the endgame share makes up for it.
    if (truth <= MaxTermWeight) {
      EXPECT_NEAR(weights[TexelParameter(TermKnightMobility, 1)], EndgameMobility, 0.02);
    }
    EXPECT_EQ(weights[TexelParameter(TermMaterial, 0)], 1.0);
    EXPECT_EQ(weights[TexelParameter(TermTraps, 0)], 1.0);   // non-zero in 0.25% of the positions: not fitted
    EXPECT_LT(error, TexelError(positions, UnitWeights(), 1.3));
  }
}

}  // namespace
