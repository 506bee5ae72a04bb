// The engine under random command streams (robustness_streams.h) and under the inputs that once hung
// it or broke its board. A bounded number of streams per mode runs here; bench_robustness runs as
// many as wanted.
#include <gtest/gtest.h>

#include <regex>

#include "testkit/robustness_runner.h"

using namespace robustness;
using nelktest::EngineProcess;

namespace {

constexpr int InProcessStreamsPerMode = 10;
constexpr int EngineStreamsPerMode = 5;
constexpr int ReplyMs = 15000;
constexpr int StreamTimeoutMs = 20000;
constexpr int ProbeFens = 12;

// In a child of the test process, with the board checked after every command; then in the engine,
// which must still answer "isready" / "ping" or have ended cleanly.
TEST(Robustness, StreamsKeepTheBoardSoundAndTheEngineAnswering) {
  for (Mode mode : AllModes)
    for (int i = 0; i < InProcessStreamsPerMode; i++) {
      const Verdict v = RunStreamInProcess(MakeStream(mode, 5000 + static_cast<std::uint64_t>(i)), StreamTimeoutMs);
      EXPECT_TRUE(v.Passed) << v.Reason;
    }
  for (Mode mode : AllModes)
    for (int i = 0; i < EngineStreamsPerMode; i++) {
      const Verdict v = RunStreamInEngine(NELK_BINARY, MakeStream(mode, 9000 + static_cast<std::uint64_t>(i)), ReplyMs);
      EXPECT_TRUE(v.Passed) << v.Reason;
    }
}

// Sends `text`, then expects `answer` and a clean exit after "quit".
void ExpectAnswered(const std::string& text, const std::string& answer) {
  EngineProcess engine({});
  engine.SendRaw(text);
  EXPECT_TRUE(engine.WaitFor(answer, ReplyMs)) << "no \"" << answer << "\" after:\n" << text;
  engine.Send("quit");
  EXPECT_EQ(engine.Wait(ReplyMs), 0) << text;
  EXPECT_EQ(SanitizerReportIn(engine.Errors()), nullptr) << engine.Errors();
}

// Searches as deep as "go" allows, console analysis, and self-play during analysis of a finished
// game or of a position the search refuses (no kings) must all still hear commands.
TEST(Robustness, LongSearchesAndFinishedGamesHearCommands) {
  ExpectAnswered("uci\nposition startpos\ngo depth 2147483647\nisready\nstop\n", "bestmove");
  ExpectAnswered("uci\nposition startpos\ngo mate 99999\nisready\n", "readyok");
  ExpectAnswered("hello\nanalyze\nexit\nping 7\n", "pong 7");
  for (const char* fen : {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "KKKKKKKK/kkkkkkkk/8/8/8/8/8/8 w KQkq - 0 1",
                          "8/8/8/8/8/8/8/8 w - - 0 1", "4q3/8/8/8/8/8/8/4K2R w K - 120 90"})
    ExpectAnswered(std::string("xboard\nsetboard ") + fen + "\nanalyze\nselfplay\nping 8\n", "pong 8");
}

// A set-up position with the side not to move in check: taking the king is no move (xboard: the
// set-up session tests).
TEST(Robustness, TakingTheKingIsRefused) {
  ExpectAnswered("uci\nposition fen 4k3/8/8/8/8/8/8/4QK2 w - - 0 1 moves e1e8\nisready\n", "info string error");
}

// Broken and unusual positions: whatever the engine plays must be legal there, and a position without
// a legal move (or without both kings) gets "0000"; with the side not to move in check, either will
// do. (xboard's moves after a broken set-up: the in-process streams check each one.)
TEST(Robustness, MovesInBrokenPositionsAreLegal) {
  static const std::regex uciMove("bestmove (\\S+)");
  Random r(31337);
  for (int i = 0; i < ProbeFens; i++) {
    const std::string fen = RandomFen(r);
    const ChessBoard saved = MainBoard;
    SetupBoard(fen.c_str());
    MainBoard.Recount();
    const ChessBoard board = MainBoard;
    MainBoard = saved;
    const char other = static_cast<char>(board.SideToMove ^ 1);
    const bool reachable = board.HasOneKingEach() && !board.InCheck(other ? board.BlackKing : board.WhiteKing, other);
    const bool hasMove = reachable && HasLegalMove(board, board.SideToMove, board.CastleFlags);
    std::smatch m;
    EngineProcess uci({});
    uci.Send("uci\nposition fen " + fen + "\ngo depth 3");
    ASSERT_TRUE(uci.WaitFor("bestmove ", ReplyMs) && uci.WaitFor("\n", ReplyMs)) << fen;
    ASSERT_TRUE(std::regex_search(uci.Output(), m, uciMove));
    CheckedMove checked;
    EXPECT_TRUE(m[1] == "0000" ? !hasMove : FindLegalMove(m[1].str().c_str(), board, &checked)) << "bestmove " << m[1] << " in " << fen;
    uci.Send("quit");
    EXPECT_EQ(uci.Wait(ReplyMs), 0) << fen;
    EXPECT_EQ(InternalErrorIn(uci.Output()), nullptr) << fen;
  }
}

}  // namespace
