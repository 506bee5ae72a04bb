#include "movegen/MoveGen.h"

#include <utility>
#include "board/Masks.h"
#include "board/SideFields.h"
#include "eval/EvalTables.h"
#include "movegen/MoveOrderTables.h"
#include "movegen/PawnGeometry.h"
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

template <int Mover>
int VictimValue(const ChessBoard& b, SquareSet to) {
  using Victim = SideFields<1 - Mover>;
  if (to & b.*Victim::Pawns) return PawnVictim;
  if (to & b.*Victim::Knights) return KnightVictim;
  if (to & b.*Victim::Bishops) return BishopVictim;
  if (to & b.*Victim::Rooks) return RookVictim;
  if (to & b.*Victim::Queens) return QueenVictim;
  return 0;
}

// Ranks counted from the mover's side of the board.
template <int Mover>
int RelativeRank(int square) { return Mover ? 7 - (square >> 3) : square >> 3; }

template <int Mover>
int PawnCaptureTerm(const ChessBoard& b, int f, int t) {
  int value = PawnCapture;
  if ((FrontSpans[Mover][t] & b.PawnsOf(1 - Mover)) == 0)
    value += EvalTables::Passers[RelativeRank<Mover>(t)] - EvalTables::Passers[RelativeRank<Mover>(f)];
  return value;
}

template <int Mover>
int RookCaptureTerm(const ChessBoard& b, int t) {
  int value = RookCapture;
  const SquareSet file = Masks::FileA << (t & 7);
  if ((file & (b.WhitePawns | b.BlackPawns)) == 0) value += OpenFileControl[t & 7];
  if (SquareBit(t) & PawnGeometry<Mover>::EnemyStartRank) value += EvalTables::Majorson7[1];   // their second rank
  return value;
}

// The capturing piece's term of a capture from f to t.
template <int Mover>
int CapturerTerm(const ChessBoard& b, SquareSet from, int f, int t) {
  using S = SideFields<Mover>;
  if (from & b.*S::Bishops) return BishopCapture;
  if (from & b.*S::Knights) return (Mover ? EvalTables::BKnightPost[t] : EvalTables::WKnightPost[t]) + KnightCapture;
  if (from & b.*S::Rooks) return RookCaptureTerm<Mover>(b, t);
  if (from & b.*S::Pawns) return PawnCaptureTerm<Mover>(b, f, t);
  if (from & b.*S::Queens) return QueenCapture;
  if (from & b.*S::King) return KingCapture;
  return 0;
}

template <int Mover>
int QuietValue(int code, char promotion) {
  if (promotion == SideFields<Mover>::QueenPromotion) return QueenPromotionValue;
  if (promotion == NoPromotion) return Search.History[Mover][code] >> SearchMargins::HistoryOrderShift;
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

// Captures and quiet moves of the side that owns the from-square.
template <int Mover>
int CaptureOrQuietValue(const OrderContext& c, SquareSet from, SquareSet to, char promotion, int f, int t) {
  const ChessBoard& b = *c.Board;
  int value = (to & b.PiecesOf(1 - Mover)) ? CaptureBase + VictimValue<Mover>(b, to) + CapturerTerm<Mover>(b, from, f, t)
                                           : QuietValue<Mover>(MoveCode(f, t), promotion);
  const bool heavy = from & (b.*SideFields<Mover>::Rooks | b.*SideFields<Mover>::Queens);
  if (heavy && (to & c.KingLines)) value += HeavyPieceOnKingLine;
  return value;
}

int OrderValue(OrderContext& c, SquareSet from, SquareSet to, char promotion) {
  const int f = SquareIndex(from), t = SquareIndex(to);
  const int special = SpecialValue(c, MoveCode(f, t), promotion);
  if (special) return special;
  return (from & c.Board->WhitePieces) ? CaptureOrQuietValue<0>(c, from, to, promotion, f, t)
                                       : CaptureOrQuietValue<1>(c, from, to, promotion, f, t);
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
