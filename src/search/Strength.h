#pragma once
// Playing strength for people ("UCI_LimitStrength" and "UCI_Elo"). At a chosen rating the engine
// searches fewer nodes, as a weaker player sees less far, and chooses among its few best root
// moves, now and then a slightly worse one, as a weaker player misjudges a position; never a move
// far worse than the best, and never by a slower clock. The figures are calibrated against
// Stockfish's own limited strength (bench/match.sh).
#include <cstdint>

namespace StrengthLimits {
constexpr int MinElo = 1350;             // the lowest rating offered (Stockfish's lowest too)
constexpr int MaxElo = 1900;             // the unlimited engine at blitz: no cap, no choice
constexpr int DefaultElo = 1600;
// Nodes a move at these ratings, from games against Stockfish at the same UCI_Elo (5+0.05);
// between two of them the count grows geometrically. The rating table ends below MaxElo, where
// no cap is left.
struct NodeCapAt {
  int Elo;
  int Nodes;
};
constexpr NodeCapAt NodeCaps[] = {{MinElo, 8000}, {1400, 11000}, {1600, 14000}, {1800, 40000}, {MaxElo, 400000}};
constexpr int NodesAtMinElo = NodeCaps[0].Nodes;
constexpr int Lines = 3;                 // root moves the choice is made among
constexpr int WeaknessAtMinElo = 120;    // how far the choice may stray at the lowest rating, falling
                                         // to none at the highest (see PlayingStrength::ChooseLine)
constexpr int WeaknessScale = 128;       // above every weakness: no worse line is pushed past the best by its loss
constexpr int ChoiceSpreadCentipawns = 100;   // the random part's range follows the lines' spread, up to this
constexpr int MaxChoiceLossCentipawns = 150;  // a line this much worse than the best is never played
}  // namespace StrengthLimits

class PlayingStrength {
public:
  std::uint8_t Limited = 0;                       // set by the front end's option
  std::int32_t Elo = StrengthLimits::DefaultElo;  // StrengthLimits::MinElo .. MaxElo
  std::uint64_t RandomState = 0x9e3779b97f4a7c15ULL;

  std::int64_t NodeCap() const;   // nodes a move may search at the rating; 0: no cap
  bool FullStrength() const;      // the highest rating: the engine as it is
  int Weakness() const;
  // The line to play among `count` root lines of play, best first, scored in centipawns: each
  // line's score gets a push that grows with how much worse it is and a random part; the best
  // pushed score wins. A line more than MaxChoiceLossCentipawns worse is left out: a weaker
  // player misjudges, but does not give away a piece for nothing.
  int ChooseLine(const int* centipawns, int count);
  void Seed(std::uint64_t seed) { RandomState = seed ? seed : RandomState; }

private:
  std::uint32_t NextRandom();
};

extern PlayingStrength Strength;
