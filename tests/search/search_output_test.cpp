// The events a search reports, as the lines each front end reads: the choices that the protocol
// sessions cannot reach at a fixed depth (deep iterations, interrupted root loops, kibitz).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include "engine/Status.h"
#include "protocol/UCIProtocol.h"
#include "search/SearchConstants.h"
#include "search/SearchEvents.h"

namespace {

enum class FrontEnd { Console, Xboard, Uci };

class SearchOutput : public ::testing::Test {
protected:
  void SetUp() override { saved_ = MainStatus; }
  void TearDown() override { MainStatus = saved_; }

  static void Use(FrontEnd f, bool post) {
    MainStatus.xboard = f == FrontEnd::Xboard;
    MainStatus.UCIMode = f == FrontEnd::Uci;
    MainStatus.Post = post;
    MainStatus.Analyze = MainStatus.Pondering = MainStatus.Kibitz = 0;
  }
  static std::string Printed(const std::function<void()>& report) {
    testing::internal::CaptureStdout();
    report();
    return testing::internal::GetCapturedStdout();
  }
  // 5000 nodes in the estimate's seconds; the clock's milliseconds are 345 more.
  static SearchLine Line(int depth, int elapsedSeconds = 2) {
    return {depth, 125, elapsedSeconds, 5000, " e2e4 e7e5 \n", elapsedSeconds * 1000 + 345};
  }
  // The best line known before the interruption: the last iteration's.
  static BestKnownLine Best(int depth) { return {{depth, 250, 2, 5000, " d2d4 d7d5 \n", 2345}, true}; }
  static std::string Interrupted(RootExit exit, int depth, bool bestKnown = true) {
    const RootInterruption r{Line(depth), exit, 3, bestKnown ? Best(depth - 1) : BestKnownLine{}};
    return Printed([&] { SearchEvents::RootInterrupted(r); });
  }

private:
  Status saved_;
};

// A UCI line with a score: 5000 nodes in 2345 ms of the clock.
std::string UciLine(int depth, const char* score, const char* pv) {
  return "info depth " + std::to_string(depth) + " seldepth " + std::to_string(depth) + " score " + score +
         " nodes 5000 nps 2132 hashfull 0 time 2345 pv " + pv + " \n";
}
const std::string UciTimed = UciLine(8, "cp 12", "e2e4 e7e5");
const std::string UciBest7 = UciLine(7, "cp 25", "d2d4 d7d5");

}  // namespace

TEST_F(SearchOutput, NewBestLinesAndInterruptionsByFrontEnd) {
  Use(FrontEnd::Xboard, true);
  EXPECT_EQ(Printed([] { SearchEvents::NewBestLine(Line(7)); }), "");   // shallow: the iteration line follows
  // xboard's time is the clock's, in centiseconds.
  EXPECT_EQ(Printed([] { SearchEvents::NewBestLine(Line(8)); }), "8 12 234 5000  e2e4 e7e5 \n");
  EXPECT_EQ(Interrupted(RootExit::Early, 5), "5 12 234 5000  e2e4 e7e5 \n");
  Use(FrontEnd::Uci, false);
  EXPECT_EQ(Printed([] { SearchEvents::NewBestLine(Line(3)); }), UciLine(3, "cp 12", "e2e4 e7e5"));
  MainStatus.Analyze = 1;
  EXPECT_EQ(Printed([] { SearchEvents::NewBestLine(Line(8)); }), UciTimed);
  MainStatus.Analyze = 0;
  // A cut-off iteration shows the best line known, never the score of the move it was cut in.
  EXPECT_EQ(Interrupted(RootExit::Early, 7), "");
  EXPECT_EQ(Interrupted(RootExit::Early, 8), UciBest7 + "info currmovenumber 3\n");
  EXPECT_EQ(Interrupted(RootExit::Late, 5), UciLine(4, "cp 25", "d2d4 d7d5"));
  EXPECT_EQ(Interrupted(RootExit::Loop, 8), UciBest7);
  EXPECT_EQ(Interrupted(RootExit::Late, 1, false), "info depth 1 time 2345 nodes 5000 pv e2e4 e7e5 \n")
      << "stopped before any result: no score";
  MainStatus.Pondering = 1;
  EXPECT_EQ(Interrupted(RootExit::Loop, 8), "");
  Use(FrontEnd::Console, true);
  EXPECT_EQ(Interrupted(RootExit::Late, 9), "") << "the console hears no interrupted root";
}

TEST_F(SearchOutput, IterationAndMoveLinesByFrontEnd) {
  Use(FrontEnd::Console, true);
  const std::string consoleLine = "8 12 4 5000  e2e4 e7e5 \n";   // the console counts seconds
  EXPECT_EQ(Printed([] { SearchEvents::IterationDone(Line(8, 4), false, Best(8)); }), consoleLine + consoleLine)
      << "a long one twice";
  Use(FrontEnd::Uci, false);
  EXPECT_EQ(Printed([] { SearchEvents::IterationDone(Line(8), false, {}); }), "");
  MainStatus.Analyze = 1;
  EXPECT_EQ(Printed([] { SearchEvents::IterationDone(Line(8), false, {}); }), UciTimed);
  EXPECT_EQ(Printed([] { SearchEvents::IterationDone(Line(8), true, Best(7)); }), UciBest7);
  // A root without moves: a stalemate is a draw, and there is no variation to show.
  SearchLine stalemate = Line(1, 0);
  stalemate.Score = StalemateScore;
  stalemate.PvText = "\n";
  EXPECT_EQ(Printed([&] { SearchEvents::IterationDone(stalemate, false, {}); }), "info depth 1 seldepth 1 score cp 0 nodes 5000 nps 14492 hashfull 0 time 345\n");

  MoveChosen m;
  m.Line = Line(8, 0);
  m.SearchDepth = 6;
  m.NodesPerSecond = 900000;
  Use(FrontEnd::Xboard, false);
  MainStatus.Kibitz = 1;
  EXPECT_EQ(Printed([&] { SearchEvents::MoveFound(m); }),
            "tellics kibitz ply=6 v=12 centipawns millisecs=1 Nodes=5000 nps=900000  e2e4 e7e5 \n\n");
  m.BookMove = true;
  EXPECT_EQ(Printed([&] { SearchEvents::MoveFound(m); }), "tellics kibitz Book Move\n");
  MainStatus.Post = 1;
  m.Aborted = true;
  EXPECT_EQ(Printed([&] { SearchEvents::MoveFound(m); }), "tellics kibitz Book Move\n") << "no line of an abort";
}

// A UCI front end reads only UCI commands: notices become "info string" lines; times are integers.
TEST_F(SearchOutput, NoticesAndRatesByFrontEnd) {
  Use(FrontEnd::Xboard, false);
  EXPECT_EQ(Printed([] { SearchEvents::AbortedByCommand("?"); }), "# Search Aborted due to receiveing following string: ?\n");
  EXPECT_EQ(Printed([] { SearchEvents::Error("no kings"); }), "ERROR: no kings\n");
  Use(FrontEnd::Uci, false);
  EXPECT_EQ(Printed([] { SearchEvents::AbortedByCommand("stop"); }),
            "info string  Search Aborted due to receiveing following string: stop\n");
  EXPECT_EQ(Printed([] { SearchEvents::Error("no kings"); }), "info string ERROR: no kings\n");
  EXPECT_EQ(Printed([] { SearchEvents::NodeRateMeasured(1234567, 1500); }), "info nps 1234567 time 1500\n");
}

// Mates in each protocol's own form, counted in moves: UCI "mate N" / "mate -N", xboard 100000 + N
// and -100000 - N; the console keeps its centipawn figure. The further lines of a MultiPV search
// carry their number, and the deepest ply reached is the seldepth.
TEST_F(SearchOutput, MateScoresAndLinesOfPlay) {
  const struct { int score; const char* uci; const char* xboard; const char* console; } cases[] = {
      {MateScore - 1, "mate 1", "100001", "10999"},   // mates with its move
      {1 - MateScore + 1, "mate -1", "-100001", "-10999"},   // mated after two plies
      {-MateScore, "mate 0", "-100000", "-11000"},   // mated now
      {MateScore - 200, "mate 100", "100100", "10980"},
      {SearchScore::MateScoreBound, "cp 10979", "10979", "10979"},   // the largest score that is no mate
      {StalemateScore, "cp 0", "0", "11000"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.uci);
    SearchLine line = Line(8);
    line.Score = c.score;
    Use(FrontEnd::Uci, false);
    EXPECT_EQ(Printed([&] { SearchEvents::NewBestLine(line); }), UciLine(8, c.uci, "e2e4 e7e5"));
    Use(FrontEnd::Xboard, true);
    EXPECT_EQ(Printed([&] { SearchEvents::NewBestLine(line); }), std::string("8 ") + c.xboard + " 234 5000  e2e4 e7e5 \n");
    Use(FrontEnd::Console, true);
    EXPECT_EQ(Printed([&] { SearchEvents::IterationDone(line, false, {}); }), std::string("8 ") + c.console + " 2 5000  e2e4 e7e5 \n");
  }
  Use(FrontEnd::Uci, true);
  SearchLine line = Line(8);
  line.MultiPv = 2;
  line.SelDepth = 13;
  line.HashFull = 41;
  EXPECT_EQ(Printed([&] { SearchEvents::OtherLineDone(line); }),
            "info depth 8 seldepth 13 multipv 2 score cp 12 nodes 5000 nps 2132 hashfull 41 time 2345 pv e2e4 e7e5 \n");
  Use(FrontEnd::Uci, false);
  EXPECT_EQ(Printed([&] { SearchEvents::OtherLineDone(line); }).substr(0, 35), "info depth 8 seldepth 13 multipv 2 ")
      << "the lines of each iteration, best first, whether or not the front end analyses";
  Use(FrontEnd::Xboard, false);
  EXPECT_EQ(Printed([&] { SearchEvents::OtherLineDone(line); }), "") << "xboard's thinking lines only when posting";
}
