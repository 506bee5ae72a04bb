#pragma once
// Scores as each protocol writes them. A mate is counted in moves, the way front ends show it: UCI
// "score mate N" (negative when the side to move is mated), xboard 100000 + N (and -100000 - N),
// while the console keeps its centipawn figure. A stalemate at the root is a draw.
#include <cstdio>
#include "board/Types.h"
#include "search/SearchConstants.h"

namespace ScoreText {

constexpr int XboardMateBase = 100000;   // the xboard convention: 100000 + N is mate in N moves
constexpr int UciScoreSize = 24;         // room for "mate -N" or "cp N"

// The root's stalemate is a draw to a front end.
inline int Shown(int score) { return score == StalemateScore ? DrawScore : score; }

inline bool IsMate(int score) {
  const int s = Shown(score);
  return s > SearchScore::MateScoreBound || s < -SearchScore::MateScoreBound;
}

// Moves to the mate: positive when the side to move mates, negative (or 0 when mated now) when it
// is mated. A mate score is MateScore less the plies to the mate.
inline int MateMoves(int score) {
  const int s = Shown(score);
  if (s > 0) return (MateScore - s + 1) / 2;
  return -((MateScore + s) / 2);
}

inline int Centipawns(int score) { return Shown(score) / ScoreDivisor; }

// "cp 31" or "mate -2", as a UCI "info" line carries it.
inline void WriteUci(char* text, int size, int score) {
  if (IsMate(score)) std::snprintf(text, static_cast<std::size_t>(size), "mate %d", MateMoves(score));
  else std::snprintf(text, static_cast<std::size_t>(size), "cp %d", Centipawns(score));
}

// The score field of an xboard thinking line.
inline int Xboard(int score) {
  if (!IsMate(score)) return Centipawns(score);
  const int moves = MateMoves(score);
  return moves > 0 ? XboardMateBase + moves : -XboardMateBase + moves;
}

}  // namespace ScoreText
