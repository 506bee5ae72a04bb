// Piece activity: placement tables, mobility, outposts, bishop pair and fianchetto, rooks on files
// and behind passers, trapped queens, and the kings' placement.
#include <algorithm>
#include "eval/EvalSide.h"
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

namespace {

// Usable squares: attacked, not held by an own man, and not an empty square an enemy pawn guards.
int MobilityCount(SquareSet attacks, SquareSet own, SquareSet empty, SquareSet enemyPawnAttacks) {
  return PopCount(attacks & ~own & ~(empty & enemyPawnAttacks));
}

// Reads a mobility table; a board with more pieces on a square than a real game allows cannot
// read past the table's end.
template <std::size_t N>
int MobilityValue(const std::array<std::int32_t, N>& table, int count) {
  return table[std::min<std::size_t>(static_cast<std::size_t>(count), N - 1)];
}

int LowestSquare(SquareSet set) { return __builtin_ctzll(set); }

// The middlegame placement of the king of `Side`, its own view (the endgame table is symmetric).
template <int Side>
int KingPlacement(const PositionEvaluate& e) {
  using S = EvalSide<Side>;
  return S::KingTable[e.*S::KingSquare];
}

// Without pawns, a side with pieces against a bare king brings its king closer, its own view.
template <int Side>
int LoneKingChase(const PositionEvaluate& e, int kingDistance) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  return e.*Them::PieceCount == 0 && e.*S::PieceCount >= 1 ? -MateDistanceWeight * kingDistance : 0;
}

// The knight terms of both sides, White's view. Mobility counts in both game stages.
struct KnightTerms {
  int Squares = 0, EndSquares = 0, Posts = 0, Mobility = 0;
};

// Adds one side's knights to `t`. An outpost counts while no enemy pawn stands where it could
// attack the knight (the outpost tables are zero on the edge files, so the pawn attack set's edge
// masks never matter here).
template <int Side>
inline void AddKnights(const PositionEvaluate& e, const ChessBoard& b, KnightTerms& t) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const SquareSet empty = ~b.AllPieces;
  for (SquareSet knights = b.*S::Knights; knights; knights &= knights - 1) {
    const int square = LowestSquare(knights);
    t.Squares += S::Sign * S::KnightTable[square];
    t.EndSquares += S::Sign * KnightEnding[square];
    if (S::KnightPostTable[square] && !(b.*Them::Pawns & S::PawnAttackSet(SquareBit(square))))
      t.Posts += S::Sign * S::KnightPostTable[square];
    t.Mobility += S::Sign * MobilityValue(KnightMobility, MobilityCount(EvalAttacks::Knight(square), b.*S::Pieces, empty, e.*Them::PawnAttacks));
  }
}

// The bishop terms of both sides, White's view; the pair is scored outside the taper.
struct BishopTerms {
  int Squares = 0, EndSquares = 0, Mobility = 0, Fianchetto = 0, Pair = 0;
};

template <int Side>
inline void AddBishops(const PositionEvaluate& e, const ChessBoard& b, BishopTerms& t) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const SquareSet empty = ~b.AllPieces;
  for (SquareSet bishops = b.*S::Bishops; bishops; bishops &= bishops - 1) {
    const int square = LowestSquare(bishops);
    t.Squares += S::Sign * S::BishopTable[square];
    t.EndSquares += S::Sign * BishopEnding[square];
    t.Mobility += S::Sign * MobilityValue(BishopMobility, MobilityCount(e.PieceAttacks[square], b.*S::Pieces, empty, e.*Them::PawnAttacks));
  }
  const SquareSet pawns = b.*S::Pawns;
  if ((b.*S::Bishops & S::Relative(FianchettoBishop)) && (pawns & S::Relative(FianchettoPawn)) && (pawns & S::Relative(FianchettoCover)))
    t.Fianchetto += S::Sign * FianchettoBonus;
  if (b.*S::BishopCount >= 2) t.Pair += S::Sign * BishopPairBonus;
}

// The rook terms of both sides, White's view; the half-open file bonus is scored outside the taper.
struct RookTerms {
  int MobilityMiddle = 0, MobilityEnd = 0, FilesMiddle = 0, FilesEnd = 0, PassersMiddle = 0, PassersEnd = 0, HalfOpen = 0;
};

// Mobility, open and half-open files, a rook stuck on its first rank behind an enemy pawn, and
// rooks behind passed pawns. Ranks are counted from the side's own first rank: a rook is behind its
// own passer on a lower rank, behind an enemy passer on a higher one.
template <int Side>
inline void AddRooks(const PositionEvaluate& e, const ChessBoard& b, RookTerms& r) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const std::uint8_t* ownPassers = e.*S::PasserRanks;
  const std::uint8_t* enemyPassers = e.*Them::PasserRanks;
  for (SquareSet rooks = b.*S::Rooks; rooks; rooks &= rooks - 1) {
    const int square = LowestSquare(rooks), rank = S::RelativeRank(RankOf(square)), file = FileOf(square);
    const SquareSet bit = SquareBit(square);
    const int value = MobilityValue(RookMobility, MobilityCount(e.PieceAttacks[square], b.*S::Pieces, ~b.AllPieces, e.*Them::PawnAttacks));
    r.MobilityMiddle += S::Sign * value;
    r.MobilityEnd += S::Sign * ((RookEndgameMobilityWeight * value) / RookEndgameMobilityDivisor);
    if (e.OpenFiles & bit) {
      r.FilesMiddle += S::Sign * RookOpenFileMiddle;
      r.FilesEnd += S::Sign * RookOpenFileEnd;
    } else {
      if (rank == 0 && (b.*Them::Pawns & S::Forward(bit, 8))) {
        r.FilesMiddle -= S::Sign * RookBlockedMiddle;
        r.FilesEnd -= S::Sign * RookBlockedEnd;
      }
      if (e.*S::NoOwnPawnFiles & bit) r.HalfOpen += S::Sign * RookHalfOpenFile;
    }
    const int ownPasser = ownPassers[file + 1], enemyPasser = enemyPassers[file + 1];
    if (ownPasser && rank < S::RelativeRank(ownPasser)) {
      r.PassersMiddle += S::Sign * RookBehindOwnPasserMiddle;
      r.PassersEnd += S::Sign * RookBehindOwnPasserEnd;
    }
    if (enemyPasser && rank > S::RelativeRank(enemyPasser)) {
      r.PassersMiddle += S::Sign * RookBehindEnemyPasserMiddle;
      r.PassersEnd += S::Sign * RookBehindEnemyPasserEnd;
    }
  }
}

// The queen terms of both sides, White's view.
struct QueenTerms {
  int Mobility = 0, Trapped = 0;
};

// A queen deep in enemy territory with fewer than two safe squares is likely to be caught.
template <int Side>
inline void AddQueens(const PositionEvaluate& e, const ChessBoard& b, QueenTerms& t) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const SquareSet empty = ~b.AllPieces;
  for (SquareSet queens = b.*S::Queens; queens; queens &= queens - 1) {
    const int square = LowestSquare(queens);
    const SquareSet usable = e.PieceAttacks[square] & ~(b.*S::Pieces) & ~(empty & e.*Them::PawnAttacks);
    t.Mobility += S::Sign * MobilityValue(QueenMobility, PopCount(usable));
    const int safe = PopCount(usable & ~(e.*Them::Attacks));
    if (S::RelativeRank(RankOf(square)) >= QueenDeepRank && safe < QueenSafeSquaresNeeded)
      t.Trapped -= S::Sign * TrappedQueenPerSquare * (QueenSafeSquaresNeeded - safe);
  }
}

}  // namespace

template <bool Trace>
int PositionEvaluate::KingEval(char /*side*/) {
  const ChessBoard& b = *bb;
  const int middle = Weighted(KingPlacement<0>(*this) - KingPlacement<1>(*this), KingPlacementPercent);
  const int end = Weighted(KingEnding[WhiteKingSquare] - KingEnding[BlackKingSquare], KingPlacementPercent);
  MiddleGameScore += middle;
  EndGameScore += end;
  Note<Trace>(TermKingSquares, middle, end);
  int mating = 0;
  if (b.WhitePawnCount == 0 && b.BlackPawnCount == 0) {
    const int distance = Distance(WhiteKingSquare, BlackKingSquare);
    mating = LoneKingChase<0>(*this, distance) - LoneKingChase<1>(*this, distance);
  }
  NoteDirect<Trace>(TermMateDistance, mating);
  return mating;
}

template <bool Trace>
int PositionEvaluate::KnightEval(char /*side*/) {
  KnightTerms t;
  AddKnights<0>(*this, *bb, t);
  AddKnights<1>(*this, *bb, t);
  t.Squares = Weighted(t.Squares, MinorSquaresPercent);
  t.EndSquares = Weighted(t.EndSquares, MinorSquaresPercent);
  t.Mobility = Weighted(t.Mobility, KnightMobilityPercent);
  MiddleGameScore += t.Squares + t.Posts + t.Mobility;
  EndGameScore += t.EndSquares + t.Mobility;
  Note<Trace>(TermKnightSquares, t.Squares, t.EndSquares);
  Note<Trace>(TermKnightOutposts, t.Posts, 0);
  Note<Trace>(TermKnightMobility, t.Mobility, t.Mobility);
  return 0;
}

template <bool Trace>
int PositionEvaluate::BishopEval(char /*side*/) {
  BishopTerms t;
  AddBishops<0>(*this, *bb, t);
  AddBishops<1>(*this, *bb, t);
  t.Squares = Weighted(t.Squares, MinorSquaresPercent);
  t.EndSquares = Weighted(t.EndSquares, MinorSquaresPercent);
  t.Mobility = Weighted(t.Mobility, BishopMobilityPercent);
  MiddleGameScore += t.Squares + t.Mobility + t.Fianchetto;
  EndGameScore += t.EndSquares + t.Mobility;
  Note<Trace>(TermBishopSquares, t.Squares, t.EndSquares);
  Note<Trace>(TermBishopMobility, t.Mobility, t.Mobility);
  Note<Trace>(TermFianchetto, t.Fianchetto, 0);
  NoteDirect<Trace>(TermBishopPair, t.Pair);
  return t.Pair;
}

template <bool Trace>
int PositionEvaluate::RookEval(char /*side*/) {
  RookTerms r;
  AddRooks<0>(*this, *bb, r);
  AddRooks<1>(*this, *bb, r);
  r.MobilityMiddle = Weighted(r.MobilityMiddle, RookMobilityPercent);
  r.MobilityEnd = Weighted(r.MobilityEnd, RookMobilityPercent);
  MiddleGameScore += r.MobilityMiddle + r.FilesMiddle + r.PassersMiddle;
  EndGameScore += r.MobilityEnd + r.FilesEnd + r.PassersEnd;
  Note<Trace>(TermRookMobility, r.MobilityMiddle, r.MobilityEnd);
  Note<Trace>(TermRookFiles, r.FilesMiddle, r.FilesEnd);
  Note<Trace>(TermRookPassers, r.PassersMiddle, r.PassersEnd);
  NoteDirect<Trace>(TermRookFiles, r.HalfOpen);
  return r.HalfOpen;
}

template <bool Trace>
int PositionEvaluate::QueenEval(char /*side*/) {
  QueenTerms t;
  AddQueens<0>(*this, *bb, t);
  AddQueens<1>(*this, *bb, t);
  t.Mobility = Weighted(t.Mobility, QueenMobilityPercent);
  MiddleGameScore += t.Mobility;
  EndGameScore += t.Mobility + t.Trapped;
  Note<Trace>(TermQueenMobility, t.Mobility, t.Mobility);
  Note<Trace>(TermQueenTrapped, 0, t.Trapped);
  return 0;
}

template int PositionEvaluate::KingEval<false>(char);
template int PositionEvaluate::KingEval<true>(char);
template int PositionEvaluate::KnightEval<false>(char);
template int PositionEvaluate::KnightEval<true>(char);
template int PositionEvaluate::BishopEval<false>(char);
template int PositionEvaluate::BishopEval<true>(char);
template int PositionEvaluate::RookEval<false>(char);
template int PositionEvaluate::RookEval<true>(char);
template int PositionEvaluate::QueenEval<false>(char);
template int PositionEvaluate::QueenEval<true>(char);
