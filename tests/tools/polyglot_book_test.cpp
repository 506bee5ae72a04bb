// Polyglot books: the keys of positions, reading and refusing book files, and the choice of a
// legal book move.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "hash/Zobrist.h"
#include "testkit/GameBoard.h"
#include "testkit/RunEngine.h"
#include "tools/Fen.h"
#include "tools/PolyglotBook.h"

namespace {

ChessBoard FromFen(const char* fen) {
  const ChessBoard saved = MainBoard;
  SetupBoard(fen);
  MainBoard.Recount();
  const ChessBoard board = MainBoard;
  MainBoard = saved;
  return board;
}

ChessBoard AfterMoves(const std::string& moves, const char* fen = nelktest::StartFen) {
  ChessBoard board = FromFen(fen);
  std::istringstream in(moves);
  for (std::string text; in >> text;) {
    CheckedMove move;
    EXPECT_TRUE(FindLegalMove(text.c_str(), board, &move)) << text;
    nelktest::PlayChecked(board, move);
  }
  return board;
}

struct RawEntry {
  std::uint64_t Key;
  std::uint16_t Move;
  std::uint16_t Weight;
};

// "e2e4", "a7a8n": the move as a book encodes it.
std::uint16_t Encode(const char* text) {
  const auto square = [](const char* s) { return (s[1] - '1') * 8 + (s[0] - 'a'); };
  const std::string promotions = " nbrq";
  const std::size_t promotion = text[4] ? promotions.find(text[4]) : 0;
  return static_cast<std::uint16_t>(promotion << 12 | square(text) << 6 | square(text + 2));
}

std::string Bytes(const std::vector<RawEntry>& entries) {
  std::string bytes;
  for (const RawEntry& e : entries) {
    for (int shift = 56; shift >= 0; shift -= 8) bytes += static_cast<char>(e.Key >> shift);
    bytes += {static_cast<char>(e.Move >> 8), static_cast<char>(e.Move), static_cast<char>(e.Weight >> 8),
              static_cast<char>(e.Weight), '\0', '\0', '\0', '\1'};
  }
  return bytes;
}

bool Load(PolyglotBook& book, const std::string& bytes, const char** error = nullptr) {
  return book.Load(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), error);
}

class PolyglotTest : public ::testing::Test {
protected:
  void SetUp() override { InitKeysOnce(); }
  std::string Write(const char* name, const std::string& bytes) { return dir_.Write(name, bytes) ? dir_.File(name) : ""; }
  nelktest::TempDir dir_;
};

TEST_F(PolyglotTest, KeysMatchThePublishedVectors) {
  const struct { const char* moves; std::uint64_t key; } vectors[] = {
      {"", 0x463b96181691fc9c},
      {"e2e4", 0x823c9b50fd114196},
      {"e2e4 d7d5 e4e5 f7f5", 0x22a48b5a8e47ff78},
      {"e2e4 d7d5 e4e5 f7f5 e1e2 e8f7", 0x00fdd303c946bdd9},
      {"a2a4 b7b5 h2h4 b5b4 c2c4", 0x3c8123ea7b067637},
      {"a2a4 b7b5 h2h4 b5b4 c2c4 b4c3 a1a3", 0x5c3f9b829b279560},
  };
  for (const auto& v : vectors) EXPECT_EQ(PolyglotBook::Key(AfterMoves(v.moves)), v.key) << v.moves;
  // The en-passant file read from a FEN record counts as after the double step itself.
  EXPECT_EQ(PolyglotBook::Key(FromFen("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3")),
            0x22a48b5a8e47ff78u);
  // A pinned capturer still counts, as in the books' own tools.
  EXPECT_EQ(PolyglotBook::Key(FromFen("8/8/8/8/k2Pp2R/8/8/4K3 b - d3 0 1")), 0xc90cf3fb73c107b2u);
  // A castling right counts only while its king and rook stand at home.
  EXPECT_EQ(PolyglotBook::Key(FromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1")), 0xfda239cc692a6053u);
  ChessBoard withoutRook = FromFen("r3k2r/8/8/8/8/8/8/R3K3 w Qkq - 0 1");
  const std::uint64_t expected = PolyglotBook::Key(withoutRook);
  withoutRook.CastleFlags = AllCastleRights;   // a stale right for the missing h1 rook
  EXPECT_EQ(PolyglotBook::Key(withoutRook), expected);
}

// The best choice is the first of the heaviest legal entries; a random one follows the weights, where
// the illegal e2e5 and the weight-0 c2c4 take no share.
TEST_F(PolyglotTest, ChoiceFollowsTheWeightsOfTheLegalEntries) {
  const ChessBoard start = FromFen(nelktest::StartFen);
  const std::uint64_t key = PolyglotBook::Key(start);
  PolyglotBook book;
  ASSERT_TRUE(Load(book, Bytes({{key, Encode("e2e5"), 60000}, {key, Encode("e2e4"), 1}, {key, Encode("c2c4"), 0},
                                {key, Encode("d2d4"), 3}, {key, Encode("g1f3"), 3}})));
  PolyglotMove move;
  ASSERT_TRUE(book.ChooseMove(start, 0, true, &move));
  EXPECT_STREQ(move.Text, "d2d4");
  EXPECT_EQ(move.Weight, 3);
  MoveGen list;
  ChessBoard copy = start;
  list.GenerateAllMoves(0, &copy, AllCastleRights);
  ASSERT_GE(move.ListIndex, 0);
  EXPECT_EQ(list.FromSquares[move.ListIndex], move.From);
  EXPECT_EQ(list.ToSquares[move.ListIndex], move.To);
  const char* expected[] = {"e2e4", "d2d4", "d2d4", "d2d4", "g1f3", "g1f3", "g1f3", "e2e4"};
  for (std::uint64_t r = 0; r < 8; r++) {
    ASSERT_TRUE(book.ChooseMove(start, r, false, &move));
    EXPECT_STREQ(move.Text, expected[r]) << r;
  }
  EXPECT_FALSE(book.ChooseMove(AfterMoves("e2e4"), 0, true, &move)) << "a position the book does not hold";
}

TEST_F(PolyglotTest, DecodesCastlingAndPromotions) {
  const ChessBoard white = FromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
  const ChessBoard black = FromFen("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1");
  const struct { const ChessBoard& board; const char* book; const char* engine; } cases[] = {
      {white, "e1h1", "e1g1"}, {white, "e1a1", "e1c1"}, {black, "e8h8", "e8g8"}, {black, "e8a8", "e8c8"}};
  PolyglotMove move;
  for (const auto& c : cases) {
    ASSERT_TRUE(PolyglotBook::DecodeMove(c.board, Encode(c.book), &move)) << c.book;
    EXPECT_STREQ(move.Text, c.engine);
  }
  EXPECT_FALSE(PolyglotBook::DecodeMove(FromFen("r3k2r/8/8/8/8/8/8/R3K2R w Qkq - 0 1"), Encode("e1h1"), &move));
  EXPECT_FALSE(PolyglotBook::DecodeMove(FromFen("r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq - 0 1"), Encode("e1h1"), &move))
      << "castling out of check";

  const ChessBoard promote = FromFen("7k/P7/8/8/8/8/p7/K7 w - - 0 1");
  ASSERT_TRUE(PolyglotBook::DecodeMove(promote, Encode("a7a8q"), &move));
  EXPECT_STREQ(move.Text, "a7a8q");
  EXPECT_GE(move.ListIndex, 0);
  ASSERT_TRUE(PolyglotBook::DecodeMove(promote, Encode("a7a8n"), &move));
  EXPECT_STREQ(move.Text, "a7a8n");
  EXPECT_EQ(move.Promotion, 'N');
  EXPECT_EQ(move.ListIndex, NoBookListIndex) << "the generator's list holds no under-promotion";
  for (std::uint16_t raw : {Encode("a7a8"), static_cast<std::uint16_t>(Encode("a7a8") | 5 << 12),
                            static_cast<std::uint16_t>(Encode("a7a8q") | 0x8000), Encode("a1b1q")})
    EXPECT_FALSE(PolyglotBook::DecodeMove(promote, raw, &move)) << raw;
  // The bishop on e2 is pinned; taking a king is no move, whatever the position.
  EXPECT_FALSE(PolyglotBook::DecodeMove(FromFen("4r1k1/8/8/8/8/8/4B3/4K3 w - - 0 1"), Encode("e2b5"), &move));
  EXPECT_FALSE(PolyglotBook::DecodeMove(FromFen("4k3/8/8/8/8/8/8/4RK2 w - - 0 1"), Encode("e1e8"), &move));
}

TEST_F(PolyglotTest, RefusesFilesThatAreNoBook) {
  const std::string good = Bytes({{1, 1, 1}, {2, 2, 2}});
  const std::string big = dir_.File("big.bin");
  ASSERT_EQ(truncate(Write("big.bin", "").c_str(), static_cast<off_t>(PolyglotMaxBookBytes + PolyglotEntryBytes)), 0);
  const std::string fifo = dir_.File("fifo.bin");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct { std::string path; const char* reason; } refused[] = {
      {dir_.File("missing.bin"), "no such"}, {dir_.Path(), "regular"}, {fifo, "regular"}, {"/dev/null", "regular"},
      {Write("empty.bin", ""), "empty"}, {Write("cut.bin", good.substr(0, 17)), "whole number"},
      {big, "larger"}, {Write("unsorted.bin", Bytes({{2, 1, 1}, {1, 1, 1}})), "sorted"}};
  PolyglotBook book;
  for (const auto& r : refused) {
    ASSERT_TRUE(book.Open(Write("good.bin", good).c_str(), nullptr));
    const char* error = nullptr;
    EXPECT_FALSE(book.Open(r.path.c_str(), &error)) << r.path;
    ASSERT_NE(error, nullptr) << r.path;
    EXPECT_NE(std::string(error).find(r.reason), std::string::npos) << r.path << ": " << error;
    EXPECT_FALSE(book.IsOpen()) << "the earlier book is dropped: " << r.path;
  }
  const char* error = nullptr;
  EXPECT_TRUE(book.Open(dir_.File("good.bin").c_str(), &error));
  EXPECT_EQ(book.EntryCount(), 2u);
  EXPECT_EQ(error, nullptr);
}

// Half the moves are legal moves of the position with a random promotion field, so that the
// decoding is tried near every way a move can be right or wrong.
void ScrambleMoves(std::string& bytes, const ChessBoard& board, std::mt19937_64& random) {
  CheckedMove legal[MaxMovesInList];
  const int count = CollectLegalMoves(board, board.SideToMove, board.CastleFlags, legal);
  for (std::size_t at = 0; at + PolyglotEntryBytes <= bytes.size(); at += PolyglotEntryBytes) {
    for (int i = 0; i < 8; i++) bytes[at + i] = static_cast<char>(PolyglotBook::Key(board) >> (56 - 8 * i));
    if (random() % 2 == 0) continue;
    const CheckedMove& m = legal[random() % count];
    const unsigned promotion = random() % 4 == 0 ? random() % 8 : 0;
    const unsigned raw = promotion << 12 | SquareIndex(m.From) << 6 | SquareIndex(m.To);
    bytes[at + 8] = static_cast<char>(raw >> 8);
    bytes[at + 9] = static_cast<char>(raw);
  }
}

TEST_F(PolyglotTest, HostileBytesGiveOnlyLegalMoves) {
  std::mt19937_64 random(7);
  const ChessBoard positions[] = {FromFen(nelktest::StartFen), AfterMoves("e2e4 d7d5 e4e5 f7f5"),
                                  FromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"),
                                  FromFen("7k/P7/8/8/8/8/p7/K7 w - - 0 1"),
                                  FromFen("4k3/8/8/8/8/8/3p1n2/R3K2R w KQ - 0 1")};
  PolyglotBook book;
  int chosen = 0;
  for (int round = 0; round < 200; round++) {
    std::string bytes(random() % 400, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    if (Load(book, bytes)) {
      EXPECT_EQ(book.EntryCount(), bytes.size() / PolyglotEntryBytes);
    }
    const ChessBoard& board = positions[round % 5];
    bytes.resize(bytes.size() / PolyglotEntryBytes * PolyglotEntryBytes);
    ScrambleMoves(bytes, board, random);
    if (!Load(book, bytes)) continue;
    PolyglotMove move;
    for (bool best : {true, false}) {
      if (!book.ChooseMove(board, random(), best, &move)) continue;
      CheckedMove legal;
      EXPECT_TRUE(FindLegalMove(move.Text, board, &legal)) << move.Text;
      EXPECT_GT(move.Weight, 0);
      chosen++;
    }
  }
  EXPECT_GT(chosen, 200) << chosen;
  EXPECT_FALSE(book.Load(nullptr, PolyglotEntryBytes, nullptr));
}

}  // namespace
