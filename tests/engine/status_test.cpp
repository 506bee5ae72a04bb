#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "engine/Status.h"

namespace {

// Square set of blank-separated square names ("f5 e6 d7").
SquareSet Squares(const std::string& names) {
  SquareSet set = 0;
  for (std::size_t i = 0; i + 1 < names.size(); i += 3) {
    set |= SquareSet{1} << ((names[i + 1] - '1') * 8 + (names[i] - 'a'));
  }
  return set;
}

TEST(StatusTest, StaticDefaultsHoldBeforeInitVarsAndSurviveIt) {
  Status s;
  EXPECT_EQ(s.NodesPerSecond, 1200000);
  EXPECT_EQ(s.MoveNumber, 1);
  EXPECT_EQ(s.FileA, 0u);   // masks exist only after initVars or InitMasks
  s.NodesPerSecond = 777;
  s.xboard = 1; s.Force = 1; s.Analyze = 1; s.KeepRunning = 1; s.Pondering = 1;
  s.TimeLeft = 5000; s.TimeInc = 3; s.StartTime = 9; s.SearchDepth = 4; s.ElapsedTime = 2;
  s.EmergencyTimeThreshold = 11;
  s.initVars();
  EXPECT_EQ(s.NodesPerSecond, 777);
  EXPECT_EQ(s.xboard + s.Force + s.Analyze + s.KeepRunning + s.Pondering, 5);
  EXPECT_EQ(s.TimeLeft, 5000);
  EXPECT_EQ(s.TimeInc, 3);
  EXPECT_EQ(s.StartTime + s.SearchDepth + s.ElapsedTime + s.EmergencyTimeThreshold, 9 + 4 + 2 + 11);
}

TEST(StatusTest, InitVarsResetsGameState) {
  Status s;
  s.OpponentToMove = 0; s.PERFT = 1; s.Bench = 2; s.SATrain = 1; s.Post = 1; s.Mimic = 2;
  s.DoTestSuite = 1; s.PEV = 1; s.SelfPlay = 1; s.Trace = 1; s.GameInProgress = 0; s.MoveNumber = 40;
  s.MaxPly = 12; s.Kibitz = 3;
  s.initVars();
  EXPECT_EQ(s.OpponentToMove, 1);
  EXPECT_EQ(s.PERFT + s.Bench + s.SATrain + s.Post + s.Mimic + s.DoTestSuite + s.PEV + s.SelfPlay + s.Trace, 0);
  EXPECT_EQ(s.GameInProgress, 1);
  EXPECT_EQ(s.MoveNumber, 1);
  EXPECT_EQ(s.MaxPly, 0);
  EXPECT_EQ(s.Kibitz, 0);
  s.Kibitz = 1;
  s.initVars();
  EXPECT_EQ(s.Kibitz, 1);
}

TEST(StatusTest, UciLimitsSurviveInitVarsOnlyInUciMode) {
  for (int uci = 0; uci <= 1; uci++) {
    Status s;
    s.UCIMode = static_cast<std::uint8_t>(uci);
    s.FD = 5; s.ST = 2000; s.UseBook = 0; s.TimePerMove = 300; s.MovesPerSession = 40;
    s.DefaultMovesPerSession = 7;
    s.initVars();
    EXPECT_EQ(s.FD, uci ? 5 : 0);
    EXPECT_EQ(s.ST, uci ? 2000 : 0);
    EXPECT_EQ(s.UseBook, uci ? 0 : 1);
    EXPECT_EQ(s.TimePerMove, uci ? 300 : 0);
    EXPECT_EQ(s.MovesPerSession, uci ? 40 : 0);
    EXPECT_EQ(s.DefaultMovesPerSession, uci ? 7 : 50);
  }
}

TEST(StatusTest, FileRankAndAreaMasks) {
  Status s;
  s.initVars();
  EXPECT_EQ(__builtin_popcountll(s.FileA | s.FileH), 16);
  EXPECT_EQ(s.FilesGH | s.FilesABC | s.FileD | s.FileE | s.FileF, ~0ULL);
  EXPECT_EQ(s.FilesFGH, s.FilesGH | s.FileF);
  EXPECT_EQ(s.FilesAB, s.FileA | s.FileB);
  EXPECT_EQ(s.Rank1 | s.Rank8, 0xff000000000000ffULL);
  EXPECT_EQ(s.LightSquares | s.DarkSquares, ~0ULL);
  EXPECT_EQ(s.LightSquares & s.DarkSquares, 0ULL);
  EXPECT_TRUE(s.DarkSquares & Squares("a1"));
  EXPECT_TRUE(s.LightSquares & Squares("h1"));
  EXPECT_EQ(s.WhiteHalf, s.Rank1 | s.Rank2 | s.Rank3 | s.Rank4);
  EXPECT_EQ(s.BlackHalf, ~s.WhiteHalf);
  EXPECT_EQ(s.Corners, Squares("a1 h1 a8 h8"));
}

TEST(StatusTest, DiagonalMasks) {
  Status s;
  s.InitMasks();
  const std::pair<SquareSet, const char*> diagonals[] = {
    {s.DiagF5D7, "f5 e6 d7"}, {s.DiagC5E7, "c5 d6 e7"}, {s.DiagF4D6, "f4 e5 d6"}, {s.DiagC4E6, "c4 d5 e6"},
    {s.DiagD2F4, "d2 e3 f4"}, {s.DiagE2C4, "e2 d3 c4"}, {s.DiagD3F5, "d3 e4 f5"}, {s.DiagE3C5, "e3 d4 c5"},
    {s.DiagH2C7, "h2 g3 f4 e5 d6 c7"}, {s.DiagG2B7, "g2 f3 e4 d5 c6 b7"}, {s.DiagF2A7, "f2 e3 d4 c5 b6 a7"},
    {s.DiagC2H7, "c2 d3 e4 f5 g6 h7"}, {s.DiagB2G7, "b2 c3 d4 e5 f6 g7"}, {s.DiagA2F7, "a2 b3 c4 d5 e6 f7"},
  };
  for (const auto& d : diagonals) EXPECT_EQ(d.first, Squares(d.second)) << d.second;
}

TEST(StatusTest, SingleSquareMasksAreDistinctAndNamed) {
  Status s;
  s.InitMasks();
  const SquareSet squares[] = {s.SqH8, s.SqH7, s.SqF7, s.SqG7, s.SqH6, s.SqF6, s.SqG6, s.SqA8,
                               s.SqA7, s.SqC7, s.SqA6, s.SqB7, s.SqC6, s.SqB6, s.SqH1, s.SqH2,
                               s.SqF2, s.SqG2, s.SqH3, s.SqF3, s.SqG3, s.SqA1, s.SqA2, s.SqC2,
                               s.SqB2, s.SqA3, s.SqC3, s.SqB3, s.SqB8, s.SqG8, s.SqB1, s.SqG1};
  const std::string names = "h8 h7 f7 g7 h6 f6 g6 a8 a7 c7 a6 b7 c6 b6 h1 h2 f2 g2 h3 f3 g3 a1 a2 c2 b2 "
                            "a3 c3 b3 b8 g8 b1 g1";
  SquareSet all = 0;
  for (int i = 0; i < 32; i++) {
    EXPECT_EQ(squares[i], Squares(names.substr(static_cast<std::size_t>(i) * 3, 2))) << i;
    all |= squares[i];
  }
  EXPECT_EQ(__builtin_popcountll(all), 32);
}

}  // namespace
