#include "movegen/MoveGen.h"

#include <utility>
#include "board/Masks.h"
#include "eval/EvalTables.h"
#include "movegen/MoveOrderTables.h"
#include "search/SearchRoutines.h"

namespace {

using namespace MoveOrder;

// Every square on a file of the set, and every square on a rank of the set.
SquareSet SmearFiles(SquareSet s) {
  s |= s << 8; s |= s << 16; s |= s << 32;
  s |= s >> 8; s |= s >> 16; s |= s >> 32;
  return s;
}

SquareSet SmearRanks(SquareSet s) {
  for (int i = 0; i < 7; ++i) s |= ((s << 1) & ~Masks::FileA) | ((s >> 1) & ~Masks::FileH);
  return s;
}

// What the ordering needs to know beyond the move itself; each special move matches once.
struct OrderContext {
  const ChessBoard* Board = nullptr;
  SquareSet KingLines = 0;      // files and ranks of the enemy king
  int HashMove = 0;
  int PVMove = -1, PVPromotion = 0;
  int Killer1 = -1, Killer2 = -1;
  bool PVOpen = false, HashOpen = false, Killer1Open = false, Killer2Open = false;
};

OrderContext MakeContext(const ChessBoard* board, int ply, SquareSet enemyKing, int hashMove, char mode) {
  OrderContext c;
  c.Board = board;
  c.KingLines = SmearFiles(enemyKing) | SmearRanks(enemyKing);
  c.HashMove = hashMove;
  const bool plyInTables = ply >= 0 && ply < SearchLimits::KillerPlies;
  if (plyInTables) {
    const PVEntry& pv = Search.PrincipalVariation[ply][ply];
    c.PVMove = pv.Move;
    c.PVPromotion = pv.Promotion;
    c.Killer1 = Search.Killers[ply].First;
    c.Killer2 = Search.Killers[ply].Second;
  }
  c.PVOpen = plyInTables && mode != 3;
  c.HashOpen = hashMove != 0;
  c.Killer1Open = c.Killer2Open = plyInTables;
  return c;
}

int VictimValue(const ChessBoard& b, int opponent, SquareSet to) {
  if (to & (opponent ? b.BlackPawns : b.WhitePawns)) return PawnVictim;
  if (to & (opponent ? b.BlackKnights : b.WhiteKnights)) return KnightVictim;
  if (to & (opponent ? b.BlackBishops : b.WhiteBishops)) return BishopVictim;
  if (to & (opponent ? b.BlackRooks : b.WhiteRooks)) return RookVictim;
  if (to & (opponent ? b.BlackQueens : b.WhiteQueens)) return QueenVictim;
  return 0;
}

int RelativeRank(int mover, int square) { return mover ? 7 - (square >> 3) : square >> 3; }

int PawnCaptureTerm(const ChessBoard& b, int mover, int f, int t) {
  const SquareSet enemyPawns = mover ? b.WhitePawns : b.BlackPawns;
  int value = PawnCapture;
  if ((FrontSpans[mover][t] & enemyPawns) == 0)
    value += EvalTables::Passers[RelativeRank(mover, t)] - EvalTables::Passers[RelativeRank(mover, f)];
  return value;
}

int RookCaptureTerm(const ChessBoard& b, int mover, int t) {
  int value = RookCapture;
  const SquareSet file = Masks::FileA << (t & 7);
  if ((file & (b.WhitePawns | b.BlackPawns)) == 0) value += OpenFileControl[t & 7];
  const SquareSet enemySecondRank = mover ? Masks::Rank2 : Masks::Rank7;
  if (SquareBit(t) & enemySecondRank) value += EvalTables::Majorson7[1];
  return value;
}

// The capturing piece's term of a capture from f to t.
int CapturerTerm(const ChessBoard& b, int mover, int f, int t) {
  const SquareSet from = SquareBit(f);
  if (b.IsBishop(mover, from)) return BishopCapture;
  if (b.IsKnight(mover, from))
    return (mover ? EvalTables::BKnightPost[t] : EvalTables::WKnightPost[t]) + KnightCapture;
  if (b.IsRook(mover, from)) return RookCaptureTerm(b, mover, t);
  if (b.IsPawn(mover, from)) return PawnCaptureTerm(b, mover, f, t);
  if (b.IsQueen(mover, from)) return QueenCapture;
  if (b.IsKing(mover, from)) return KingCapture;
  return 0;
}

int QuietValue(int mover, int code, char promotion) {
  const char queenCode = static_cast<char>(mover ? BlackQueenCode : WhiteQueenCode);
  if (promotion == queenCode) return QueenPromotionValue;
  if (promotion == NoPromotion) return Search.History[mover][code] >> SearchMargins::HistoryOrderShift;
  return UnderPromotionValue;
}

// The special moves, tested in their order of precedence; 0 when the move is none of them.
int SpecialValue(OrderContext& c, int code, char promotion) {
  if (c.PVOpen && code == c.PVMove && promotion == c.PVPromotion) {
    c.PVOpen = false;
    return PVMoveValue;
  }
  if (c.HashOpen && code == c.HashMove) {
    c.HashOpen = false;
    return HashMoveValue;
  }
  if (c.Killer1Open && code == c.Killer1) {
    c.Killer1Open = false;
    return FirstKillerValue;
  }
  if (c.Killer2Open && code == c.Killer2) {
    c.Killer2Open = false;
    return SecondKillerValue;
  }
  return 0;
}

int OrderValue(OrderContext& c, SquareSet from, SquareSet to, char promotion) {
  const int f = SquareIndex(from), t = SquareIndex(to);
  const int code = f * 64 + t;
  const int special = SpecialValue(c, code, promotion);
  if (special) return special;
  const ChessBoard& b = *c.Board;
  const int mover = (from & b.WhitePieces) ? 0 : 1;
  const SquareSet enemies = mover ? b.WhitePieces : b.BlackPieces;
  int value = (to & enemies) ? CaptureBase + VictimValue(b, mover ^ 1, to) + CapturerTerm(b, mover, f, t)
                             : QuietValue(mover, code, promotion);
  const bool heavy = b.IsRook(mover, from) || b.IsQueen(mover, from);
  if (heavy && (to & c.KingLines)) value += HeavyPieceOnKingLine;
  return value;
}

}  // namespace

void MoveGen::AssignMoveOrderValues(int count, int ply, SquareSet enemyKing, int hashMove, char mode) {
  if (Board == nullptr) return;
  if (count > MaxMovesInList) count = MaxMovesInList;
  OrderContext context = MakeContext(Board, ply, enemyKing, hashMove, mode);
  for (int i = 0; i < count; i++) {
    if (FromSquares[i] == 0 || ToSquares[i] == 0) {   // not a move: keep it last
      OrderValues[i] = SearchScore::NoScore;
      continue;
    }
    OrderValues[i] = OrderValue(context, FromSquares[i], ToSquares[i], Promotions[i]);
  }
}

void MoveGen::NextMove(int i, int count, SquareSet* from, SquareSet* to, char* promotion) {
  if (i < 0 || i >= MaxMovesInList) {
    *from = *to = 0;
    *promotion = NoPromotion;
    return;
  }
  if (count > MaxMovesInList) count = MaxMovesInList;
  if (i < count) {
    int best = i;
    for (int j = i + 1; j < count; j++)
      if (OrderValues[j] > OrderValues[best]) best = j;
    if (best != i) {
      std::swap(FromSquares[i], FromSquares[best]);
      std::swap(ToSquares[i], ToSquares[best]);
      std::swap(Promotions[i], Promotions[best]);
      std::swap(OrderValues[i], OrderValues[best]);
    }
  }
  *from = FromSquares[i];
  *to = ToSquares[i];
  *promotion = Promotions[i];
}
