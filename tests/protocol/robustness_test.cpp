// The engine under random command streams (robustness_streams.h) and under the inputs that once hung
// it or broke its board. A bounded number of streams per mode runs here; bench_robustness runs as
// many as wanted.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

#include "engine/GameLoop.h"
#include "protocol/robustness_runner.h"
#include "support/Boards.h"

using namespace robustness;
using nelktest::EngineProcess;

namespace {

constexpr int InProcessStreamsPerMode = 10;
constexpr int EngineStreamsPerMode = 5;
constexpr int ReplyMs = 15000;
constexpr int StreamTimeoutMs = 20000;
constexpr int StreamsLooked = 400;
constexpr int ProbeFens = 12;
constexpr int NoMoveWaitMs = 500;

// In a child of the test process, with the board checked after every command.
TEST(RobustnessInProcess, StreamsKeepTheBoardSound) {
  for (Mode mode : AllModes)
    for (int i = 0; i < InProcessStreamsPerMode; i++) {
      const Verdict v = RunStreamInProcess(MakeStream(mode, 5000 + static_cast<std::uint64_t>(i)), StreamTimeoutMs);
      EXPECT_TRUE(v.Passed) << v.Reason;
    }
}

// The checks find what they are meant to find.
TEST(RobustnessInProcess, StateChecksFindBrokenBoards) {
  ChessBoard b = nelktest::PlacementBoard(nelktest::StartFen), twoOnOne = b, stale = b, rookless = b;
  b.CastleFlags = rookless.CastleFlags = AllCastleRights;
  EXPECT_EQ(GameStateFault(b, true, false), nullptr);
  twoOnOne.WhiteQueens |= b.BlackKing;
  stale.WhitePawns <<= 8;
  rookless.WhiteRooks ^= Masks::H1;
  rookless.WhitePieces ^= Masks::H1;
  rookless.AllPieces ^= Masks::H1;
  for (const ChessBoard& broken : {twoOnOne, stale, rookless}) EXPECT_NE(StructuralFault(broken), nullptr);
  ChessBoard kingless = nelktest::PlacementBoard("rnbq1bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR");
  EXPECT_STREQ(GameStateFault(kingless, true, false), "a king vanished");
  EXPECT_EQ(GameStateFault(kingless, true, true), nullptr);   // set up that way on purpose
}

TEST(RobustnessStreams, StreamsAreSeededAndCoverEveryKindOfBadInput) {
  std::set<Ending> endings;
  int longLines = 0, binary = 0, brokenFen = 0, absurd = 0, edits = 0;
  for (int seed = 0; seed < StreamsLooked; seed++) {
    const Mode mode = AllModes[seed % 4];
    const Stream s = MakeStream(mode, static_cast<std::uint64_t>(seed));
    ASSERT_EQ(s.Text, MakeStream(mode, static_cast<std::uint64_t>(seed)).Text);
    endings.insert(s.End);
    std::size_t longest = 0;
    for (std::size_t start = 0, end; start < s.Text.size(); start = end + 1) {
      end = std::min(s.Text.find('\n', start), s.Text.size());
      longest = std::max(longest, end - start);
    }
    longLines += longest >= static_cast<std::size_t>(OverLongLine);
    binary += std::any_of(s.Text.begin(), s.Text.end(), [](char c) { return c == '\0' || c & 0x80; });
    brokenFen += nelktest::Has(s.Text, "kkkkkkkk") || nelktest::Has(s.Text, "99999999999999999999");
    absurd += nelktest::Has(s.Text, "2147483648") || nelktest::Has(s.Text, " -5");
    edits += mode == Mode::Edit && nelktest::Has(s.Text, "edit\n");
    // The word that chooses the mode comes first (unless the input ends within it).
    const std::string first = s.Text.substr(0, s.Text.find('\n'));
    if (s.End != Ending::EndOfInput) {
      EXPECT_EQ(first == "uci", mode == Mode::Uci);
      EXPECT_EQ(first == "xboard", mode == Mode::Xboard || mode == Mode::Edit);
    }
  }
  EXPECT_NE(MakeStream(Mode::Uci, 77).Text, MakeStream(Mode::Uci, 78).Text);
  EXPECT_EQ(endings.size(), 3u);
  EXPECT_TRUE(longLines > 5 && binary > 20 && brokenFen > 10 && absurd > 20 && edits > 50)
      << longLines << " " << binary << " " << brokenFen << " " << absurd << " " << edits;
}

// The closing check of a UCI stream counts on knowing how many "readyok" it is owed.
TEST(RobustnessStreams, ReadyRequestsAreCountedAsTheEngineReadsLines) {
  EXPECT_EQ(ReadyRequests("uci\nisready\n isready extra\nisready\r\nis\rready\nisready\n"), 5);
  EXPECT_EQ(ReadyRequests("uci\nisreadyx\n\nisre\0ady\n"), 0);
  EXPECT_EQ(ReadyRequests(std::string("uci\nisready\0\nisready\n", 21)), 2);
  EXPECT_EQ(ReadyRequests("isready\n"), 0);   // the first line chooses the protocol
  EXPECT_EQ(ReadyRequests("uci\nquit\nisready\n"), 0);
}

// Afterwards the engine must still answer "isready" / "ping", or have ended cleanly on "quit" or
// the end of input, without a sanitizer report or an internal-error line.
TEST(RobustnessEngine, StreamsLeaveTheEngineAnswering) {
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

// Searches as deep as "go" allows must still hear "stop" and "isready"; at the console nothing but
// the user can end an analysis.
TEST(RobustnessEngine, DeepSearchesAndConsoleAnalysisHearCommands) {
  ExpectAnswered("uci\nposition startpos\ngo depth 2147483647\nisready\nstop\n", "bestmove");
  ExpectAnswered("uci\nposition startpos\ngo mate 99999\nisready\n", "readyok");
  ExpectAnswered("hello\nanalyze\nexit\nping 7\n", "pong 7");
}

// Self-play during analysis of a position without moves, or of one the search refuses (no kings),
// must not spin without reading input.
TEST(RobustnessEngine, AnalysisOfAFinishedGameHearsCommands) {
  for (const char* fen : {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "KKKKKKKK/kkkkkkkk/8/8/8/8/8/8 w KQkq - 0 1",
                          "8/8/8/8/8/8/8/8 w - - 0 1", "4q3/8/8/8/8/8/8/4K2R w K - 120 90"})
    ExpectAnswered(std::string("xboard\nsetboard ") + fen + "\nanalyze\nselfplay\nping 8\n", "pong 8");
}

// A set-up position with the side not to move in check: taking the king is no move.
TEST(RobustnessEngine, TakingTheKingIsRefused) {
  ExpectAnswered("xboard\nforce\nsetboard 4k3/8/8/8/8/8/8/4QK2 w - - 0 1\ne1e8\nping 3\n", "Illegal move: e1e8");
  ExpectAnswered("uci\nposition fen 4k3/8/8/8/8/8/8/4QK2 w - - 0 1 moves e1e8\nisready\n", "info string error");
}

// The board a FEN record gives, read by the engine's own set-up code, and whether the game on it is
// over by the rules the engine applies.
ChessBoard BoardOf(const std::string& fen, bool* gameOver) {
  const ChessBoard saved = MainBoard;
  SetupBoard(fen.c_str());
  RecountMainBoard();
  *gameOver = FindGameEnd() != GameEnd::None;
  const ChessBoard board = MainBoard;
  MainBoard = saved;
  return board;
}

bool Legal(const std::string& move, const ChessBoard& board) {
  CheckedMove checked;
  return FindLegalMove(move.c_str(), board, &checked);
}

// Broken and unusual positions: whatever the engine plays must be legal there; a position without
// a legal move (or without both kings) gets no move at all. In a position that cannot arise in a
// game (the side not to move in check) no move is an answer too.
TEST(RobustnessEngine, MovesInBrokenPositionsAreLegal) {
  static const std::regex uciMove("bestmove (\\S+)"), xboardMove("\n[0-9]+\\. \\.\\.\\. ([a-h][1-8][a-h][1-8][qrbn]?)\n");
  Random r(31337);
  for (int i = 0; i < ProbeFens; i++) {
    const std::string fen = RandomFen(r);
    bool gameOver = false;
    const ChessBoard board = BoardOf(fen, &gameOver);
    const char other = static_cast<char>(board.SideToMove ^ 1);
    const bool reachable = board.HasOneKingEach() && !board.InCheck(other ? board.BlackKing : board.WhiteKing, other);
    const bool hasMove = board.HasOneKingEach() && HasLegalMove(board, board.SideToMove, board.CastleFlags);
    std::smatch m;
    EngineProcess uci({}), xboard({});
    uci.Send("uci\nposition fen " + fen + "\ngo depth 3");
    ASSERT_TRUE(uci.WaitFor("bestmove ", ReplyMs) && uci.WaitFor("\n", ReplyMs)) << fen;
    ASSERT_TRUE(std::regex_search(uci.Output(), m, uciMove));
    if (m[1] != "0000") EXPECT_TRUE(Legal(m[1], board)) << "bestmove " << m[1] << " in " << fen;
    else EXPECT_TRUE(!hasMove || !reachable) << "bestmove 0000 in " << fen;

    xboard.Send("xboard\nnew\nforce\nsetboard " + fen + "\nsd 3\ngo\nping 1");
    ASSERT_TRUE(xboard.WaitFor("pong 1", ReplyMs)) << fen;
    const bool playable = hasMove && reachable && !gameOver;   // else a moment for a move that must not come
    auto moved = [&](const std::string& out) { return std::regex_search(out, m, xboardMove); };
    if (xboard.WaitUntil(moved, playable ? ReplyMs : NoMoveWaitMs)) EXPECT_TRUE(!gameOver && Legal(m[1], board)) << m[1] << " in " << fen;
    else EXPECT_FALSE(playable) << "no move in " << fen;
    for (EngineProcess* engine : {&uci, &xboard}) {
      engine->Send("quit");
      EXPECT_EQ(engine->Wait(ReplyMs), 0) << fen;
      EXPECT_EQ(InternalErrorIn(engine->Output()), nullptr) << fen;
    }
  }
}

}  // namespace
