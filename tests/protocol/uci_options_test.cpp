// "setoption" and "ucinewgame" in-process: the settings each option changes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include "board/ChessBoard.h"
#include "engine/Status.h"
#include "hash/Zobrist.h"
#include "protocol/UCIProtocol.h"

namespace {

void SetOption(const std::string& line) {
  std::snprintf(UCI.CommandLine, sizeof UCI.CommandLine, "%s", line.c_str());
  UCI.SetOption();
}

TEST(UciOptions, BooksSwitchUseBook) {
  MainStatus.UseBook = 0;
  SetOption("setoption name OwnBook value true");
  EXPECT_EQ(MainStatus.UseBook, 1);
  SetOption("setoption name OwnBook value false");
  EXPECT_EQ(MainStatus.UseBook, 0);
  SetOption("setoption name SecondaryBook value TRUE");
  EXPECT_EQ(MainStatus.UseBook, 1);
  SetOption("setoption name secondarybook value false");
  EXPECT_EQ(MainStatus.UseBook, 0);
}

TEST(UciOptions, CurrentLineAndPonder) {
  SetOption("setoption name UCI_ShowCurrLine value false");
  EXPECT_EQ(UCI.ShowCurrLine, 0);
  SetOption("setoption name UCI_ShowCurrLine value true");
  EXPECT_EQ(UCI.ShowCurrLine, 1);
  MainStatus.Pondering = 1;
  SetOption("setoption name Ponder value true");
  EXPECT_EQ(UCI.PonderOption, 1);
  EXPECT_EQ(MainStatus.Pondering, 0);
  SetOption("setoption name Ponder value false");
  EXPECT_EQ(UCI.PonderOption, 0);
  // Only the value counts: a name that merely contains "true" changes nothing.
  SetOption("setoption name Ponder");
  EXPECT_EQ(UCI.PonderOption, 0);
}

TEST(UciOptions, AnalyseModeSetsTheAnalysisSettings) {
  Status& s = MainStatus;
  s.ST = 0;
  s.Force = 1;
  s.OpponentToMove = 1;
  SetOption("setoption name UCI_AnalyseMode value true");
  EXPECT_EQ(s.Analyze, 1);
  EXPECT_EQ(s.Post, 1);
  EXPECT_EQ(s.Force, 0);
  EXPECT_EQ(s.OpponentToMove, 0);
  EXPECT_EQ(s.NodesPerSecond, 200005);
  EXPECT_EQ(s.ST, 1209600000);
  EXPECT_EQ(UCI.AnalyseOption, 1);
  SetOption("setoption name UCI_AnalyseMode value false");
  EXPECT_EQ(s.Analyze, 0);
  EXPECT_EQ(s.Post, 0);
  EXPECT_EQ(UCI.AnalyseOption, 0);
  s.ST = 3;
  SetOption("setoption name UCI_AnalyseMode value true");
  EXPECT_EQ(s.ST, 3000);
  SetOption("setoption name UCI_AnalyseMode value false");
  s.ST = 0;
}

TEST(UciOptions, UnknownOptionsChangeNothing) {
  const std::uint8_t book = MainStatus.UseBook, line = UCI.ShowCurrLine, ponder = UCI.PonderOption;
  for (const char* text : {"setoption name Hash value 64", "setoption name UCI_EngineAbout value Ponder true",
                           "setoption", "setoption value true", "setoption name"})
    SetOption(text);
  EXPECT_EQ(MainStatus.UseBook, book);
  EXPECT_EQ(UCI.ShowCurrLine, line);
  EXPECT_EQ(UCI.PonderOption, ponder);
}

TEST(UciOptions, NewGameResetsTheGameButKeepsThePonderOption) {
  InitKeysOnce();
  UCI.PonderOption = 1;
  MainStatus.NodesPerSecond = 5000000;
  std::snprintf(UCI.CommandLine, sizeof UCI.CommandLine, "position startpos moves e2e4 e7e5");
  testing::internal::CaptureStdout();
  UCI.SetPosition();
  UCI.StartNewGame();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(MainBoard.AllPieces, 0xFFFF00000000FFFFull);
  EXPECT_EQ(MainBoard.SideToMove, 0);
  EXPECT_EQ(UCI.MoveSide, 0);
  EXPECT_EQ(UCI.State, UCIProtocol::WAITING);
  EXPECT_EQ(MainStatus.NodesPerSecond, 800000);
  EXPECT_EQ(MainStatus.MoveNumber, 1);
  EXPECT_EQ(UCI.PonderOption, 1);
  UCI.PonderOption = 0;
}

}  // namespace
