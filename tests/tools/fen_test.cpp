#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "board/ChessBoard.h"
#include "board/Masks.h"
#include "support/RunEngine.h"
#include "tools/Fen.h"

namespace {

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

SquareSet Sq(const char* name) { return SquareSet{1} << ((name[1] - '1') * 8 + (name[0] - 'a')); }

std::string FenOf(const ChessBoard& board) {
  char text[FenBufferSize];
  pos2fenString(board, text);
  return text;
}

struct FenTest : testing::Test {
  void SetUp() override { MainBoard = ChessBoard{}; }
  void Setup(const std::string& fen) {
    std::string text = fen;   // SetupBoard must not need more than the text it is given
    SetupBoard(text.data());
  }
};

TEST_F(FenTest, EmptyBoardAndSideToMove) {
  MainBoard.SideToMove = 1;
  MainBoard.CastleFlags = 15;
  MainBoard.LastFrom = Sq("e2");
  Setup("8/8/8/8/8/8/8/8 w - -");
  EXPECT_EQ(MainBoard.AllPieces, 0u);
  EXPECT_EQ(MainBoard.SideToMove, 0);
  EXPECT_EQ(MainBoard.CastleFlags, 0);
  EXPECT_EQ(MainBoard.LastFrom | MainBoard.LastTo, 0u);
  Setup("8/8/8/8/8/8/8/8 W - -");
  EXPECT_EQ(MainBoard.SideToMove, 0);
  Setup("8/8/8/8/8/8/8/8 b - -");
  EXPECT_EQ(MainBoard.SideToMove, 1);
  Setup(" b KQ");   // no placement: empty board, the fields behind it still read
  EXPECT_EQ(MainBoard.AllPieces, 0u);
  EXPECT_EQ(MainBoard.SideToMove, 1);
}

TEST_F(FenTest, StartPositionAndRoundTrip) {
  Setup(StartFen);
  EXPECT_EQ(MainBoard.WhitePieces, 0xffffULL);
  EXPECT_EQ(MainBoard.BlackPieces, 0xffff000000000000ULL);
  EXPECT_EQ(MainBoard.WhiteKnights, Sq("b1") | Sq("g1"));
  EXPECT_EQ(MainBoard.BlackQueens, Sq("d8"));
  EXPECT_EQ(MainBoard.CastleFlags, 15);
  EXPECT_EQ(FenOf(MainBoard), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 ; ");
  testing::internal::CaptureStdout();
  pos2fen(MainBoard, 7);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), FenOf(MainBoard) + "7 \n");
}

// Every position of the perft suite is written back with the same placement and side, and reads
// back as the same board.
TEST_F(FenTest, SuitePositionsRoundTrip) {
  std::ifstream suite(std::string(NELK_TEST_DATA) + "/perft-suite.epd");
  ASSERT_TRUE(suite);
  std::string line;
  int positions = 0;
  while (std::getline(suite, line)) {
    if (line.empty() || line[0] == '#') continue;
    Setup(line);
    const ChessBoard first = MainBoard;
    std::string written = FenOf(first);
    const std::size_t sideEnd = line.find(' ', line.find(' ') + 1);
    EXPECT_EQ(written.substr(0, sideEnd + 1), line.substr(0, sideEnd + 1)) << line;
    Setup(written);
    EXPECT_EQ(MainBoard.AllPieces, first.AllPieces);
    EXPECT_EQ(FenOf(MainBoard), written);
    positions++;
  }
  EXPECT_GT(positions, 20);
}

TEST_F(FenTest, CastlingRightsNeedKingAndRookAtHome) {
  Setup("r3k2r/8/8/8/8/8/8/R3K2R w Kq -");
  EXPECT_EQ(MainBoard.CastleFlags, 9);
  Setup("r3k2r/8/8/8/8/8/8/R3K2R w KKKKKKKKKKKKKKKK -");
  EXPECT_EQ(MainBoard.CastleFlags, 1);
  Setup("r3k2r/8/8/8/8/8/8/R3K2R w xKQkq5 -");
  EXPECT_EQ(MainBoard.CastleFlags, 15);
  Setup("r3k3/8/8/8/8/8/8/R2K3R w KQkq -");   // white king off e1, black rook off h8
  EXPECT_EQ(MainBoard.CastleFlags, 8);
  Setup("4k2r/8/8/8/8/8/8/4K2R w -KQkq -");
  EXPECT_EQ(MainBoard.CastleFlags, 0);
  Setup("r3k2r/8/8/8/8/8/8/R3K2R w");   // castling field missing
  EXPECT_EQ(MainBoard.CastleFlags, 0);
}

TEST_F(FenTest, EnPassantSquareBecomesTheLastMoveWhenConsistent) {
  Setup("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  EXPECT_EQ(MainBoard.LastFrom, Sq("e2"));
  EXPECT_EQ(MainBoard.LastTo, Sq("e4"));
  Setup("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3");
  EXPECT_EQ(MainBoard.LastFrom, Sq("f7"));
  EXPECT_EQ(MainBoard.LastTo, Sq("f5"));
  const char* inconsistent[] = {
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e3 0 1",   // wrong side to move
    "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq e3 0 1",   // no pawn in front
    "rnbqkbnr/pppppppp/8/8/4P3/4N3/PPPP1PPP/RNBQKB1R b KQkq e3 0 1", // passed square occupied
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPPPPPP/RNBQKBNR b KQkq e3 0 1",   // start square occupied
    "rnbqkbnr/pppppppp/8/8/4p3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",   // the pawn in front is Black's
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e4 0 1",   // not the passed square
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e 0 1",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e33 0 1",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq i3 0 1",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq",
  };
  for (const char* fen : inconsistent) {
    MainBoard.LastFrom = MainBoard.LastTo = 1;
    Setup(fen);
    EXPECT_EQ(MainBoard.LastFrom | MainBoard.LastTo, 0u) << fen;
  }
}

TEST_F(FenTest, EnPassantCaptureIsPlayableAfterSetup) {
  Setup("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
  MainBoard.InitPieceCounts();
  char castleMask = 0;
  MainBoard.MakeMove(Sq("e5"), Sq("d6"), NoPromotion, &castleMask);
  EXPECT_EQ(MainBoard.BlackPawns, 0u);
  EXPECT_EQ(MainBoard.WhitePawns, Sq("d6"));
}

TEST_F(FenTest, HalfMoveClock) {
  Setup("4k3/8/8/8/8/8/8/4K3 w - - 37 80");
  EXPECT_EQ(MainBoard.FiftyMoveCount, 37);
  MainBoard.FiftyMoveCount = 5;
  Setup("4k3/8/8/8/8/8/8/4K3 w - -");
  EXPECT_EQ(MainBoard.FiftyMoveCount, 0);
  for (const char* clock : {"x", "-3", "4x", ""}) {
    Setup(std::string("4k3/8/8/8/8/8/8/4K3 w - - ") + clock);
    EXPECT_EQ(MainBoard.FiftyMoveCount, 0) << clock;
  }
  Setup("4k3/8/8/8/8/8/8/4K3 w - - 99999999999999999999");
  EXPECT_GT(MainBoard.FiftyMoveCount, 99);
  EXPECT_LT(MainBoard.FiftyMoveCount, 100000);
}

TEST_F(FenTest, PiecesThatFallOffTheBoardAreIgnored) {
  Setup("pppppppppppp/8/8/8/8/8/8/8 w - -");   // too many squares on a rank
  EXPECT_EQ(MainBoard.BlackPawns, Masks::Rank8);
  Setup("8/8/8/8/8/8/8/8/PPPPPPPP/8/PPPP w - -");   // too many ranks
  EXPECT_EQ(MainBoard.AllPieces, 0u);
  Setup("8p/7P1/88k/9K/0000/8/8/8 w - -");
  EXPECT_EQ(MainBoard.AllPieces & ~(Masks::Rank8 | Masks::Rank7 | Masks::Rank6 | Masks::Rank5 | Masks::Rank4), 0u);
  EXPECT_EQ(MainBoard.BlackPawns, 0u);
  EXPECT_EQ(MainBoard.WhitePawns, Sq("h7"));
  const std::string longLine(100000, 'Q');
  Setup(longLine + " b KQkq e3 " + std::string(5000, '7'));
  EXPECT_EQ(MainBoard.WhiteQueens, Masks::Rank8);
  EXPECT_EQ(MainBoard.SideToMove, 1);
  Setup("");
  EXPECT_EQ(MainBoard.AllPieces, 0u);
  SetupBoard(nullptr);
  EXPECT_EQ(MainBoard.AllPieces, 0u);
}

// Random texts from FEN characters: each square is visited at most once, so the piece sets never
// overlap, and the rights and the last move always agree with the board.
TEST_F(FenTest, RandomTextsGiveAConsistentBoard) {
  const std::string alphabet = "pnbrqkPNBRQK0123456789/ -wKQkqe3e6";
  std::uint32_t seed = 12345;
  auto next = [&seed] { seed = seed * 1103515245u + 12345u; return seed >> 16; };
  for (int round = 0; round < 3000; round++) {
    std::string text;
    const std::uint32_t length = next() % 120;
    for (std::uint32_t i = 0; i < length; i++) text += alphabet[next() % alphabet.size()];
    Setup(text);
    const ChessBoard& b = MainBoard;
    const SquareSet sets[] = {b.WhitePawns, b.WhiteKnights, b.WhiteBishops, b.WhiteRooks, b.WhiteQueens, b.WhiteKing,
                              b.BlackPawns, b.BlackKnights, b.BlackBishops, b.BlackRooks, b.BlackQueens, b.BlackKing};
    int pieces = 0;
    for (SquareSet set : sets) pieces += __builtin_popcountll(set);
    ASSERT_EQ(pieces, __builtin_popcountll(b.AllPieces)) << text;
    ASSERT_EQ(b.WhitePieces | b.BlackPieces, b.AllPieces) << text;
    if (b.CastleFlags & 3) { ASSERT_EQ(b.WhiteKing, Sq("e1")) << text; }
    if (b.CastleFlags & 12) { ASSERT_EQ(b.BlackKing, Sq("e8")) << text; }
    if (b.LastTo) { ASSERT_TRUE(b.LastTo & (b.SideToMove ? b.WhitePawns : b.BlackPawns)) << text; }
  }
}

TEST_F(FenTest, KingsAndUnknownLetters) {
  Setup("K6K/8/8/8/8/8/8/7k w - -");   // a second king letter moves the king
  EXPECT_EQ(MainBoard.WhiteKing, Sq("h8"));
  EXPECT_EQ(MainBoard.AllPieces, Sq("h8") | Sq("h1"));
  Setup("xP6/8/8/8/8/8/8/8 w - -");   // unknown letters still take a square
  EXPECT_EQ(MainBoard.WhitePawns, Sq("b8"));
  Setup("8/8/8/8/8/8/8/8 w - -");
  AddPiece('Q', -1);
  AddPiece('Q', 64);
  AddPiece('X', 3);
  EXPECT_EQ(MainBoard.WhiteQueens | MainBoard.WhitePawns, 0u);
  AddPiece('q', 63);
  EXPECT_EQ(MainBoard.BlackQueens, Sq("h8"));
  EXPECT_EQ(MainBoard.BlackPieces, 0u);   // occupancy is the set-up's business
}

TEST(FenTextTest, CastleRightsAndDecodePiece) {
  char text[CastleRightsSize];
  const std::pair<int, const char*> cases[] = {{0, "-"}, {5, "Kk"}, {15, "KQkq"}, {10, "Qq"}, {31, "KQkq"}};
  for (const auto& c : cases) {
    CastleRights(text, static_cast<char>(c.first));
    EXPECT_STREQ(text, c.second);
  }
  ChessBoard board;
  board.WhiteKing = board.WhitePieces = Sq("e1");
  board.BlackRooks = board.BlackPieces = Sq("a8");
  EXPECT_EQ(DecodePiece(Sq("e1"), board), 'K');
  EXPECT_EQ(DecodePiece(Sq("a8"), board), 'r');
  EXPECT_EQ(DecodePiece(Sq("d4"), board), '?');
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
  EXPECT_EQ(MainBoard.AllPieces, Sq("e1") | Sq("e8"));
  EXPECT_EQ(MainBoard.SideToMove, 1);
  EXPECT_EXIT(LoadPositionFile(dir.File("absent.fen").c_str()), testing::ExitedWithCode(1), "");
  ASSERT_TRUE(dir.Write("empty.fen", ""));
  EXPECT_EXIT(LoadPositionFile(dir.File("empty.fen").c_str()), testing::ExitedWithCode(0), "");
}

}  // namespace
