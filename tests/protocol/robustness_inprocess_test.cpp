// Random streams handed to the command handlers inside a child of the test process, the board
// checked after every command (robustness_driver.h). A bounded number per mode runs here;
// bench_robustness runs as many as wanted.
#include <gtest/gtest.h>

#include "protocol/robustness_runner.h"

using namespace robustness;

namespace {

constexpr int StreamsPerMode = 10;
constexpr std::uint64_t FirstSeed = 5000;
constexpr int StreamTimeoutMs = 20000;

void RunStreams(Mode mode) {
  for (int i = 0; i < StreamsPerMode; i++) {
    const Stream s = MakeStream(mode, FirstSeed + static_cast<std::uint64_t>(i));
    const Verdict v = RunStreamInProcess(s, StreamTimeoutMs);
    EXPECT_TRUE(v.Passed) << v.Reason;
  }
}

}  // namespace

TEST(RobustnessInProcess, UciStreamsKeepTheBoardSound) { RunStreams(Mode::Uci); }
TEST(RobustnessInProcess, XboardStreamsKeepTheBoardSound) { RunStreams(Mode::Xboard); }
TEST(RobustnessInProcess, ConsoleStreamsKeepTheBoardSound) { RunStreams(Mode::Console); }
TEST(RobustnessInProcess, EditStreamsKeepTheBoardSound) { RunStreams(Mode::Edit); }

// The checks themselves catch what they are meant to catch.
TEST(RobustnessInProcess, StateChecksFindBrokenBoards) {
  ChessBoard b;
  b.InitRep();
  b.InitPieceCounts();
  b.WhiteMaterialCount = b.WhiteQueenCount + b.WhiteRookCount + b.WhiteBishopCount + b.WhiteKnightCount + b.WhitePawnCount;
  b.BlackMaterialCount = b.BlackQueenCount + b.BlackRookCount + b.BlackBishopCount + b.BlackKnightCount + b.BlackPawnCount;
  EXPECT_EQ(GameStateFault(b, true, false), nullptr);
  ChessBoard twoOnOne = b;
  twoOnOne.WhiteQueens |= twoOnOne.BlackKing;
  EXPECT_NE(StructuralFault(twoOnOne), nullptr);
  ChessBoard staleOccupancy = b;
  staleOccupancy.WhitePawns <<= 8;
  EXPECT_NE(StructuralFault(staleOccupancy), nullptr);
  ChessBoard rookless = b;
  rookless.WhiteRooks &= ~Masks::H1;
  rookless.WhitePieces &= ~Masks::H1;
  rookless.AllPieces &= ~Masks::H1;
  EXPECT_NE(StructuralFault(rookless), nullptr);   // still castles king side
  ChessBoard kingless = b;
  kingless.BlackKing = 0;
  kingless.BlackPieces &= ~Masks::E8;
  kingless.AllPieces &= ~Masks::E8;
  kingless.CastleFlags = WhiteCastleKing | WhiteCastleQueen;
  EXPECT_NE(GameStateFault(kingless, true, false), nullptr);
  EXPECT_EQ(GameStateFault(kingless, true, true), nullptr);   // set up that way on purpose
}
