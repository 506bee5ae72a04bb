#include "search/Strength.h"

#include <algorithm>
#include <cmath>

PlayingStrength Strength;

using namespace StrengthLimits;

bool PlayingStrength::FullStrength() const { return Elo >= MaxElo; }

std::int64_t PlayingStrength::NodeCap() const {
  if (FullStrength()) return 0;
  const int elo = std::max(static_cast<int>(Elo), MinElo);
  for (std::size_t i = 1; i < sizeof NodeCaps / sizeof NodeCaps[0]; i++) {
    const NodeCapAt& low = NodeCaps[i - 1];
    const NodeCapAt& high = NodeCaps[i];
    if (elo > high.Elo) continue;
    const double share = static_cast<double>(elo - low.Elo) / (high.Elo - low.Elo);
    return static_cast<std::int64_t>(low.Nodes * std::pow(static_cast<double>(high.Nodes) / low.Nodes, share));
  }
  return 0;
}

int PlayingStrength::Weakness() const {
  const int elo = std::clamp(static_cast<int>(Elo), MinElo, MaxElo);
  return WeaknessAtMinElo * (MaxElo - elo) / (MaxElo - MinElo);
}

// xorshift64*: a few numbers per move; the quality of a cryptographic source is not needed.
std::uint32_t PlayingStrength::NextRandom() {
  RandomState ^= RandomState >> 12;
  RandomState ^= RandomState << 25;
  RandomState ^= RandomState >> 27;
  return static_cast<std::uint32_t>((RandomState * 0x2545f4914f6cdd1dULL) >> 32);
}

// After Stockfish's skill levels: a line's push makes up weakness / WeaknessScale of its loss and
// adds a random share of the lines' spread, so the weaker the rating, the more the random part
// decides among lines close to the best; a small weakness keeps the best line.
int PlayingStrength::ChooseLine(const int* centipawns, int count) {
  const int weakness = Weakness();
  if (centipawns == nullptr || count <= 1 || weakness <= 0) return 0;
  const int top = centipawns[0];
  const int spread = std::min(top - centipawns[count - 1], ChoiceSpreadCentipawns);
  int chosen = 0;
  long long bestPushed = 0;
  for (int i = 0; i < count; i++) {
    const long long loss = top - centipawns[i];
    if (loss > MaxChoiceLossCentipawns) continue;
    const long long random = NextRandom() % static_cast<std::uint32_t>(weakness);
    const long long pushed = centipawns[i] + (weakness * loss + spread * random) / WeaknessScale;
    if (i == 0 || pushed > bestPushed) {
      bestPushed = pushed;
      chosen = i;
    }
  }
  return chosen;
}
