// "position" commands replayed in-process: set-up, move lists, legality, castling rights, en
// passant, promotions, the repetition history and very long games.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include "board/ChessBoard.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "hash/MoveHistory.h"
#include "hash/Zobrist.h"
#include "protocol/UCIProtocol.h"
#include "protocol/UciMoves.h"
#include "protocol/UciWords.h"

namespace {

SquareSet Sq(const char* name) { return SquareSet{1} << ((name[1] - '1') * 8 + (name[0] - 'a')); }

// Runs one "position" line; returns what it printed.
std::string Position(const std::string& line) {
  InitKeysOnce();
  MainStatus.UCIMode = 1;
  std::snprintf(UCI.CommandLine, sizeof UCI.CommandLine, "%s", line.c_str());
  testing::internal::CaptureStdout();
  UCI.SetPosition();
  return testing::internal::GetCapturedStdout();
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(UciWords, SplitsOnBlanksTabsAndCarriageReturns) {
  const char* line = "  go\twtime 100\r\n";
  char word[UciWordSize];
  int position = 0;
  ASSERT_TRUE(NextWord(line, &position, word, sizeof word));
  EXPECT_STREQ(word, "go");
  ASSERT_TRUE(NextWord(line, &position, word, sizeof word));
  EXPECT_STREQ(word, "wtime");
  ASSERT_TRUE(NextWord(line, &position, word, sizeof word));
  EXPECT_STREQ(word, "100");
  EXPECT_FALSE(NextWord(line, &position, word, sizeof word));
  char small[4];
  position = 0;
  ASSERT_TRUE(NextWord("searchmoves", &position, small, sizeof small));
  EXPECT_STREQ(small, "sea");
  EXPECT_EQ(FindWord("position fen x moves e2e4", "moves"), 15);
  EXPECT_EQ(FindWord("go movestogo 5", "moves"), -1);
}

TEST(UciWords, IntegersAreCheckedAndClamped) {
  int v = 7;
  EXPECT_TRUE(ParseInteger("60000", &v));
  EXPECT_EQ(v, 60000);
  EXPECT_TRUE(ParseInteger("-250", &v));
  EXPECT_EQ(v, -250);
  EXPECT_TRUE(ParseInteger("99999999999", &v));
  EXPECT_EQ(v, 2147483647);
  EXPECT_TRUE(ParseInteger("-99999999999", &v));
  EXPECT_EQ(v, -2147483647 - 1);
  for (const char* bad : {"", "-", "12a", "1e5", "0x10", "9999999999999999999999"}) EXPECT_FALSE(ParseInteger(bad, &v)) << bad;
  EXPECT_TRUE(SameWordIgnoringCase("UCI_AnalyseMode", "uci_analysemode"));
  EXPECT_FALSE(SameWordIgnoringCase("Ponder", "Ponderx"));
}

TEST(UciMoveText, ParsesOnlyCoordinateMoves) {
  int from = -1, to = -1;
  char letter = 'x';
  ASSERT_TRUE(ParseUciMove("a1h8", &from, &to, &letter));
  EXPECT_EQ(from, 0);
  EXPECT_EQ(to, 63);
  EXPECT_EQ(letter, '\0');
  ASSERT_TRUE(ParseUciMove("e7e8N", &from, &to, &letter));
  EXPECT_EQ(letter, 'n');
  for (const char* bad : {"", "e2", "e2e", "e9e4", "i2i4", "e2e4x", "e2e4qq", "e7e8k", "E2E4", "e2-e4", "e0e1"})
    EXPECT_FALSE(ParseUciMove(bad, &from, &to, &letter)) << bad;
  char text[UciMoveTextSize];
  WriteUciMove(text, 52, 60, 'Q');
  EXPECT_STREQ(text, "e7e8q");
  WriteUciMove(text, 12, 28, NoPromotion);
  EXPECT_STREQ(text, "e2e4");
  WriteUciMove(text, 9, 0, BlackKnightCode);
  EXPECT_STREQ(text, "b2a1n");
}

TEST(UciPosition, MoveListSetsSideToMoveAndMoveNumber) {
  Position("position startpos moves e2e4 e7e5");
  EXPECT_EQ(MainBoard.SideToMove, 0);
  EXPECT_EQ(MainStatus.MoveNumber, 2);
  EXPECT_TRUE(MainBoard.WhitePawns & Sq("e4"));
  EXPECT_TRUE(MainBoard.BlackPawns & Sq("e5"));
  EXPECT_EQ(FTMoveList[1], 12u * 64 + 28);
  Position("position startpos moves e2e4");
  EXPECT_EQ(MainBoard.SideToMove, 1);
  EXPECT_EQ(UCI.MoveSide, 1);
  Position("position startpos");
  EXPECT_EQ(MainBoard.SideToMove, 0);
  EXPECT_EQ(MainBoard.AllPieces, 0xFFFF00000000FFFFull);
}

TEST(UciPosition, FenSideToMoveIsFollowed) {
  Position("position fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  EXPECT_EQ(MainBoard.SideToMove, 1);
  EXPECT_EQ(UCI.MoveSide, 1);
  Position("position fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1 moves e7e5 g1f3");
  EXPECT_EQ(MainBoard.SideToMove, 1);
  EXPECT_EQ(UCI.MoveSide, 1);
  EXPECT_TRUE(MainBoard.WhiteKnights & Sq("f3"));
  // The history's top is the position as the search will hash it.
  std::uint64_t upper = 0, lower = 0;
  genhashcode(1, MainBoard.CastleFlags, &upper, &lower, MainBoard);
  ASSERT_GT(MoveList.NumMoves, 0);
  EXPECT_EQ(MoveList.Entries[MoveList.NumMoves - 1].Upper, upper);
  EXPECT_EQ(MoveList.Entries[MoveList.NumMoves - 1].Lower, lower);
}

TEST(UciPosition, CastlingMovesTheRookAndEndsTheRights) {
  Position("position startpos moves e2e4 e7e5 g1f3 b8c6 f1c4 f8c5 e1g1");
  EXPECT_EQ(MainBoard.WhiteKing, Sq("g1"));
  EXPECT_TRUE(MainBoard.WhiteRooks & Sq("f1"));
  EXPECT_EQ(MainBoard.CastleFlags, BlackCastleKing | BlackCastleQueen);
  Position("position fen r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1 moves e8c8");
  EXPECT_EQ(MainBoard.BlackKing, Sq("c8"));
  EXPECT_TRUE(MainBoard.BlackRooks & Sq("d8"));
  EXPECT_EQ(MainBoard.CastleFlags, WhiteCastleKing | WhiteCastleQueen);
  // Castling out of check, through an attacked square or without the right is refused.
  EXPECT_TRUE(Has(Position("position fen r3k2r/8/8/8/8/8/8/R3K1qR w KQkq - 0 1 moves e1g1"), "info string error"));
  EXPECT_TRUE(Has(Position("position fen r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq - 0 1 moves e1g1"), "info string error"));
  EXPECT_TRUE(Has(Position("position fen r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1 moves e1g1"), "info string error"));
  EXPECT_EQ(MainBoard.WhiteKing, Sq("e1"));
}

TEST(UciPosition, RookTakenInItsCornerEndsThatRight) {
  Position("position fen r3k2r/8/8/8/8/8/6B1/R3K2R w KQkq - 0 1 moves g2a8");
  EXPECT_EQ(MainBoard.CastleFlags, WhiteCastleKing | WhiteCastleQueen | BlackCastleKing);
  const std::string out = Position("position fen r3k2r/8/8/8/8/8/6B1/R3K2R w KQkq - 0 1 moves g2a8 e8c8 h1h2");
  EXPECT_TRUE(Has(out, "info string error: move 2 \"e8c8\""));
  EXPECT_EQ(MainStatus.MoveNumber, 1);
  EXPECT_EQ(MainBoard.SideToMove, 1);
}

TEST(UciPosition, EnPassantFromTheFenFieldAndFromTheMoveList) {
  Position("position fen rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3 moves e5f6");
  EXPECT_TRUE(MainBoard.WhitePawns & Sq("f6"));
  EXPECT_FALSE(MainBoard.BlackPawns & Sq("f5"));
  Position("position startpos moves e2e4 a7a6 e4e5 d7d5 e5d6");
  EXPECT_TRUE(MainBoard.WhitePawns & Sq("d6"));
  EXPECT_FALSE(MainBoard.BlackPawns & Sq("d5"));
  EXPECT_EQ(MainBoard.BlackPawnCount, 7);
  // Only straight after the double step.
  const std::string out = Position("position startpos moves e2e4 a7a6 e4e5 d7d5 h2h3 a6a5 e5d6");
  EXPECT_TRUE(Has(out, "move 7 \"e5d6\""));
  EXPECT_EQ(MainStatus.MoveNumber, 6);
}

TEST(UciPosition, PromotionsNameTheirPiece) {
  Position("position fen 1r2k3/P7/8/8/8/8/7p/4K3 w - - 0 1 moves a7a8n h2h1q");
  EXPECT_TRUE(MainBoard.WhiteKnights & Sq("a8"));
  EXPECT_TRUE(MainBoard.BlackQueens & Sq("h1"));
  EXPECT_EQ(MainBoard.WhitePawnCount, 0);
  Position("position fen 1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7b8r");
  EXPECT_TRUE(MainBoard.WhiteRooks & Sq("b8"));
  EXPECT_FALSE(MainBoard.BlackRooks & Sq("b8"));
  Position("position fen 1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1 moves a7a8");   // no letter: a queen
  EXPECT_TRUE(MainBoard.WhiteQueens & Sq("a8"));
  EXPECT_TRUE(Has(Position("position startpos moves e2e4q"), "move 1 \"e2e4q\""));
  EXPECT_EQ(MainBoard.WhitePawns & Sq("e4"), 0u);
}

TEST(UciPosition, MalformedAndIllegalMovesStopTheReplay) {
  struct Case {
    const char* Line;
    int Kept;
  };
  const Case cases[] = {
      {"position startpos moves e2e4 e9e5 d7d5", 1},
      {"position startpos moves e2e4 e7e5 z2z4", 2},
      {"position startpos moves e2", 0},
      {"position startpos moves e2e4e5", 0},
      {"position startpos moves e2e4 e7e5 e1e2 e8e7 e2e4", 4},   // own piece on e4
      {"position startpos moves e7e5", 0},                       // not White's pawn
      {"position startpos moves g1g3", 0},
      {"position fen 4k3/4r3/8/8/8/8/4B3/4K3 w - - 0 1 moves e2d3", 0},   // pinned
      {"position fen 4k3/8/8/8/8/8/8/r3K3 w - - 0 1 moves e1d1", 0},      // into check
  };
  for (const Case& c : cases) {
    const std::string out = Position(c.Line);
    EXPECT_TRUE(Has(out, "info string error: move " + std::to_string(c.Kept + 1))) << c.Line << "\n" << out;
    EXPECT_EQ(MainStatus.MoveNumber, c.Kept) << c.Line;
  }
  EXPECT_TRUE(Has(Position("position startpos moves e2e4 \x01\x02\x03"), "\"???\""));
  EXPECT_TRUE(Has(Position("position sideways"), "info string error"));
}

TEST(UciPosition, RepetitionIsVisibleToTheSearch) {
  Position("position startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8");
  EXPECT_EQ(MainBoard.FiftyMoveCount, 8);
  const HistoryEntry& top = MoveList.Entries[MoveList.NumMoves - 1];
  EXPECT_EQ(MoveList.ThreeFoldRepDetection(MainBoard.FiftyMoveCount, top.Upper, top.Lower), 1);
  // A pawn move starts the history afresh.
  Position("position startpos moves g1f3 g8f6 f3g1 f6g8 e2e4");
  EXPECT_EQ(MoveList.NumMoves, 1);
}

TEST(UciPosition, GameOfTwoThousandPliesReplaysWithinBounds) {
  std::string line = "position startpos moves";
  for (int i = 0; i < 500; i++) line += " g1f3 g8f6 f3g1 f6g8";
  const std::string out = Position(line);
  EXPECT_FALSE(Has(out, "error")) << out.substr(0, 400);
  EXPECT_EQ(MainStatus.MoveNumber, 2000);
  EXPECT_LE(MoveList.NumMoves, 256);
  EXPECT_EQ(MainBoard.AllPieces, 0xFFFF00000000FFFFull);
  const HistoryEntry& top = MoveList.Entries[MoveList.NumMoves - 1];
  EXPECT_GE(MoveList.ThreeFoldRepDetection(MainBoard.FiftyMoveCount, top.Upper, top.Lower), 1);
}

TEST(UciSearchMoves, RootFilterAllowsOnlyListedCodes) {
  UCI.SearchMoveCount = 0;
  EXPECT_TRUE(UCI.RootMoveAllowed(12 * 64 + 28));
  UCI.SearchMoves[0] = 12 * 64 + 28;
  UCI.SearchMoveCount = 1;
  EXPECT_TRUE(UCI.RootMoveAllowed(12 * 64 + 28));
  EXPECT_FALSE(UCI.RootMoveAllowed(11 * 64 + 27));
  UCI.SearchMoveCount = 0;
}

}  // namespace
