// The events a search reports, as the lines each front end reads: the choices that the protocol
// sessions cannot reach at a fixed depth (deep iterations, interrupted root loops, kibitz).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include "engine/Status.h"
#include "protocol/UCIProtocol.h"
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
  static SearchLine Line(int depth, int elapsedSeconds = 2) {
    SearchLine line;
    line.Depth = depth;
    line.Score = 125;
    line.ElapsedSeconds = elapsedSeconds;
    line.Nodes = 5000;
    line.PvText = " e2e4 e7e5 \n";
    return line;
  }
  static std::string Interrupted(RootExit exit, int depth) {
    RootInterruption r;
    r.Line = Line(depth);
    r.Exit = exit;
    r.LegalMoves = 3;
    return Printed([&] { SearchEvents::RootInterrupted(r); });
  }

private:
  Status saved_;
};

const std::string UciTimed = "info depth 8 score cp 12 time 2000 nodes 5000 pv e2e4 e7e5 \n";

}  // namespace

TEST_F(SearchOutput, NewBestLinesAndInterruptionsByFrontEnd) {
  Use(FrontEnd::Xboard, true);
  EXPECT_EQ(Printed([] { SearchEvents::NewBestLine(Line(7)); }), "");   // shallow: the iteration line follows
  EXPECT_EQ(Printed([] { SearchEvents::NewBestLine(Line(8)); }), "8 12 200 5000  e2e4 e7e5 \n");
  EXPECT_EQ(Interrupted(RootExit::Early, 5), "5 12 200 5000  e2e4 e7e5 \n");
  Use(FrontEnd::Uci, false);
  EXPECT_EQ(Printed([] { SearchEvents::NewBestLine(Line(3)); }), "info depth 3 score cp 12 nodes 5000 pv e2e4 e7e5 \n");
  MainStatus.Analyze = 1;
  EXPECT_EQ(Printed([] { SearchEvents::NewBestLine(Line(8)); }), UciTimed);
  MainStatus.Analyze = 0;
  EXPECT_EQ(Interrupted(RootExit::Early, 7), "");
  EXPECT_EQ(Interrupted(RootExit::Early, 8), UciTimed + "info currmovenumber 3\n");
  EXPECT_EQ(Interrupted(RootExit::Late, 5), "info depth 5 score cp 12 time 2000 nodes 5000 pv e2e4 e7e5 \n");
  EXPECT_EQ(Interrupted(RootExit::Loop, 8), "info depth 8 score cp 12 nodes 5000 pv e2e4 e7e5 \n");
  MainStatus.Pondering = 1;
  EXPECT_EQ(Interrupted(RootExit::Loop, 8), "");
  Use(FrontEnd::Console, true);
  EXPECT_EQ(Interrupted(RootExit::Late, 9), "") << "the console hears no interrupted root";
}

TEST_F(SearchOutput, IterationAndMoveLinesByFrontEnd) {
  Use(FrontEnd::Console, true);
  const std::string consoleLine = "8 12 4 5000  e2e4 e7e5 \n";   // the console counts seconds
  EXPECT_EQ(Printed([] { SearchEvents::IterationDone(Line(8, 4)); }), consoleLine + consoleLine) << "a long one twice";
  Use(FrontEnd::Uci, false);
  EXPECT_EQ(Printed([] { SearchEvents::IterationDone(Line(8)); }), "");
  MainStatus.Analyze = 1;
  EXPECT_EQ(Printed([] { SearchEvents::IterationDone(Line(8)); }), UciTimed);

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
