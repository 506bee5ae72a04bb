// The command interpreter in-process: argument parsing, and the commands that read no arguments,
// with their effects on the status record, the board, the game record and a running search.
#include <gtest/gtest.h>

#include <string>

#include "board/ChessBoard.h"
#include "engine/GameLoop.h"
#include "engine/Status.h"
#include "hash/MoveHistory.h"
#include "protocol/CommandArgs.h"
#include "protocol/Commands.h"
#include "protocol/HumanMove.h"
#include "search/SearchRoutines.h"

namespace {

TEST(CommandArgs, NumbersClocksAndSeconds) {
  using Parser = bool (*)(const char*, long long*);
  const struct { Parser parse; const char* text; long long value; } good[] = {
      {ParseInteger, "99999999999999999999", ArgumentLimit}, {ParseSecondsAsMs, ".25", 250},
      {ParseSecondsAsMs, "1.23456", 1234}, {ParseSecondsAsMs, "-3", -3000}, {ParseClockAsMs, "5", 300000},
      {ParseClockAsMs, "1:05", 65000}, {ParseClockAsMs, "99999999999:99", ArgumentLimit},
      {ParseClockAsMs, "1.5", 90000},  {ParseClockAsMs, "0:0.5", 500}};
  long long v = 0;
  for (const auto& c : good) EXPECT_TRUE(c.parse(c.text, &v) && v == c.value) << c.text;
  for (const char* bad : {"", "-", "4x", "1.5", " 4"}) EXPECT_FALSE(ParseInteger(bad, &v)) << bad;
  for (const char* bad : {".", "1.2.3", "1s", "0:30"}) EXPECT_FALSE(ParseSecondsAsMs(bad, &v)) << bad;
  for (const char* bad : {":30", "1:", "-5", "1:2:3", "0:-5", "1.5:00"}) EXPECT_FALSE(ParseClockAsMs(bad, &v)) << bad;
  EXPECT_FALSE(ParseInteger(nullptr, &v));
}

struct CommandTest : testing::Test {
  void SetUp() override {
    MainStatus = Status{};
    Commands = CommandSession{};
    Search.Aborted = Search.StopSearch = Search.TimeUp = Search.STInMilliseconds = 0;
    StartNewGame();
  }
  void TearDown() override { Commands.Searching = 0; }
  char Do(const char* word) {
    std::string text = word;
    return DoCommand(text.data());
  }
  // Plays a move on MainBoard as move entry does.
  void Play(int from, int to) {
    const ChessBoard before = MainBoard;
    char mask = AllCastleRights;
    MainBoard.MakeMove(SquareBit(from), SquareBit(to), NoPromotion, &mask);
    CompleteGameMove(before, SquareBit(from), SquareBit(to), mask);
  }
};

TEST_F(CommandTest, WordsCodesAndNew) {
  EXPECT_EQ(Do("h0h9"), CommandLooksLikeMove);   // the shape only; the move check refuses it
  for (const char* word : {"i2i4", "NEW", "", "undo"}) EXPECT_EQ(Do(word), CommandHandled) << word;
  // "new" sets up a counted start position with a fresh repetition history.
  MainBoard.ClearField();
  MoveList.NumMoves = 50;
  MainStatus.Force = 1;
  EXPECT_EQ(Do("new"), CommandActNow);
  EXPECT_EQ(MainBoard.WhiteMaterialCount + MainBoard.BlackMaterialCount, 30);
  EXPECT_TRUE(MoveList.NumMoves == 1 && MainStatus.Force == 0 && FindGameEnd() == GameEnd::None);
  MainStatus.Force = 1;
  EXPECT_TRUE(Do("abort") == CommandActNow && MainStatus.Force == 0);   // a fresh game, as "new" gives
  EXPECT_TRUE(Do("quit") == CommandQuit && Commands.QuitRequested == 1);
}

TEST_F(CommandTest, AnalyzeReplacesAndExitRestoresTheFixedTime) {
  MainStatus.ST = 5;
  EXPECT_EQ(Do("analyze"), CommandActNow);
  EXPECT_EQ(Do("analyze"), CommandActNow);   // again: still five seconds, not five thousand
  EXPECT_EQ(MainStatus.ST, 5000);
  EXPECT_EQ(Do("exit"), CommandActNow);
  EXPECT_TRUE(MainStatus.Analyze == 0 && MainStatus.ST == 5 && Search.Aborted == 1);
}

TEST_F(CommandTest, CommandsDuringASearch) {
  EXPECT_TRUE(Do("?") == CommandHandled && Search.StopSearch == 0);   // idle: nothing to stop
  Commands.Searching = 1;
  EXPECT_EQ(Do("?"), CommandHandled);
  EXPECT_TRUE(Search.StopSearch && Search.TimeUp && !Search.Aborted);   // the best move so far is played
  // While the engine thinks on its own move a move word changes nothing, legal or not.
  char word[CommandWordSize];
  for (const char* move : {"e2e5", "e2e4"}) EXPECT_EQ(Do(move), CommandHandled) << move;
  EXPECT_FALSE(Commands.TakePendingMove(word, sizeof word));
  // Position changes and force mode end the search without a move; the history stays the search's.
  const int entries = MoveList.NumMoves;
  for (const char* command : {"force", "black", "new"}) EXPECT_EQ(Do(command), CommandActNow) << command;
  EXPECT_EQ(MoveList.NumMoves, entries);
  EXPECT_TRUE(Do("quit") == CommandQuit && Search.Aborted == 1);
  // In analysis a legal move ends the search and waits to be played; "?" leaves the analysis.
  Search.Aborted = 0;
  StartNewGame();
  Do("analyze");
  EXPECT_EQ(Do("e2e5"), CommandHandled);
  EXPECT_EQ(Do("e2e4"), CommandActNow);
  ASSERT_TRUE(Commands.TakePendingMove(word, sizeof word));
  EXPECT_STREQ(word, "e2e4");
  EXPECT_EQ(Do("?"), CommandActNow);
  EXPECT_TRUE(Search.Aborted && !MainStatus.Analyze);
}

// The start-up's first word, when it chose no protocol, is the first word move entry reads: a move
// is played. A command on a line of its own takes no argument from the next line.
TEST_F(CommandTest, TheFirstWordIsTheFirstInput) {
  char word[CommandWordSize];
  KeepFirstWord("sd", false);
  ASSERT_TRUE(NextCommandWord(word, sizeof word));
  EXPECT_STREQ(word, "sd");
  MainBoard.MaxDepth = 9;
  EXPECT_EQ(DoCommand(word), CommandHandled);
  EXPECT_EQ(MainBoard.MaxDepth, 9);
  KeepFirstWord("e2e4", false);
  EXPECT_EQ(HumanMove(), ResultMovePlayed);
  EXPECT_TRUE(MainBoard.SideToMove == 1 && (MainBoard.WhitePawns & SquareBit(28)));
}

TEST_F(CommandTest, GameRecordCastlingHistoryAndTakebacks) {
  EXPECT_EQ(Do("undo"), CommandHandled);   // nothing to take back
  Play(12, 28);   // e2e4
  Play(62, 45);   // g8f6
  EXPECT_EQ(MoveList.NumMoves, 2);   // positions since the pawn move
  const ChessBoard afterOne = MainBoard;
  Play(6, 21);    // g1f3
  Play(63, 62);   // the rook leaves h8
  EXPECT_EQ(Do("remove"), CommandHandled);
  EXPECT_TRUE(MainBoard.AllPieces == afterOne.AllPieces && MainBoard.CastleFlags == AllCastleRights);
  EXPECT_EQ(MoveList.NumMoves, 2);   // the rook's right comes back with the takeback
  // Knights back and forth: the history stays bounded, with room for a search on top.
  const int shuffle[4][2] = {{6, 21}, {45, 62}, {21, 6}, {62, 45}};
  for (int i = 0; i < 800; i++) Play(shuffle[i % 4][0], shuffle[i % 4][1]);
  EXPECT_LE(MoveList.NumMoves, 300);
  // In analysis a takeback starts the analysis again on the earlier position.
  Do("analyze");
  EXPECT_EQ(Do("undo"), CommandActNow);
  EXPECT_EQ(MainStatus.OpponentToMove, 0);
}

}  // namespace
