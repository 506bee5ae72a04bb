// The UCI handler in-process: "position" set-up and move lists (castling rights, en passant,
// promotions, the repetition history, very long games), the words they are made of, and the
// settings "setoption" and "ucinewgame" change.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/Status.h"
#include "hash/MoveHistory.h"
#include "hash/Zobrist.h"
#include "protocol/UCIProtocol.h"
#include "protocol/UciMoves.h"
#include "protocol/UciWords.h"
#include "search/SearchRoutines.h"
#include "support/Boards.h"
#include "testkit/Text.h"

namespace {

using nelktest::Bit;
using nelktest::Has;

// Runs one command line through `handler`; returns what it printed.
std::string RunLine(const std::string& line, void (UCIProtocol::*handler)() = &UCIProtocol::SetPosition) {
  InitKeysOnce();
  MainStatus.UCIMode = 1;
  std::snprintf(UCI.CommandLine, sizeof UCI.CommandLine, "%s", line.c_str());
  testing::internal::CaptureStdout();
  (UCI.*handler)();
  return testing::internal::GetCapturedStdout();
}

std::string Position(const std::string& line) { return RunLine(line); }
void SetOption(const std::string& line) { RunLine(line, &UCIProtocol::SetOption); }

TEST(UciWords, IntegersAndMoveText) {
  int v = 7;
  EXPECT_TRUE(ParseInteger("99999999999", &v) && v == 2147483647);
  EXPECT_TRUE(ParseInteger("-99999999999", &v) && v == -2147483647 - 1);
  for (const char* bad : {"", "-", "12a", "1e5", "0x10"}) EXPECT_FALSE(ParseInteger(bad, &v)) << bad;
  EXPECT_EQ(FindWord("go movestogo 5", "moves"), -1);
  char text[UciMoveTextSize];
  WriteUciMove(text, 9, 0, BlackKnightCode);
  EXPECT_STREQ(text, "b2a1n");
}

TEST(UciPosition, MoveListSetsSideToMoveAndHistory) {
  Position("position startpos moves e2e4 e7e5");
  EXPECT_EQ(MainBoard.SideToMove, 0);
  EXPECT_EQ(MainStatus.MoveNumber, 2);
  EXPECT_TRUE((MainBoard.WhitePawns & Bit("e4")) && (MainBoard.BlackPawns & Bit("e5")));
  Position("position fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1 moves e7e5 g1f3");
  EXPECT_TRUE(MainBoard.SideToMove == 1 && UCI.MoveSide == 1);
  // The history's top is the position as the search will hash it.
  std::uint64_t upper = 0, lower = 0;
  genhashcode(1, MainBoard.CastleFlags, &upper, &lower, MainBoard);
  ASSERT_GT(MoveList.NumMoves, 0);
  EXPECT_EQ(MoveList.Entries[MoveList.NumMoves - 1].Upper, upper);
  EXPECT_EQ(MoveList.Entries[MoveList.NumMoves - 1].Lower, lower);
}

TEST(UciPosition, CastlingEnPassantAndPromotions) {
  Position("position startpos moves e2e4 e7e5 g1f3 b8c6 f1c4 f8c5 e1g1");
  EXPECT_TRUE(MainBoard.WhiteKing == Bit("g1") && (MainBoard.WhiteRooks & Bit("f1")));
  EXPECT_EQ(MainBoard.CastleFlags, BlackCastleKing | BlackCastleQueen);
  // A rook taken in its corner takes that right along.
  EXPECT_TRUE(Has(Position("position fen r3k2r/8/8/8/8/8/6B1/R3K2R w KQkq - 0 1 moves g2a8 e8c8"),
                  "info string error: move 2 \"e8c8\""));
  EXPECT_EQ(MainBoard.CastleFlags, WhiteCastleKing | WhiteCastleQueen | BlackCastleKing);
  // En passant only straight after the double step.
  Position("position startpos moves e2e4 a7a6 e4e5 d7d5 e5d6");
  EXPECT_EQ(MainBoard.BlackPawnCount, 7);
  EXPECT_TRUE(Has(Position("position startpos moves e2e4 a7a6 e4e5 d7d5 h2h3 a6a5 e5d6"), "move 7 \"e5d6\""));
  // Promotions name their piece; without a letter it is a queen.
  EXPECT_EQ(Position("position fen 1r2k3/P7/8/8/8/8/7p/4K3 w - - 0 1 moves a7b8n h2h1r"), "");
  EXPECT_TRUE(MainBoard.WhiteKnights == Bit("b8") && MainBoard.BlackRooks == Bit("h1"));
  Position("position fen 1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8");
  EXPECT_EQ(MainBoard.WhiteQueens, Bit("a8"));
}

// The replay stops at the first move that is malformed or illegal (MoveCheck tests which are).
TEST(UciPosition, MalformedAndIllegalMovesStopTheReplay) {
  const std::pair<const char*, int> cases[] = {   // the line, and the moves kept
      {"position startpos moves e2e4 e9e5 d7d5", 1}, {"position startpos moves e2e4e5", 0},
      {"position startpos moves e7e5", 0},           {"position startpos moves e2e4 e7e5 e1e2 e8e7 e2e4", 4}};
  for (const auto& [line, kept] : cases) {
    const std::string out = Position(line);
    EXPECT_TRUE(Has(out, "info string error: move " + std::to_string(kept + 1))) << line << "\n" << out;
    EXPECT_EQ(MainStatus.MoveNumber, kept) << line;
  }
  EXPECT_TRUE(Has(Position("position startpos moves e2e4 \x01\x02\x03"), "\"???\""));
  EXPECT_TRUE(Has(Position("position sideways"), "info string error"));
}

TEST(UciPosition, RepetitionIsVisibleToTheSearchAndLongGamesStayInBounds) {
  Position("position startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8");
  const HistoryEntry& top = MoveList.Entries[MoveList.NumMoves - 1];
  EXPECT_EQ(MoveList.ThreeFoldRepDetection(MainBoard.FiftyMoveCount, top.Upper, top.Lower), 1);
  Position("position startpos moves g1f3 g8f6 f3g1 f6g8 e2e4");   // a pawn move starts the history afresh
  EXPECT_EQ(MoveList.NumMoves, 1);
  std::string line = "position startpos moves";
  for (int i = 0; i < 500; i++) line += " g1f3 g8f6 f3g1 f6g8";
  EXPECT_FALSE(Has(Position(line), "error"));
  EXPECT_EQ(MainStatus.MoveNumber, 2000);
  EXPECT_LE(MoveList.NumMoves, 256);
  EXPECT_EQ(MainBoard.AllPieces, 0xFFFF00000000FFFFull);
}

TEST(UciOptions, OptionsAndNewGame) {
  MainStatus.Pondering = 1;
  SetOption("setoption name secondarybook value TRUE");   // names and values in any case
  SetOption("setoption name Ponder value true");           // allows pondering, does not start it
  EXPECT_TRUE(MainStatus.UseBook == 1 && UCI.PonderOption == 1 && MainStatus.Pondering == 0);
  const std::uint8_t book = MainStatus.UseBook, line = UCI.ShowCurrLine;
  for (const char* text : {"setoption name UCI_EngineAbout value Ponder false", "setoption", "setoption name"}) SetOption(text);
  EXPECT_TRUE(MainStatus.UseBook == book && UCI.ShowCurrLine == line && UCI.PonderOption == 1);
  // Analysis mode turns a fixed time in seconds into milliseconds, and leaves it on the way out.
  MainStatus.ST = 3;
  SetOption("setoption name UCI_AnalyseMode value true");
  EXPECT_TRUE(MainStatus.ST == 3000 && MainStatus.Analyze == 1);
  SetOption("setoption name UCI_AnalyseMode value false");
  EXPECT_TRUE(UCI.AnalyseOption == 0 && MainStatus.Analyze == 0);
  MainStatus.ST = 0;
  // A new game resets the game but keeps the ponder option.
  Position("position startpos moves e2e4 e7e5");
  RunLine("ucinewgame", &UCIProtocol::StartNewGame);
  EXPECT_EQ(MainBoard.AllPieces, 0xFFFF00000000FFFFull);
  EXPECT_TRUE(MainBoard.SideToMove == 0 && MainStatus.MoveNumber == 1 && UCI.State == UCIProtocol::WAITING);
  EXPECT_EQ(UCI.PonderOption, 1);
  SetOption("setoption name Ponder");
  EXPECT_EQ(UCI.PonderOption, 0);
}

// The capture-search mode learns its move ordering over a whole game: the "position" command of each
// move keeps its histories, which only "ucinewgame" clears; the plain search starts every move afresh.
TEST(UciPosition, TheCaptureSearchModeKeepsItsHistoriesFromMoveToMove) {
  const int move = 100;
  auto learn = [&] {
    Search.History[0][move] = 777;
    Search.Continuations.Counters[3][5] = 55;
  };
  auto kept = [&] { return Search.History[0][move] == 777 && Search.Continuations.Score(3, 5) == 55; };
  auto cleared = [&] { return Search.History[0][move] == 0 && Search.Continuations.Score(3, 5) == 0; };

  SetOption("setoption name CaptureSearch value true");
  learn();
  Position("position startpos moves e2e4");
  Position("position fen 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
  EXPECT_TRUE(kept());
  RunLine("ucinewgame", &UCIProtocol::StartNewGame);
  EXPECT_TRUE(cleared());

  SetOption("setoption name CaptureSearch value false");
  learn();
  Position("position startpos moves e2e4");
  EXPECT_TRUE(cleared());
}

}  // namespace
