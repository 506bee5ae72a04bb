#pragma once
// Texel's method: multipliers of the evaluation's terms fitted to game results. The model gives
// White the winning chance P = 1 / (1 + 10^(-K s / 400)), s being the sum of the terms' middlegame
// and endgame shares, each times its multiplier, in centipawns; the fit minimises the mean of
// (result - P)^2 over the positions.
#include <array>
#include <cstdint>
#include <vector>
#include "eval/EvalTrace.h"

// Each term is fitted as two parameters: its share weighed by the middlegame side of the taper
// and its share weighed by the endgame side, so that a term may count differently by phase.
constexpr int TexelHalves = 2;
constexpr int TexelParameterCount = EvalTermCount * TexelHalves;
inline int TexelParameter(int term, int half) { return term * TexelHalves + half; }

// One position: its evaluation broken into terms, and the result of its game.
struct TexelPosition {
  std::int16_t Terms[TexelParameterCount];   // each term's middlegame and endgame share, White's view
  std::int16_t Rest;                   // the evaluation less the sum of the terms (taper rounding)
  float Outcome;                       // the game's result for White: 1, 0.5 or 0
};

using TexelPositions = std::vector<TexelPosition>;
using TermWeights = std::array<double, TexelParameterCount>;
using TermMask = std::array<bool, TexelParameterCount>;

constexpr double MinTermWeight = 0.0;
constexpr double MaxTermWeight = 3.0;
constexpr double MinScaleK = 0.01;     // the range FitScale searches
constexpr double MaxScaleK = 10.0;
constexpr double MinActiveShare = 0.01;   // a term non-zero in fewer of the positions keeps its weight

TermWeights UnitWeights();
// The winning chance of a score in evaluator units.
double TexelWinChance(double k, double score);
double TexelError(const TexelPositions& positions, const TermWeights& weights, double k);
// The K that minimises the error with every weight 1.
double FitScale(const TexelPositions& positions);
// The share of the positions in which each term is not zero.
std::array<double, TexelParameterCount> ActiveShares(const TexelPositions& positions);
// Material, which anchors the scale, and the rounding of the score, which is no knowledge.
bool IsFixedTerm(int term);
// The terms worth fitting: all but the fixed and the rare ones.
TermMask FittedTerms(const TexelPositions& positions);
// Fits the weights of the terms in `fitted` (the others keep theirs) within MinTermWeight ..
// MaxTermWeight for the given K; returns the error reached.
double FitWeights(const TexelPositions& positions, double k, const TermMask& fitted, TermWeights* weights);
