// "setoption" and "ucinewgame" in-process: the settings each option changes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include "engine/Status.h"
#include "hash/Zobrist.h"
#include "protocol/UCIProtocol.h"

namespace {

void SetOption(const std::string& line) {
  std::snprintf(UCI.CommandLine, sizeof UCI.CommandLine, "%s", line.c_str());
  UCI.SetOption();
}

TEST(UciOptions, EachOptionSetsItsField) {
  const struct { const char* line; const std::uint8_t* field; int value; } cases[] = {
      {"setoption name OwnBook value true", &MainStatus.UseBook, 1},
      {"setoption name OwnBook value false", &MainStatus.UseBook, 0},
      {"setoption name secondarybook value TRUE", &MainStatus.UseBook, 1},
      {"setoption name UCI_ShowCurrLine value false", &UCI.ShowCurrLine, 0},
      {"setoption name Ponder value true", &UCI.PonderOption, 1},
      {"setoption name Ponder value true", &MainStatus.Pondering, 0},
      {"setoption name Ponder value false", &UCI.PonderOption, 0},
      {"setoption name Ponder", &UCI.PonderOption, 0},
      {"setoption name UCI_AnalyseMode value true", &MainStatus.Analyze, 1},
      {"setoption name UCI_AnalyseMode value false", &MainStatus.Analyze, 0},
  };
  MainStatus.Pondering = 1;
  for (const auto& c : cases) {
    SetOption(c.line);
    EXPECT_EQ(*c.field, c.value) << c.line;
  }
  // Unknown options and malformed lines change nothing.
  const std::uint8_t book = MainStatus.UseBook, line = UCI.ShowCurrLine, ponder = UCI.PonderOption;
  for (const char* text : {"setoption name Hash value 64", "setoption name UCI_EngineAbout value Ponder true",
                           "setoption", "setoption value true", "setoption name"})
    SetOption(text);
  EXPECT_TRUE(MainStatus.UseBook == book && UCI.ShowCurrLine == line && UCI.PonderOption == ponder);
}

// Analysis mode turns a fixed time in seconds into milliseconds once, and leaves it on the way out.
TEST(UciOptions, AnalyseModeKeepsAFixedTime) {
  MainStatus.ST = 3;
  MainStatus.Force = MainStatus.OpponentToMove = 1;
  SetOption("setoption name UCI_AnalyseMode value true");
  EXPECT_EQ(MainStatus.ST, 3000);
  EXPECT_EQ(MainStatus.Force + MainStatus.OpponentToMove, 0);
  SetOption("setoption name UCI_AnalyseMode value false");
  EXPECT_EQ(UCI.AnalyseOption, 0);
  MainStatus.ST = 0;
}

TEST(UciOptions, NewGameResetsTheGameButKeepsThePonderOption) {
  InitKeysOnce();
  UCI.PonderOption = 1;
  std::snprintf(UCI.CommandLine, sizeof UCI.CommandLine, "position startpos moves e2e4 e7e5");
  testing::internal::CaptureStdout();
  UCI.SetPosition();
  UCI.StartNewGame();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(MainBoard.AllPieces, 0xFFFF00000000FFFFull);
  EXPECT_TRUE(MainBoard.SideToMove == 0 && UCI.MoveSide == 0 && MainStatus.MoveNumber == 1);
  EXPECT_EQ(UCI.State, UCIProtocol::WAITING);
  EXPECT_EQ(UCI.PonderOption, 1);
  UCI.PonderOption = 0;
}

}  // namespace
