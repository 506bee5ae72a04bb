// The node, root and iterative-deepening search on small positions.
#include <climits>
#include "eval/PositionEvaluate.h"
#include "protocol/UCIProtocol.h"
#include "search/SearchTestSupport.h"

using namespace searchtest;

namespace {

const char StartFen[] = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
const char MiddleGameFen[] = "r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 1";
const char BackRankMateFen[] = "6k1/8/8/8/8/8/5PPP/r5K1 w - - 0 1";   // White is mated

// Calls the node search directly at the given ply (a cut node, no move flags, from the root), with
// the position's hash codes as a caller hands them down.
int SearchNode(ChessBoard board, int alpha, int beta, int depth, int ply, bool inCheck, int plyLimit = 100) {
  using namespace NodeArgs;
  std::uint64_t upper = 0, lower = 0;
  genhashcode(board.SideToMove, board.CastleFlags, &upper, &lower, board);
  return Search.Search(board.SideToMove, alpha, beta, board, depth, ply, NullMoveOk, board.CastleFlags,
                       static_cast<char>(inCheck), upper, lower, CutNode, NoMoveFlags, plyLimit, UnderRoot);
}

class NodeSearch : public ::testing::Test {
protected:
  void SetUp() override { MainStatus.FD = 1; }   // no polling inside directly called nodes
  void TearDown() override { MainStatus.FD = 0; }
};

}  // namespace

// A mate score ends the iterations at once; the chosen move is played on the game board, and
// nothing is played when there is no move.
TEST(RootSearch, MatesStalemateAndASingleMove) {
  constexpr int Any = INT_MIN;
  const struct { const char* fen; int depth; const char* move; int score, iterations, legal; } cases[] = {
      {"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", 4, "a1a8", MateScore - 1, 1, Any},
      {"8/2k5/2P5/1K3Q2/8/8/P7/8 w - - 0 1", 7, "f5d7", MateScore - 3, Any, Any},
      {"7k/8/8/8/8/8/r7/7K w - - 0 1", 6, "h1g1", Any, 1, 1},
      {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 3, "----", StalemateScore, Any, Any},
      {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", 3, "----", -MateScore, Any, 0}};
  for (const auto& c : cases) {
    SetPosition(c.fen);
    const ChessBoard before = MainBoard;
    const SearchResult r = SearchTo(c.depth);
    EXPECT_EQ(r.Move, c.move) << c.fen;
    if (c.score != Any) { EXPECT_EQ(r.Score, c.score) << c.fen; }
    if (c.iterations != Any) { EXPECT_EQ(r.Depth, c.iterations) << c.fen; }
    if (c.legal != Any) { EXPECT_EQ(Search.LegalRootMoves, c.legal) << c.fen; }
    const bool played = MainBoard.WhitePieces != before.WhitePieces || MainBoard.BlackPieces != before.BlackPieces;
    EXPECT_EQ(played, r.Move != "----") << c.fen;
  }
}

// "go searchmoves" (the protocol tests play it): the root searches only the listed moves, and a
// list naming no legal move does not make the root mated or stalemated. The moves left out still
// count as legal: a single move allowed is no forced move.
TEST(RootSearch, UciSearchMovesRestrictTheRoot) {
  for (const int move : {MoveCode(8, 16), 0}) {   // a2a3, then no move
    SetPosition(StartFen);
    MainStatus.UCIMode = 1;
    UCI.SearchMoves[0] = move;
    UCI.SearchMoveCount = 1;
    const SearchResult r = SearchTo(move ? 4 : 2);
    UCI.SearchMoveCount = MainStatus.UCIMode = 0;
    if (move) { EXPECT_TRUE(r.Move == "a2a3" && Search.LegalRootMoves == 20 && r.Depth == 4) << r.Move << r.Depth; }
    else { EXPECT_TRUE(r.Score != -MateScore && r.Score != StalemateScore) << r.Score; }
  }
}

// The first iteration sees only the pawn that Nxd4 wins; deeper iterations fail low on every move
// and must search again rather than keep the move that hands over the knight.
TEST(RootSearch, FailingLowEverywhereDoesNotKeepALosingFirstChoice) {
  const char* fen = "r1bqkb1r/pppppppp/2n2n2/8/3P4/2N2N2/PPP1PPPP/R1BQKB1R b KQkq d3 0 3";
  for (const int depth : {2, 4, 6}) {
    SetPosition(fen);
    const SearchResult r = SearchTo(depth);
    EXPECT_TRUE(r.Move != "c6d4" && r.Move != "f6e4" && r.Move != "----") << depth << " " << r.Move;
    EXPECT_LT(r.Score, 500) << depth;
  }
}

TEST(RootSearch, RefusesAPositionWithoutOneKingEach) {
  SetPosition("4k3/8/8/8/8/8/8/Q3K3 w - - 0 1");
  MainBoard.BlackPieces &= ~MainBoard.BlackKing;
  MainBoard.AllPieces &= ~MainBoard.BlackKing;
  MainBoard.BlackKing = 0;
  const ChessBoard before = MainBoard;
  const SearchResult r = SearchTo(3);
  EXPECT_TRUE(r.Score == 0 && r.Move == "----" && Search.Aborted && Search.Nodes == 0);
  EXPECT_EQ(r.Output.rfind("ERROR: ", 0), 0u) << r.Output;
  EXPECT_EQ(before.WhitePieces, MainBoard.WhitePieces);
}

TEST(RootSearch, NeverCapturesTheKingOfAnImpossiblePosition) {
  // Black to move while White's king stands in check: the capture Rxe1 is not a move, and the
  // search refuses the position as set-up does.
  SetPosition("4r2k/8/8/8/8/8/8/4K3 b - - 0 1");
  const SearchResult r = SearchTo(3);
  EXPECT_NE(r.Move, "e8e1");
  EXPECT_NE(r.Output.find("the side not to move is in check; no move searched"), std::string::npos) << r.Output;
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

TEST_F(NodeSearch, MateAndStalemateInsideTheTree) {
  // In check at the horizon: searched, and mated at ply 3 without a legal move.
  SetPosition(BackRankMateFen);
  const std::int64_t before = Search.Nodes;
  EXPECT_EQ(SearchNode(MainBoard, -MateScore, MateScore, 0, 3, true), 3 - MateScore);
  EXPECT_EQ(Search.Nodes, before);
  SetPosition("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
  EXPECT_EQ(SearchNode(MainBoard, -MateScore, MateScore, 2, 3, false), -3) << "stalemate scores minus the ply";
}

// The capture-search mode's cut by a capture: a free queen beats beta by far more than the margin
// and ends the node; a capture that the exchange says loses is not even tried. Either way the
// board and the repetition history are left as they were.
TEST_F(NodeSearch, CaptureCutTakesOnlyACaptureThatClearsTheRaisedBound) {
  Search.SetCaptureSearch(true);
  const struct { const char* fen; bool cuts; } cases[] = {
      {"4k3/8/8/3q4/8/8/8/3RK3 w - - 0 1", true},    // Rxd5 wins the queen
      {"4k3/8/4p3/3n4/8/8/8/3RK3 w - - 0 1", false}  // Rxd5 exd5 loses the exchange
  };
  for (const auto& c : cases) {
    SetPosition(c.fen);
    ChessBoard board = MainBoard, copy = MainBoard;
    std::uint64_t upper = 0, lower = 0;
    genhashcode(board.SideToMove, board.CastleFlags, &upper, &lower, board);
    const int staticEval = PE.PosEval(board.SideToMove, -MateScore, MateScore, &copy, board.CastleFlags);
    const int history = MoveList.NumMoves;
    constexpr int Beta = 0;
    const int v = Search.ProbeCaptureCut(board.SideToMove, Beta, board, 5, 1, staticEval, board.CastleFlags, 100,
                                         NodeArgs::UnderRoot, upper, lower);
    if (c.cuts) EXPECT_GE(v, Beta + SelectiveMargins::ProbCutMargin) << c.fen;
    else EXPECT_EQ(v, SearchScore::NoScore) << c.fen;
    std::uint64_t upperAfter = 0, lowerAfter = 0;
    genhashcode(board.SideToMove, board.CastleFlags, &upperAfter, &lowerAfter, board);
    EXPECT_TRUE(upperAfter == upper && lowerAfter == lower && board.SideToMove == MainBoard.SideToMove) << c.fen;
    EXPECT_EQ(MoveList.NumMoves, history) << c.fen;
  }
  Search.SetCaptureSearch(false);
}

TEST_F(NodeSearch, NodeBeyondThePlyTablesIsAHorizonNode) {
  SetPosition(BackRankMateFen);   // in check: normally never a horizon node
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
  SetPosition(MiddleGameFen);
  const KillerPair lastKillers = Search.Killers[SearchLimits::KillerPlies - 1];
  const int v = SearchNode(MainBoard, -MateScore, MateScore, 10, SearchLimits::MaxInteriorPly - 6, false, 100000);
  EXPECT_TRUE(v > -MateScore && v < MateScore) << v;
  EXPECT_EQ(Search.Killers[SearchLimits::KillerPlies - 1].First, lastKillers.First);
}

// Nodes record their moves at MoveNumber + ply: near the end of the game record nothing may be
// written past it (the sanitizer build checks the writes), and the game goes on.
TEST(GameRecord, LongGameKeepsSearchingWithoutWritingPastTheRecord) {
  SetPosition(StartFen);
  MainStatus.MoveNumber = MaxGameMoves - 2;
  EXPECT_NE(SearchTo(6).Move, "----");
  MainStatus.MoveNumber = 1;
}
