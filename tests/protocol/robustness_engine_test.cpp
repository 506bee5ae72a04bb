// The nelk program under random streams and under the inputs that once hung it: afterwards it must
// still answer "isready" / "ping", or have ended cleanly on "quit" or the end of input, without a
// sanitizer report or an internal-error line. Positions with broken FEN records must never make it
// play an illegal move.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "protocol/robustness_runner.h"

using namespace robustness;

namespace {

constexpr int StreamsPerMode = 6;
constexpr std::uint64_t FirstSeed = 9000;
constexpr int ReplyMs = 15000;
constexpr int ProbeFens = 12;
constexpr int NoMoveWaitMs = 500;

EngineTimes Times() {
  EngineTimes t;
  t.ReplyMs = t.ExitMs = ReplyMs;
  return t;
}

void RunStreams(Mode mode) {
  for (int i = 0; i < StreamsPerMode; i++) {
    const Stream s = MakeStream(mode, FirstSeed + static_cast<std::uint64_t>(i));
    const Verdict v = RunStreamInEngine(NELK_BINARY, s, Times());
    EXPECT_TRUE(v.Passed) << v.Reason;
  }
}

// Sends `text`, then expects `answer` and a clean exit after "quit".
void ExpectAnswered(const std::string& text, const std::string& answer) {
  EngineSession engine(NELK_BINARY);
  ASSERT_TRUE(engine.Started());
  engine.Send(text);
  EXPECT_NE(engine.WaitFor(answer, 0, ReplyMs), std::string::npos) << "no \"" << answer << "\" after:\n" << text;
  engine.Send("quit\n");
  EXPECT_TRUE(engine.WaitForExit(ReplyMs)) << text;
  EXPECT_EQ(engine.ExitStatus(), 0) << text;
  EXPECT_EQ(SanitizerReportIn(engine.Errors()), nullptr) << engine.Errors();
}

// The board a FEN record gives, read by the engine's own set-up code, and whether the game on it
// is over by the rules the engine applies.
ChessBoard BoardOf(const std::string& fen, bool* gameOver) {
  const ChessBoard saved = MainBoard;
  SetupBoard(fen.c_str());
  RecountMainBoard();
  *gameOver = FindGameEnd() != GameEnd::None;
  const ChessBoard board = MainBoard;
  MainBoard = saved;
  return board;
}

// A position that can arise in a game: one king each, the side not to move not in check.
bool Reachable(const ChessBoard& b) {
  if (!b.HasOneKingEach()) return false;
  const char other = static_cast<char>(b.SideToMove ^ 1);
  return !b.InCheck(other ? b.BlackKing : b.WhiteKing, other);
}

bool Legal(const std::string& move, const ChessBoard& board) {
  CheckedMove checked;
  return FindLegalMove(move.c_str(), board, &checked);
}

}  // namespace

TEST(RobustnessEngine, UciStreamsLeaveTheEngineAnswering) { RunStreams(Mode::Uci); }
TEST(RobustnessEngine, XboardStreamsLeaveTheEngineAnswering) { RunStreams(Mode::Xboard); }
TEST(RobustnessEngine, ConsoleStreamsLeaveTheEngineAnswering) { RunStreams(Mode::Console); }
TEST(RobustnessEngine, EditStreamsLeaveTheEngineAnswering) { RunStreams(Mode::Edit); }

// A fixed-depth search as deep as "go depth" allows must still hear "stop" and "isready".
TEST(RobustnessEngine, DeepFixedDepthSearchHearsStop) {
  ExpectAnswered("uci\nposition startpos\ngo depth 2147483647\nisready\nstop\n", "bestmove");
  ExpectAnswered("uci\nposition startpos\ngo mate 99999\nisready\n", "readyok");
}

// At the console nothing but the user can end an analysis. (The engine's own move is thought
// about without reading input, as console play has always done.)
TEST(RobustnessEngine, ConsoleAnalysisHearsCommands) {
  ExpectAnswered("hello\nanalyze\nexit\nping 7\n", "pong 7");
}

// Self-play during analysis of a position without moves must not spin without reading input.
TEST(RobustnessEngine, AnalysisOfAFinishedGameHearsCommands) {
  ExpectAnswered("xboard\nsetboard 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1\nanalyze\nselfplay\nping 8\n", "pong 8");
  ExpectAnswered("xboard\nsetboard KKKKKKKK/kkkkkkkk/8/8/8/8/8/8 w KQkq - 0 1\nanalyze\nselfplay\nping 9\n", "pong 9");
  // A position the search refuses (no kings) is no position to analyse again and again either.
  ExpectAnswered("xboard\nsetboard 8/8/8/8/8/8/8/8 w - - 0 1\nanalyze\nselfplay\nping 10\n", "pong 10");
  ExpectAnswered("xboard\nsetboard 4q3/8/8/8/8/8/8/4K2R w K - 120 90\nanalyze\nselfplay\nping 11\n", "pong 11");
}

// A set-up position with the side not to move in check: taking the king is no move; the board
// must keep both kings.
TEST(RobustnessEngine, TakingTheKingIsRefused) {
  ExpectAnswered("xboard\nforce\nsetboard 4k3/8/8/8/8/8/8/4QK2 w - - 0 1\ne1e8\nping 3\n", "Illegal move: e1e8");
  ExpectAnswered("uci\nposition fen 4k3/8/8/8/8/8/8/4QK2 w - - 0 1 moves e1e8\nisready\n", "info string error");
}

// Broken and unusual positions: whatever the engine plays must be legal there; a position without
// a legal move (or without both kings) gets no move at all. In a position that cannot arise in a
// game (the side not to move in check) no move is an answer too.
TEST(RobustnessEngine, MovesInBrokenPositionsAreLegal) {
  Random r(31337);
  for (int i = 0; i < ProbeFens; i++) {
    const std::string fen = RandomFen(r);
    bool gameOver = false;
    const ChessBoard board = BoardOf(fen, &gameOver);
    const bool hasMove = board.HasOneKingEach() && HasLegalMove(board, board.SideToMove, board.CastleFlags);
    const bool reachable = Reachable(board);
    EngineSession uci(NELK_BINARY);
    uci.Send("uci\nposition fen " + fen + "\ngo depth 3\n");
    const std::size_t at = uci.WaitFor("bestmove ", 0, ReplyMs);
    ASSERT_NE(at, std::string::npos) << "no bestmove for " << fen;
    uci.WaitFor("\n", at, ReplyMs);
    const std::string line = uci.Output().substr(at + 9, uci.Output().find('\n', at) - at - 9);
    const std::string move = line.substr(0, line.find(' '));
    if (move != "0000") {
      EXPECT_TRUE(Legal(move, board)) << "bestmove " << move << " in " << fen;
    } else {
      EXPECT_TRUE(!hasMove || !reachable) << "bestmove 0000 in " << fen;
    }
    uci.Send("quit\n");
    EXPECT_TRUE(uci.WaitForExit(ReplyMs));
    EXPECT_EQ(InternalErrorIn(uci.Output()), nullptr) << fen;

    EngineSession xboard(NELK_BINARY);
    xboard.Send("xboard\nnew\nforce\nsetboard " + fen + "\nsd 3\ngo\nping 1\n");
    ASSERT_NE(xboard.WaitFor("pong 1", 0, ReplyMs), std::string::npos) << fen;
    std::smatch m;
    static const std::regex moveLine("\\n[0-9]+\\. \\.\\.\\. ([a-h][1-8][a-h][1-8][qrbn]?)\\n");
    // A position without moves gets a moment for a move that must not come.
    const bool playable = hasMove && reachable && !gameOver;
    xboard.WaitUntil([&](const std::string& out) { return std::regex_search(out, m, moveLine); },
                     playable ? ReplyMs : NoMoveWaitMs);
    if (std::regex_search(xboard.Output(), m, moveLine)) {
      EXPECT_TRUE(!gameOver && Legal(m[1], board)) << m[1] << " in " << fen;
    } else {
      EXPECT_FALSE(playable) << "no move in " << fen;
    }
    xboard.Send("quit\n");
    EXPECT_TRUE(xboard.WaitForExit(ReplyMs));
    EXPECT_EQ(InternalErrorIn(xboard.Output()), nullptr) << fen;
  }
}
