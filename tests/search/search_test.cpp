// The node, root and iterative-deepening search on small positions.
#include <cstring>
#include "engine/MoveText.h"
#include "eval/PositionEvaluate.h"
#include "protocol/UCIProtocol.h"
#include "search/SearchTestSupport.h"

using namespace searchtest;

namespace {

const char StartFen[] = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Calls the node search directly at the given ply (type 2 node, no move flags, from the root).
int SearchNode(ChessBoard board, int alpha, int beta, int depth, int ply, bool inCheck, int plyLimit = 100,
               char nodeType = 2) {
  return Search.Search(board.SideToMove, alpha, beta, board, depth, ply, 1, board.CastleFlags, inCheck ? 1 : 0, 0, 0,
                       nodeType, 0, plyLimit, 1);
}

class NodeSearch : public ::testing::Test {
protected:
  void SetUp() override { MainStatus.FD = 1; }   // no polling inside directly called nodes
  void TearDown() override { MainStatus.FD = 0; }
};

}  // namespace

TEST(RootSearch, FindsMateInOneWithAMateScore) {
  SetPosition("6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
  SearchResult r = SearchFixedDepth(4);
  EXPECT_EQ(r.Move, "a1a8");
  EXPECT_EQ(r.Score, MateScore - 1);
  EXPECT_EQ(r.Depth, 1);   // a mate score ends the iterations at once
  EXPECT_TRUE(MainBoard.WhiteRooks & SquareBit(56)) << "the move is played on the game board";
}

TEST(RootSearch, FindsMateInTwoWithAMateScore) {
  SetPosition("8/2k5/2P5/1K3Q2/8/8/P7/8 w - - 0 1");
  SearchResult r = SearchFixedDepth(7);
  EXPECT_EQ(r.Score, MateScore - 3);
  EXPECT_EQ(r.Move, "f5d7");
}

TEST(RootSearch, StalemateAndMateAtTheRoot) {
  SetPosition("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
  const ChessBoard before = MainBoard;
  SearchResult r = SearchFixedDepth(3);
  EXPECT_EQ(r.Score, StalemateScore);
  EXPECT_EQ(r.Move, "----");
  EXPECT_EQ(std::memcmp(&before.WhitePieces, &MainBoard.WhitePieces, 15 * sizeof(SquareSet)), 0)
      << "nothing is played";
  SetPosition("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
  r = SearchFixedDepth(3);
  EXPECT_EQ(r.Score, -MateScore);
  EXPECT_EQ(Search.LegalRootMoves, 0);
}

TEST(RootSearch, SingleLegalMoveEndsAfterTheFirstIteration) {
  SetPosition("7k/8/8/8/8/8/r7/7K w - - 0 1");
  SearchResult r = SearchFixedDepth(6);
  EXPECT_EQ(r.Move, "h1g1");
  EXPECT_EQ(r.Depth, 1);
  EXPECT_EQ(Search.LegalRootMoves, 1);
}

// "go searchmoves": the root searches only the moves the UCI front end listed.
TEST(RootSearch, UciSearchMovesRestrictTheRoot) {
  constexpr int A2A3 = 8 * 64 + 16, H2H3 = 15 * 64 + 23;
  SetPosition(StartFen);
  MainStatus.UCIMode = 1;
  UCI.SearchMoves[0] = A2A3;
  UCI.SearchMoves[1] = H2H3;
  UCI.SearchMoveCount = 2;
  testing::internal::CaptureStdout();
  const SearchResult two = SearchFixedDepth(4);
  SetPosition(StartFen);
  MainStatus.UCIMode = 1;
  UCI.SearchMoveCount = 1;
  const SearchResult one = SearchFixedDepth(4);
  const int legalWithOne = Search.LegalRootMoves;
  SetPosition(StartFen);
  MainStatus.UCIMode = 1;
  UCI.SearchMoves[0] = 0;   // names no legal move: the root is not taken for mated or stalemated
  const SearchResult none = SearchFixedDepth(2);
  testing::internal::GetCapturedStdout();
  UCI.SearchMoveCount = 0;
  MainStatus.UCIMode = 0;
  EXPECT_TRUE(two.Move == "a2a3" || two.Move == "h2h3") << two.Move;
  EXPECT_EQ(one.Move, "a2a3");
  EXPECT_EQ(legalWithOne, 1);
  EXPECT_NE(none.Score, -MateScore);
  EXPECT_NE(none.Score, StalemateScore);
}

TEST(RootSearch, FixedDepthSearchIsDeterministic) {
  SetPosition("r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1");
  const SearchResult first = SearchFixedDepth(9);
  SetPosition("r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1");
  MainStatus.NodesPerSecond = 12345;   // the rate estimate must not matter at a fixed depth
  const SearchResult second = SearchFixedDepth(9);
  EXPECT_GT(first.Nodes, 1000);
  EXPECT_EQ(first.Nodes, second.Nodes);
  EXPECT_EQ(first.Move, second.Move);
  EXPECT_EQ(first.Score, second.Score);
}

TEST(RootSearch, ExactDepthSearchDoesNotPlayTheMove) {
  SetPosition(StartFen);
  const ChessBoard before = MainBoard;
  SquareSet from = 0, to = 0;
  char promotion = 0;
  MainStatus.Bench = 1;
  Search.SearchExactDepth(MainBoard, 5, &from, &to, &promotion);
  MainStatus.Bench = 0;
  EXPECT_NE(from, 0u);
  EXPECT_EQ(before.WhitePieces, MainBoard.WhitePieces);
  EXPECT_EQ(Search.IterationDepth, 5);
}

TEST(RootSearch, RefusesAPositionWithoutOneKingEach) {
  SetPosition("4k3/8/8/8/8/8/8/Q3K3 w - - 0 1");
  MainBoard.BlackPieces &= ~MainBoard.BlackKing;
  MainBoard.AllPieces &= ~MainBoard.BlackKing;
  MainBoard.BlackKing = 0;
  const ChessBoard before = MainBoard;
  SquareSet from = 1, to = 1;
  char promotion = 0;
  testing::internal::CaptureStdout();
  MainStatus.FD = 3;
  const int score = Search.ProgressiveDeepening(MainBoard, 3, &from, &to, &promotion);
  MainStatus.FD = 0;
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_EQ(score, 0);
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 0u);
  EXPECT_TRUE(Search.Aborted);
  EXPECT_EQ(Search.Nodes, 0);
  EXPECT_EQ(output.rfind("ERROR: ", 0), 0u) << output;
  EXPECT_EQ(before.WhitePieces, MainBoard.WhitePieces);
}

TEST(RootSearch, NeverCapturesTheKingOfAnImpossiblePosition) {
  // Black to move while White's king stands in check: the capture Rxe1 is not a move.
  SetPosition("4r2k/8/8/8/8/8/8/4K3 b - - 0 1");
  SearchResult r = SearchFixedDepth(3);
  EXPECT_NE(r.Move, "e8e1");
  EXPECT_NE(r.Move, "----");
}

TEST_F(NodeSearch, RepeatedPositionIsADraw) {
  SetPosition("4k3/8/8/8/8/8/8/Q3K3 w - - 4 1");
  MainStatus.FD = 1;
  const ChessBoard board = MainBoard;
  EXPECT_GT(SearchNode(board, -MateScore, MateScore, 3, 1, false), 5000);
  // The same position with the same side to move two plies earlier, within the fifty-move window.
  std::uint64_t upper = 0, lower = 0;
  genhashcode(board.SideToMove, board.CastleFlags, &upper, &lower, board);
  MoveList.Init();
  MoveList.InsertHashCodeMoveHistory(upper, lower);
  MoveList.InsertHashCodeMoveHistory(upper ^ 1, lower);
  EXPECT_EQ(SearchNode(board, -MateScore, MateScore, 3, 1, false), DrawScore);
  EXPECT_EQ(MoveList.NumMoves, 2) << "the node withdraws its own entry";
}

TEST_F(NodeSearch, CheckIsSearchedAtTheHorizonAndMateDistanceCounts) {
  // White in check from the back-rank rook, boxed in by its own pawns: mated at ply 3.
  SetPosition("6k1/8/8/8/8/8/5PPP/r5K1 w - - 0 1");
  const ChessBoard board = MainBoard;
  const std::int64_t before = Search.Nodes;
  EXPECT_EQ(SearchNode(board, -MateScore, MateScore, 0, 3, true), 3 - MateScore);
  EXPECT_EQ(Search.Nodes, before) << "a mated node makes no legal move";
}

TEST_F(NodeSearch, StalemateInsideTheTreeScoresMinusPly) {
  SetPosition("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
  EXPECT_EQ(SearchNode(MainBoard, -MateScore, MateScore, 2, 3, false), -3);
}

TEST_F(NodeSearch, BetaBelowEveryScoreSkipsTheMoves) {
  SetPosition(StartFen);
  const std::int64_t before = Search.Nodes;
  // On the principal variation (no null move is tried there).
  EXPECT_EQ(SearchNode(MainBoard, -110300, -110250, 3, 2, false, 100, 1), -2);
  EXPECT_EQ(Search.Nodes, before);
}

TEST_F(NodeSearch, NodeBeyondThePlyTablesIsAHorizonNode) {
  SetPosition("6k1/8/8/8/8/8/5PPP/r5K1 w - - 0 1");   // in check: normally never a horizon node
  ChessBoard board = MainBoard;
  ChessBoard copy = board;
  const int eval = PE.PosEval(0, -MateScore, MateScore, &copy, board.CastleFlags);
  const std::int64_t nodes = Search.Nodes, horizon = Search.HorizonNodes;
  for (int ply : {SearchLimits::MaxInteriorPly + 1, SearchLimits::PVRows, 100000}) {
    PositionCache.ClearTranspositionTables();
    EXPECT_EQ(SearchNode(board, -MateScore, MateScore, 6, ply, true, 1000000), eval) << ply;
  }
  EXPECT_EQ(Search.Nodes, nodes);
  EXPECT_EQ(Search.HorizonNodes, horizon + 3);
}

TEST_F(NodeSearch, DeepTreeNearTheTableBoundsStaysInside) {
  SetPosition("r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1");
  const KillerPair lastKillers = Search.Killers[SearchLimits::KillerPlies - 1];
  const int v = SearchNode(MainBoard, -MateScore, MateScore, 10, SearchLimits::MaxInteriorPly - 6, false, 100000);
  EXPECT_GT(v, -MateScore);
  EXPECT_LT(v, MateScore);
  EXPECT_EQ(Search.Killers[SearchLimits::KillerPlies - 1].First, lastKillers.First);
}

TEST(GameRecord, LongGameKeepsSearchingWithoutWritingPastTheRecord) {
  SetPosition(StartFen);
  MainStatus.MoveNumber = MaxGameMoves - 2;
  // Nodes record their moves at MoveNumber + ply; nothing may be written past the record (the
  // sanitizer build checks the writes), and the game goes on.
  SearchResult r = SearchFixedDepth(6);
  EXPECT_NE(r.Move, "----");
  MainStatus.MoveNumber = 1;
}

TEST(History, CountersAreHalvedAboveTheLimit) {
  Search.ClearHistory();
  Search.AddHistory(0, 100, 200);   // 40000
  EXPECT_EQ(Search.History[0][100], 40000);
  EXPECT_EQ(Search.HistoryMax, 40000);
  Search.History[0][7] = 9;
  Search.AddHistory(0, 100, 160);   // 65600: the whole side is halved
  EXPECT_EQ(Search.History[0][100], 32800);
  EXPECT_EQ(Search.History[0][7], 4);
  EXPECT_EQ(Search.HistoryMax, 32800);
  Search.AddHistory(1, 4096, 5);    // no such move code: ignored
  Search.ReduceHistory();
  EXPECT_EQ(Search.History[0][100], 16400);
  Search.ClearHistory();
  EXPECT_EQ(Search.History[0][100], 0);
}
