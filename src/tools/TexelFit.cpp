#include "tools/TexelFit.h"

#include <algorithm>
#include <cmath>
#include "board/Types.h"

namespace {

constexpr double Ln10 = 2.302585092994046;
constexpr double EloScale = 400.0;     // the 400 of the logistic, as in the Elo formula
constexpr int ScaleRounds = 4;         // FitScale: each round scans around the last round's best
constexpr int ScaleSteps = 20;         // points per round, from one end of its range to the other

// Adam on the whole set at each step; the rate falls linearly to a tenth of itself so that the
// weights settle instead of circling the minimum.
constexpr int AdamSteps = 500;
constexpr double AdamRate = 0.01;
constexpr double AdamFinalRateShare = 0.1;
constexpr double AdamMomentum = 0.9;
constexpr double AdamSquareMomentum = 0.999;
constexpr double AdamEpsilon = 1e-12;

// The logistic's slope per evaluator unit: 10^(-K s / 400) with s in centipawns.
double Slope(double k) { return k * Ln10 / (EloScale * ScoreDivisor); }

double Score(const TexelPosition& position, const TermWeights& weights) {
  double score = position.Rest;
  for (int term = 0; term < TexelParameterCount; ++term) score += weights[term] * position.Terms[term];
  return score;
}

double Chance(double slope, double score) { return 1.0 / (1.0 + std::exp(-slope * score)); }

struct ErrorGradient {
  double Error = 0;
  TermWeights Gradient{};
};

ErrorGradient ErrorAndGradient(const TexelPositions& positions, const TermWeights& weights, double slope) {
  ErrorGradient result;
  if (positions.empty()) return result;
  for (const TexelPosition& position : positions) {
    const double chance = Chance(slope, Score(position, weights));
    const double miss = chance - position.Outcome;
    result.Error += miss * miss;
    const double factor = 2.0 * miss * chance * (1.0 - chance) * slope;
    for (int term = 0; term < TexelParameterCount; ++term) result.Gradient[term] += factor * position.Terms[term];
  }
  const double count = static_cast<double>(positions.size());
  result.Error /= count;
  for (double& part : result.Gradient) part /= count;
  return result;
}

struct AdamState {
  TermWeights Mean{};      // running mean of the gradient
  TermWeights Squares{};   // running mean of its squares
  double MeanDecay = 1;    // AdamMomentum ^ step, for the bias correction
  double SquaresDecay = 1;
};

void AdamStep(const TermWeights& gradient, const TermMask& fitted, double rate, AdamState* state,
              TermWeights* weights) {
  state->MeanDecay *= AdamMomentum;
  state->SquaresDecay *= AdamSquareMomentum;
  for (int term = 0; term < TexelParameterCount; ++term) {
    if (!fitted[term]) continue;
    const double g = gradient[term];
    state->Mean[term] = AdamMomentum * state->Mean[term] + (1 - AdamMomentum) * g;
    state->Squares[term] = AdamSquareMomentum * state->Squares[term] + (1 - AdamSquareMomentum) * g * g;
    const double mean = state->Mean[term] / (1 - state->MeanDecay);
    const double squares = state->Squares[term] / (1 - state->SquaresDecay);
    const double moved = (*weights)[term] - rate * mean / (std::sqrt(squares) + AdamEpsilon);
    (*weights)[term] = std::clamp(moved, MinTermWeight, MaxTermWeight);
  }
}

}  // namespace

bool IsFixedTerm(int term) { return term == TermMaterial || term == TermRounding; }

TermWeights UnitWeights() {
  TermWeights weights;
  weights.fill(1.0);
  return weights;
}

double TexelWinChance(double k, double score) { return Chance(Slope(k), score); }

double TexelError(const TexelPositions& positions, const TermWeights& weights, double k) {
  if (positions.empty()) return 0;
  const double slope = Slope(k);
  double sum = 0;
  for (const TexelPosition& position : positions) {
    const double miss = Chance(slope, Score(position, weights)) - position.Outcome;
    sum += miss * miss;
  }
  return sum / static_cast<double>(positions.size());
}

double FitScale(const TexelPositions& positions) {
  const TermWeights unit = UnitWeights();
  double low = MinScaleK, high = MaxScaleK, best = 1.0, bestError = TexelError(positions, unit, best);
  for (int round = 0; round < ScaleRounds; ++round) {
    const double step = (high - low) / ScaleSteps;
    for (int i = 0; i <= ScaleSteps; ++i) {
      const double k = low + i * step;
      const double error = TexelError(positions, unit, k);
      if (error < bestError) {
        bestError = error;
        best = k;
      }
    }
    low = std::max(MinScaleK, best - step);
    high = std::min(MaxScaleK, best + step);
  }
  return best;
}

std::array<double, TexelParameterCount> ActiveShares(const TexelPositions& positions) {
  std::array<double, TexelParameterCount> shares{};
  if (positions.empty()) return shares;
  for (const TexelPosition& position : positions) {
    for (int term = 0; term < TexelParameterCount; ++term) shares[term] += position.Terms[term] != 0 ? 1 : 0;
  }
  for (double& share : shares) share /= static_cast<double>(positions.size());
  return shares;
}

TermMask FittedTerms(const TexelPositions& positions) {
  const std::array<double, TexelParameterCount> shares = ActiveShares(positions);
  TermMask fitted{};
  for (int term = 0; term < TexelParameterCount; ++term) fitted[term] = !IsFixedTerm(term / TexelHalves) && shares[term] >= MinActiveShare;
  return fitted;
}

double FitWeights(const TexelPositions& positions, double k, const TermMask& fitted, TermWeights* weights) {
  const double slope = Slope(k);
  AdamState state;
  TermWeights best = *weights;
  double bestError = TexelError(positions, best, k);
  for (int step = 0; step < AdamSteps; ++step) {
    const ErrorGradient current = ErrorAndGradient(positions, *weights, slope);
    if (current.Error < bestError) {
      bestError = current.Error;
      best = *weights;
    }
    const double rate = AdamRate * (1.0 - (1.0 - AdamFinalRateShare) * step / AdamSteps);
    AdamStep(current.Gradient, fitted, rate, &state, weights);
  }
  const double last = TexelError(positions, *weights, k);
  if (last < bestError) return last;
  *weights = best;
  return bestError;
}
