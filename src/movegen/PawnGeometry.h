#pragma once
// Directions and ranks of one side's pawns; Black mirrors White.
#include "board/ChessBoard.h"
#include "board/Masks.h"

template <int Side> struct PawnGeometry;

template <> struct PawnGeometry<0> {
  static constexpr SquareSet StartRank = Masks::Rank2;
  static constexpr SquareSet DoubleStepRank = Masks::Rank4;   // where a double step lands
  static constexpr SquareSet EnPassantRank = Masks::Rank5;    // where an en-passant capturer stands
  static constexpr SquareSet EnemyStartRank = Masks::Rank7;
  static constexpr SquareSet PromotionRank = Masks::Rank8;
  static constexpr char Promotion = 'Q';   // the generators promote to a queen only
  static SquareSet Forward(SquareSet s) { return s << 8; }
  static SquareSet Back(SquareSet s) { return s >> 8; }
  static SquareSet CaptureTowardsA(SquareSet s) { return (s & ~Masks::FileA) << 7; }
  static SquareSet CaptureTowardsH(SquareSet s) { return (s & ~Masks::FileH) << 9; }
  static SquareSet FromTowardsA(SquareSet to) { return to >> 7; }
  static SquareSet FromTowardsH(SquareSet to) { return to >> 9; }
};

template <> struct PawnGeometry<1> {
  static constexpr SquareSet StartRank = Masks::Rank7;
  static constexpr SquareSet DoubleStepRank = Masks::Rank5;
  static constexpr SquareSet EnPassantRank = Masks::Rank4;
  static constexpr SquareSet EnemyStartRank = Masks::Rank2;
  static constexpr SquareSet PromotionRank = Masks::Rank1;
  static constexpr char Promotion = 'q';
  static SquareSet Forward(SquareSet s) { return s >> 8; }
  static SquareSet Back(SquareSet s) { return s << 8; }
  static SquareSet CaptureTowardsA(SquareSet s) { return (s & ~Masks::FileA) >> 9; }
  static SquareSet CaptureTowardsH(SquareSet s) { return (s & ~Masks::FileH) >> 7; }
  static SquareSet FromTowardsA(SquareSet to) { return to << 9; }
  static SquareSet FromTowardsH(SquareSet to) { return to << 7; }
};

template <int Side> char PromotionFor(SquareSet to) {
  return (to & PawnGeometry<Side>::PromotionRank) ? PawnGeometry<Side>::Promotion : NoPromotion;
}

// The square an en-passant capture lands on, or 0 when the opponent's last move was not a
// double step of a pawn (the last-move fields are the board's only en-passant state).
template <int Side> SquareSet EnPassantTarget(const ChessBoard& b) {
  using G = PawnGeometry<Side>;
  if (!(b.LastTo & b.PawnsOf(1 - Side) & G::EnPassantRank) || !(b.LastFrom & G::EnemyStartRank)) return 0;
  return G::Forward(b.LastTo) & ~b.AllPieces;
}

// Own pawns standing beside the pawn that just made a double step.
template <int Side> SquareSet EnPassantCapturers(const ChessBoard& b, SquareSet ownPawns) {
  return ((b.LastTo >> 1) | (b.LastTo << 1)) & ownPawns & PawnGeometry<Side>::EnPassantRank;
}
