// The search's hash codes follow the moves: a walk through every legal move sequence of a few
// positions updates the codes move by move and pass by pass, and compares them with the codes
// computed from scratch at every step.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include "hash/Zobrist.h"
#include "movegen/MoveGen.h"
#include "support/Boards.h"
#include "tools/Fen.h"

namespace {

using nelktest::Bit;

struct Codes {
  std::uint64_t up = 0, low = 0;
  bool operator==(const Codes& o) const { return up == o.up && low == o.low; }
};

Codes operator^(Codes c, std::uint64_t change) { return {c.up ^ change, c.low ^ change}; }

Codes FromScratch(const ChessBoard& b, int side, int castle) {
  Codes c;
  genhashcode(static_cast<char>(side), castle, &c.up, &c.low, b);
  return c;
}

Codes AfterMove(const ChessBoard& b, Codes before, int castleBefore, int castleAfter) {
  UpdateHashCodeForMove(b, castleBefore, castleAfter, &before.up, &before.low);
  return before;
}

ChessBoard Position(const char* fen) {
  InitKeysOnce();
  SetupBoard(fen);
  MainBoard.Recount();
  return MainBoard;
}

// The generator promotes to a queen only; the walk tries every piece, as a game's moves may.
constexpr char PromotionPieces[] = {'Q', 'R', 'B', 'N'};
constexpr int PromotionPieceCount = 4;
constexpr SquareSet KingHomes = SquareSet{1} << 4 | SquareSet{1} << 60;   // e1, e8
constexpr SquareSet CastleTargetsKingSide = SquareSet{1} << 6 | SquareSet{1} << 62;   // g1, g8
constexpr SquareSet CastleTargetsQueenSide = SquareSet{1} << 2 | SquareSet{1} << 58;  // c1, c8

// What the walk played, per colour: so that a walk that missed a kind of move fails.
struct MoveKinds {
  int Captures[2] = {}, EnPassant[2] = {}, UnderPromotionCaptures[2] = {};
  int KingSideCastles[2] = {}, QueenSideCastles[2] = {}, RightsLostOnQuietMove[2] = {}, RightsLostOnCapture[2] = {};
};

class HashWalk {
public:
  MoveKinds Kinds;
  int Steps = 0;
  std::string FirstMismatch;   // "" while every step agrees

  void Walk(ChessBoard board, int side, int castle, Codes codes, int depth) {
    if (depth == 0 || !FirstMismatch.empty()) return;
    Check(codes ^ SideToMoveKeyChange(), FromScratch(board, side ^ 1, castle), "pass", 0, 0);
    MoveGen list;
    const bool inCheck = board.InCheck(board.KingOf(side), static_cast<char>(side));
    const int count = inCheck ? list.GenCheckEvasions(static_cast<char>(side), &board)
                              : list.GenerateAllMoves(static_cast<char>(side), &board, static_cast<char>(castle));
    for (int i = 0; i < count; i++) {
      const bool promotes = list.Promotions[i] != NoPromotion;
      for (int p = 0; p < (promotes ? PromotionPieceCount : 1); p++)
        Play(board, side, castle, codes, depth, list.FromSquares[i], list.ToSquares[i],
             promotes ? PromotionPieces[p] : NoPromotion);
    }
  }

private:
  void Play(ChessBoard board, int side, int castle, Codes codes, int depth, SquareSet from, SquareSet to, char promotion) {
    const SquareSet enemiesBefore = board.PiecesOf(side ^ 1);
    char castleMask = AllCastleRights;
    board.MakeMove(from, to, promotion, &castleMask);
    if (board.InCheck(board.KingOf(side), static_cast<char>(side))) return;
    const int childCastle = castle & castleMask;
    const Codes child = AfterMove(board, codes, castle, childCastle);
    Check(child, FromScratch(board, side ^ 1, childCastle), "move", from, to);
    Count(board, side, from, to, promotion, enemiesBefore, castle, childCastle);
    Walk(board, side ^ 1, childCastle, child, depth - 1);
  }

  void Check(const Codes& incremental, const Codes& scratch, const char* step, SquareSet from, SquareSet to) {
    Steps++;
    if (incremental == scratch || !FirstMismatch.empty()) return;
    FirstMismatch = std::string(step) + " " + std::to_string(SquareIndex(from)) + "-" + std::to_string(SquareIndex(to));
  }

  void Count(const ChessBoard& b, int side, SquareSet from, SquareSet to, char promotion, SquareSet enemiesBefore,
             int castle, int childCastle) {
    const bool capture = b.PiecesOf(side ^ 1) != enemiesBefore;
    Kinds.Captures[side] += capture;
    Kinds.EnPassant[side] += capture && !(to & enemiesBefore);
    Kinds.UnderPromotionCaptures[side] += capture && promotion != NoPromotion && promotion != 'Q';
    const bool castles = b.IsKing(static_cast<char>(side), to) && (from & KingHomes);
    Kinds.KingSideCastles[side] += castles && (to & CastleTargetsKingSide);
    Kinds.QueenSideCastles[side] += castles && (to & CastleTargetsQueenSide);
    if (childCastle == castle) return;
    if (capture) Kinds.RightsLostOnCapture[side]++;
    else Kinds.RightsLostOnQuietMove[side]++;
  }
};

struct WalkCase {
  const char* fen;
  int depth;
};

// Castling both ways for both colours, rights lost by quiet and capturing king and rook moves,
// promotions with and without capture for both colours, and en passant on both sides.
const WalkCase WalkCases[] = {
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3},
    {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3},
    {"n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1", 3},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4},
    {"r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq - 0 1", 3},
};

TEST(IncrementalHash, EveryMoveAndPassOfAWalkMatchesTheCodesFromScratch) {
  MoveKinds total;
  for (const WalkCase& c : WalkCases) {
    const ChessBoard start = Position(c.fen);
    HashWalk walk;
    walk.Walk(start, start.SideToMove, start.CastleFlags, FromScratch(start, start.SideToMove, start.CastleFlags), c.depth);
    EXPECT_EQ(walk.FirstMismatch, "") << c.fen;
    EXPECT_GT(walk.Steps, 1000) << c.fen;
    for (int side = 0; side < 2; side++) {
      total.Captures[side] += walk.Kinds.Captures[side];
      total.EnPassant[side] += walk.Kinds.EnPassant[side];
      total.UnderPromotionCaptures[side] += walk.Kinds.UnderPromotionCaptures[side];
      total.KingSideCastles[side] += walk.Kinds.KingSideCastles[side];
      total.QueenSideCastles[side] += walk.Kinds.QueenSideCastles[side];
      total.RightsLostOnQuietMove[side] += walk.Kinds.RightsLostOnQuietMove[side];
      total.RightsLostOnCapture[side] += walk.Kinds.RightsLostOnCapture[side];
    }
  }
  for (int side = 0; side < 2; side++) {
    SCOPED_TRACE(side ? "Black" : "White");
    EXPECT_GT(total.Captures[side], 0);
    EXPECT_GT(total.EnPassant[side], 0);
    EXPECT_GT(total.UnderPromotionCaptures[side], 0);
    EXPECT_GT(total.KingSideCastles[side], 0);
    EXPECT_GT(total.QueenSideCastles[side], 0);
    EXPECT_GT(total.RightsLostOnQuietMove[side], 0);
    EXPECT_GT(total.RightsLostOnCapture[side], 0);
  }
}

// Moves the generator never makes but the move maker accepts: the root search tries a capture of
// the king (which stays on its square), a pawn may reach the last rank without a valid piece to
// become (it stays a pawn) or name its piece in lower case, and a king may step two files with no
// rook to castle with. The codes still follow the board.
TEST(IncrementalHash, OddMovesTheMoveMakerAcceptsFollowTheBoardToo) {
  const struct { const char* fen; const char* from; const char* to; char promotion; } cases[] = {
      {"4r2k/8/8/8/8/8/8/4K3 b - - 0 1", "e8", "e1", NoPromotion},
      {"4k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a7", "a8", NoPromotion},
      {"1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a7", "b8", 'x'},
      {"1n2k3/P7/8/8/8/8/8/4K3 w - - 0 1", "a7", "b8", 'r'},
      {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", "e1", "g1", NoPromotion},
      {"4k3/8/8/8/8/8/8/4K3 b - - 0 1", "e8", "c8", NoPromotion},
  };
  for (const auto& c : cases) {
    ChessBoard b = Position(c.fen);
    const int side = b.SideToMove, castle = b.CastleFlags;
    const Codes before = FromScratch(b, side, castle);
    char castleMask = AllCastleRights;
    b.MakeMove(Bit(c.from), Bit(c.to), c.promotion, &castleMask);
    EXPECT_EQ(AfterMove(b, before, castle, castle & castleMask), FromScratch(b, side ^ 1, castle & castleMask))
        << c.fen << " " << c.from << c.to;
  }
}

}  // namespace
