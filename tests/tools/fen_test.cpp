// Reading and writing FEN records: the fields, the checks on each, and texts of any shape.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "board/Masks.h"
#include "support/Boards.h"
#include "testkit/GameBoard.h"
#include "testkit/RunEngine.h"
#include "tools/Fen.h"

namespace {

using nelktest::Bit;

std::string FenOf(const ChessBoard& board) {
  char text[FenBufferSize];
  pos2fenString(board, text);
  return text;
}

struct FenTest : testing::Test {
  void SetUp() override { MainBoard = ChessBoard{}; }
  const ChessBoard& Setup(const std::string& fen) {
    std::string text = fen;   // SetupBoard must not need more than the text it is given
    SetupBoard(text.data());
    return MainBoard;
  }
};

TEST_F(FenTest, StartPositionSideToMoveAndWriting) {
  MainBoard.CastleFlags = 15;
  MainBoard.LastFrom = Bit("e2");
  Setup("8/8/8/8/8/8/8/8 W - -");
  EXPECT_EQ(MainBoard.AllPieces | MainBoard.SideToMove | MainBoard.CastleFlags | MainBoard.LastFrom, 0u);
  EXPECT_EQ(Setup("8/8/8/8/8/8/8/8 b - -").SideToMove, 1);
  EXPECT_EQ(Setup(" b KQ").SideToMove, 1);   // no placement: empty board, the fields behind it still read
  Setup(nelktest::StartFen);
  EXPECT_EQ(MainBoard.WhitePieces, 0xffffULL);
  EXPECT_EQ(MainBoard.BlackQueens, Bit("d8"));
  EXPECT_EQ(FenOf(MainBoard), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 ; ");
  testing::internal::CaptureStdout();
  pos2fen(MainBoard, 7);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), FenOf(MainBoard) + "7 \n");
}

// Every position of the perft suite is written back with the same placement and side, and reads
// back as the same board.
TEST_F(FenTest, SuitePositionsRoundTrip) {
  std::ifstream suite(std::string(NELK_TEST_DATA) + "/perft-suite.epd");
  int positions = 0;
  for (std::string line; std::getline(suite, line);) {
    if (line.empty() || line[0] == '#') continue;
    const ChessBoard first = Setup(line);
    const std::string written = FenOf(first);
    const std::size_t sideEnd = line.find(' ', line.find(' ') + 1);
    EXPECT_EQ(written.substr(0, sideEnd + 1), line.substr(0, sideEnd + 1)) << line;
    EXPECT_EQ(Setup(written).AllPieces, first.AllPieces);
    EXPECT_EQ(FenOf(MainBoard), written);
    positions++;
  }
  EXPECT_GT(positions, 20);
}

TEST_F(FenTest, CastlingRightsNeedKingAndRookAtHome) {
  const std::pair<const char*, int> cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w Kq -", 9}, {"r3k2r/8/8/8/8/8/8/R3K2R w KKKKKKKKKKKKKKKK -", 1},
      {"r3k2r/8/8/8/8/8/8/R3K2R w xKQkq5 -", 15},
      {"r3k3/8/8/8/8/8/8/R2K3R w KQkq -", 8},   // white king off e1, black rook off h8
      {"4k2r/8/8/8/8/8/8/4K2R w -KQkq -", 0}, {"r3k2r/8/8/8/8/8/8/R3K2R w", 0}};
  for (const auto& [fen, rights] : cases) EXPECT_EQ(Setup(fen).CastleFlags, rights) << fen;
}

TEST_F(FenTest, EnPassantSquareBecomesTheLastMoveWhenConsistent) {
  Setup("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3");
  EXPECT_TRUE(MainBoard.LastFrom == Bit("f7") && MainBoard.LastTo == Bit("f5"));
  const std::string placement = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR ";
  EXPECT_EQ(Setup(placement + "b KQkq e3 0 1").LastFrom, Bit("e2"));
  const std::string inconsistent[] = {
      placement + "w KQkq e3 0 1",   // wrong side to move
      "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq e3 0 1",     // no pawn in front
      "rnbqkbnr/pppppppp/8/8/4P3/4N3/PPPP1PPP/RNBQKB1R b KQkq e3 0 1",   // passed square occupied
      placement + "b KQkq e4 0 1",   // not the passed square
      placement + "b KQkq e33 0 1", placement + "b KQkq - 0 1", placement + "b KQkq"};
  for (const std::string& fen : inconsistent) {
    MainBoard.LastFrom = MainBoard.LastTo = 1;
    Setup(fen);
    EXPECT_EQ(MainBoard.LastFrom | MainBoard.LastTo, 0u) << fen;
  }
}

TEST_F(FenTest, HalfMoveClock) {
  EXPECT_EQ(Setup("4k3/8/8/8/8/8/8/4K3 w - - 37 80").FiftyMoveCount, 37);
  for (const char* clock : {"", "x", "-3", "4x"}) {
    MainBoard.FiftyMoveCount = 5;
    EXPECT_EQ(Setup(std::string("4k3/8/8/8/8/8/8/4K3 w - - ") + clock).FiftyMoveCount, 0) << clock;
  }
  const int huge = Setup("4k3/8/8/8/8/8/8/4K3 w - - 99999999999999999999").FiftyMoveCount;
  EXPECT_TRUE(huge > 99 && huge < 100000) << huge;
}

TEST_F(FenTest, MalformedPlacementsStayOnTheBoard) {
  EXPECT_EQ(Setup("pppppppppppp/8/8/8/8/8/8/8 w - -").BlackPawns, Masks::Rank8);   // too many squares on a rank
  EXPECT_EQ(Setup("8/8/8/8/8/8/8/8/PPPPPPPP/8/PPPP w - -").AllPieces, 0u);           // too many ranks
  Setup("8p/7P1/88k/9K/0000/8/8/8 w - -");
  EXPECT_EQ(MainBoard.AllPieces & ~(Masks::Rank8 | Masks::Rank7 | Masks::Rank6 | Masks::Rank5 | Masks::Rank4), 0u);
  EXPECT_TRUE(MainBoard.BlackPawns == 0u && MainBoard.WhitePawns == Bit("h7"));
  Setup(std::string(100000, 'Q') + " b KQkq e3 " + std::string(5000, '7'));
  EXPECT_TRUE(MainBoard.WhiteQueens == Masks::Rank8 && MainBoard.SideToMove == 1);
  EXPECT_EQ(Setup("K6K/8/8/8/8/8/8/7k w - -").WhiteKing, Bit("h8"));   // a second king letter moves the king
  EXPECT_EQ(MainBoard.AllPieces, Bit("h8") | Bit("h1"));
  EXPECT_EQ(Setup("xP6/8/8/8/8/8/8/8 w - -").WhitePawns, Bit("b8"));   // unknown letters still take a square
  EXPECT_EQ(Setup("").AllPieces, 0u);
  SetupBoard(nullptr);
  EXPECT_EQ(MainBoard.AllPieces, 0u);
  AddPiece('Q', -1);
  AddPiece('Q', 64);
  AddPiece('X', 3);
  EXPECT_EQ(MainBoard.WhiteQueens | MainBoard.WhitePawns, 0u);
}

// Random texts from FEN characters: each square is visited at most once, so the piece sets never
// overlap, and the rights and the last move always agree with the board.
TEST_F(FenTest, RandomTextsGiveAConsistentBoard) {
  const std::string alphabet = "pnbrqkPNBRQK0123456789/ -wKQkqe3e6";
  std::uint32_t seed = 12345;
  auto next = [&seed] { seed = seed * 1103515245u + 12345u; return seed >> 16; };
  for (int round = 0; round < 3000; round++) {
    std::string text;
    for (std::uint32_t i = 0, length = next() % 120; i < length; i++) text += alphabet[next() % alphabet.size()];
    ChessBoard b = Setup(text);
    int pieces = 0;
    for (char letter : std::string("pnbrqkPNBRQK")) pieces += __builtin_popcountll(*nelktest::PieceSetOf(b, letter));
    ASSERT_EQ(pieces, __builtin_popcountll(b.AllPieces)) << text;
    ASSERT_EQ(b.WhitePieces | b.BlackPieces, b.AllPieces) << text;
    ASSERT_TRUE(!(b.CastleFlags & 3) || b.WhiteKing == Bit("e1")) << text;
    ASSERT_TRUE(!(b.CastleFlags & 12) || b.BlackKing == Bit("e8")) << text;
    ASSERT_TRUE(!b.LastTo || (b.LastTo & (b.SideToMove ? b.WhitePawns : b.BlackPawns))) << text;
  }
}

TEST(FenTextTest, FullBoardFitsTheBuffer) {
  ChessBoard board;
  board.WhitePawns = board.WhitePieces = board.AllPieces = ~0ULL;
  board.CastleFlags = 15;
  board.SideToMove = 1;
  char text[FenBufferSize + 1];
  text[FenBufferSize] = 'X';
  pos2fenString(board, text);
  EXPECT_EQ(text[FenBufferSize], 'X');
  EXPECT_EQ(std::strlen(text), static_cast<std::size_t>(FenBufferSize - 1));
  EXPECT_EQ(std::string(text).substr(71), " b KQkq - 0 ; ");
}

TEST(FenFileTest, LoadsTheFirstLineOnly) {
  nelktest::TempDir dir;
  ASSERT_TRUE(dir.Write("two.fen", "4k3/8/8/8/8/8/8/4K3 b - -\r\n8/8/8/8/8/8/8/8 w - -\n"));
  MainBoard = ChessBoard{};
  LoadPositionFile(dir.File("two.fen").c_str());
  EXPECT_EQ(MainBoard.AllPieces, Bit("e1") | Bit("e8"));
  EXPECT_EQ(MainBoard.SideToMove, 1);
}

}  // namespace
