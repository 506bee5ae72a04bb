#pragma once
// What one side's attack maps cover: the squares it attacks at all and those it attacks twice,
// for the terms that weigh attackers against defenders.
#include "eval/EvalSide.h"

// The squares one side's maps cover at least once and at least twice (two pieces of one kind that
// attack the same square count once: their maps are merged).
struct Cover {
  SquareSet Once = 0, Twice = 0;
};

template <int Side>
inline Cover CoverOf(const PositionEvaluate& e) {
  using S = EvalSide<Side>;
  Cover cover;
  for (const SquareSet map : {e.*S::PawnAttacks, e.*S::KnightAttacks, e.*S::BishopAttacks, e.*S::RookAttacks,
                              e.*S::QueenAttacks, e.*S::KingAttacks}) {
    cover.Twice |= cover.Once & map;
    cover.Once |= map;
  }
  return cover;
}

