// King safety (pawn shelter, pawn storms, attacks on the king's squares) and trapped pieces.
#include <algorithm>
#include "eval/EvalAttacks.h"
#include "eval/EvalCover.h"
#include "eval/EvalSide.h"
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

namespace {

// A piece of `Side` caught by one of the patterns (named for White; Black's are their mirror images).
template <int Side>
bool Matches(const TrapPattern& pattern, SquareSet pieces, SquareSet enemyPawns) {
  using S = EvalSide<Side>;
  const SquareSet allOf = S::Relative(pattern.AllOf);
  return (pieces & S::Relative(pattern.Piece)) && (enemyPawns & allOf) == allOf &&
         (!pattern.AnyOf || (enemyPawns & S::Relative(pattern.AnyOf)));
}

template <int Side>
bool RookShutIn(const RookTrapPattern& pattern, const ChessBoard& b) {
  using S = EvalSide<Side>;
  return (b.*S::King & S::Relative(pattern.King)) && (b.*S::Rooks & S::Relative(pattern.Rook)) &&
         (b.*S::Pawns & S::Relative(pattern.Pawn));
}

template <std::size_t N>
constexpr SquareSet PatternSquares(const TrapPattern (&patterns)[N]) {
  SquareSet squares = 0;
  for (const TrapPattern& pattern : patterns) squares |= pattern.Piece;
  return squares;
}

constexpr SquareSet KnightTrapSquares = PatternSquares(KnightTrapPatterns);
constexpr SquareSet BishopTrapSquares = PatternSquares(BishopTrapPatterns);

// How many of the patterns catch a piece; most positions have no piece on any trap square
// (`squares`), so that is tested first.
template <int Side, std::size_t N>
int PatternMatches(const TrapPattern (&patterns)[N], SquareSet squares, SquareSet pieces, SquareSet enemyPawns) {
  int matches = 0;
  if (pieces & EvalSide<Side>::Relative(squares))
    for (const TrapPattern& pattern : patterns) matches += Matches<Side>(pattern, pieces, enemyPawns) ? 1 : 0;
  return matches;
}

// The trapped pieces of one side, its own view: knights and bishops cut off in the enemy's
// corners, and a rook shut in by its own king while the enemy has a queen or a rook.
template <int Side>
int TrapPenalty(const ChessBoard& b) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  int score = -TrappedKnight * PatternMatches<Side>(KnightTrapPatterns, KnightTrapSquares, b.*S::Knights, b.*Them::Pawns) -
              TrappedBishop * PatternMatches<Side>(BishopTrapPatterns, BishopTrapSquares, b.*S::Bishops, b.*Them::Pawns);
  if ((b.*Them::QueenCount > 0 || b.*Them::RookCount > 0) &&
      (RookShutIn<Side>(RookTrapKingSide, b) || RookShutIn<Side>(RookTrapQueenSide, b)))
    score -= TrappedRook;
  return score;
}

int Indicator(SquareSet set) { return set ? 1 : 0; }

// Attacks on the squares of the king of `Side` (`zone`), weighted by the kinds of attackers;
// nothing unless at least two kinds take part, and only part of it with two or three.
template <int Side>
int ZoneAttack(const PositionEvaluate& e, const ChessBoard& b, SquareSet zone, int k) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const int pawn = Indicator(e.*Them::PawnAttacks & zone);
  const int knight = Indicator((e.*Them::KnightAttacks & (zone | b.*S::King)) | (b.*Them::Knights & zone));
  const int bishop = Indicator(e.*Them::BishopAttacks & zone);
  const int rook = Indicator(e.*Them::RookAttacks & zone);
  const int queen = Indicator(e.*Them::QueenAttacks & zone);
  const int attackers = pawn + knight + bishop + rook + queen;
  if (attackers <= 1) return 0;
  int danger = (PopCount(zone & e.*Them::Attacks) + pawn + knight + bishop + 2 * rook + 4 * queen) * ZoneAttackUnit * k;
  if (rook && queen) danger += RookAndQueenAttack;
  const SquareSet homeRanks = S::Relative(Masks::Rank1 | Masks::Rank2);
  const bool queenHome = b.*Them::Queens & homeRanks, rookHome = b.*Them::Rooks & homeRanks;
  if (queenHome && rookHome) danger += HeavyQueenAndRook;
  else if (queenHome) danger += HeavyQueen;
  else if (rookHome) danger += HeavyRook;
  return attackers <= 3 ? (attackers * danger) / 4 : danger;
}

// Enemy heavy pieces on the king's files without enemy pawns (one of them is expected), and every
// enemy piece on those files weighed by the shelter's holes.
template <int Side>
int FileAttack(const PositionEvaluate& e, const ChessBoard& b, int holes, int k) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const SquareSet files = KingRegionFiles(e.*S::KingSquare);
  const SquareSet heavy = b.*Them::Rooks | b.*Them::Queens;
  const SquareSet pieces = heavy | b.*Them::Knights | b.*Them::Bishops;
  return (PopCount(heavy & files & e.*Them::NoOwnPawnFiles) - 1) * OpenFileAttacker * k + FilePieceUnit * holes * PopCount(pieces & files);
}

// Bishops and queens on the diagonals that lead to a king still on its first two ranks.
template <int Side>
int DiagonalAim(const PositionEvaluate& e, const ChessBoard& b, int k) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const int king = e.*S::KingSquare, file = FileOf(king);
  if (S::RelativeRank(RankOf(king)) > 1) return 0;
  const SquareSet aimers = b.*Them::Bishops | b.*Them::Queens;
  int danger = 0;
  if (file >= 5) danger += DiagonalAttacker * k * PopCount(aimers & S::Relative(KingSideDiagonals));
  if (file <= 2) danger += DiagonalAttacker * k * PopCount(aimers & S::Relative(QueenSideDiagonals));
  return danger;
}

template <int Side>
int Defence(const PositionEvaluate& e, const ChessBoard& b, SquareSet zone) {
  using S = EvalSide<Side>;
  int defence = DefenderMinor * (Indicator(e.*S::BishopAttacks & zone) + Indicator(e.*S::KnightAttacks & zone) + Indicator(e.*S::RookAttacks & zone));
  if (e.*S::QueenAttacks & zone) defence += DefenderQueen;
  return defence + DefenderInZone * PopCount((b.*S::Knights | b.*S::Bishops | b.*S::Rooks | b.*S::Queens) & zone);
}

// The king's ring: the three-by-three block around it, moved off the board's edge so that a king
// on its first rank still counts the rank in front of its shelter.
template <int Side>
SquareSet KingRing(const PositionEvaluate& e) {
  const int king = e.*EvalSide<Side>::KingSquare;
  const int file = std::clamp(FileOf(king), 1, 6), rank = std::clamp(RankOf(king), 1, 6);
  const SquareSet centre = SquareBit(rank * 8 + file);
  return KingAttackSet(centre) | centre;
}

// The enemy men that reach a ring: how many (each ring square an enemy pawn attacks counts as one),
// the sum of the pieces' weights, and the pieces' attacks on the squares next to the king.
struct RingAttack {
  int Attackers = 0, Weight = 0, NextToKing = 0;
};

template <int Side>
RingAttack RingAttackers(const PositionEvaluate& e, const ChessBoard& b, SquareSet ring) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  RingAttack attack;
  attack.Attackers = PopCount(ring & e.*Them::PawnAttacks);
  auto add = [&](SquareSet pieces, int weight) {
    for (; pieces; pieces &= pieces - 1) {
      const SquareSet reach = e.PieceAttacks[__builtin_ctzll(pieces)];
      if (!(reach & ring)) continue;
      attack.Attackers++;
      attack.Weight += weight;
      attack.NextToKing += PopCount(reach & e.*S::KingAttacks);
    }
  };
  add(b.*Them::Knights, KnightAttackerDanger);
  add(b.*Them::Bishops, BishopAttackerDanger);
  add(b.*Them::Rooks, RookAttackerDanger);
  add(b.*Them::Queens, QueenAttackerDanger);
  return attack;
}

// The checks the enemy of `Side` can give next move: a safe one of a kind counts in full, checks
// from defended squares count a little each.
template <int Side>
int CheckDanger(const PositionEvaluate& e, const ChessBoard& b, SquareSet safe) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const int king = e.*S::KingSquare;
  const SquareSet straight = EvalAttacks::Rook(king, b.AllPieces), diagonal = EvalAttacks::Bishop(king, b.AllPieces);
  int danger = 0;
  SquareSet unsafe = 0;
  const SquareSet rookChecks = straight & e.*Them::RookAttacks & safe;
  if (rookChecks) danger += RookSafeCheckDanger;
  else unsafe |= straight & e.*Them::RookAttacks;
  // A queen check from a square our queen guards is no safe check.
  const SquareSet queenChecks = (straight | diagonal) & e.*Them::QueenAttacks & safe & ~(e.*S::QueenAttacks) & ~rookChecks;
  if (queenChecks) danger += QueenSafeCheckDanger;
  const SquareSet bishopChecks = diagonal & e.*Them::BishopAttacks & safe & ~queenChecks;
  if (bishopChecks) danger += BishopSafeCheckDanger;
  else unsafe |= diagonal & e.*Them::BishopAttacks;
  const SquareSet knightChecks = EvalAttacks::Knight(king) & e.*Them::KnightAttacks;
  if (knightChecks & safe) danger += KnightSafeCheckDanger;
  else unsafe |= knightChecks;
  return danger + UnsafeCheckDanger * PopCount(unsafe);
}

// The men of either side that stand alone between the king of `Side` and an enemy slider on the
// line: pinned pieces of ours, and enemy men whose move would uncover a check.
template <int Side>
int KingBlockers(const PositionEvaluate& e, const ChessBoard& b) {
  using Them = EvalSide<Side ^ 1>;
  const int king = e.*EvalSide<Side>::KingSquare;
  const SquareSet occupied = b.AllPieces, queens = b.*Them::Queens;
  auto along = [&](auto attacksFrom, SquareSet sliders) {
    const SquareSet seen = attacksFrom(king, occupied), first = seen & occupied;
    int blockers = 0;
    // Sliders seen through exactly one man: the man is where the two lines of sight meet.
    for (SquareSet snipers = attacksFrom(king, occupied & ~first) & ~seen & sliders; snipers; snipers &= snipers - 1)
      blockers += PopCount(attacksFrom(__builtin_ctzll(snipers), occupied) & first);
    return blockers;
  };
  return along([](int square, SquareSet occ) { return EvalAttacks::Rook(square, occ); }, b.*Them::Rooks | queens) +
         along([](int square, SquareSet occ) { return EvalAttacks::Bishop(square, occ); }, b.*Them::Bishops | queens);
}

// The king's flank (three or four files around its own) within its camp (its first five ranks).
template <int Side>
SquareSet KingFlankCamp(int king) {
  constexpr SquareSet QueenSide = Masks::FileA | Masks::FileB | Masks::FileC | Masks::FileD;
  constexpr SquareSet Centre = Masks::FileC | Masks::FileD | Masks::FileE | Masks::FileF;
  constexpr SquareSet KingSide = Masks::FileE | Masks::FileF | Masks::FileG | Masks::FileH;
  constexpr SquareSet Flanks[8] = {QueenSide & ~Masks::FileD, QueenSide, QueenSide, Centre,
                                   Centre, KingSide, KingSide, KingSide & ~Masks::FileE};
  const SquareSet camp = EvalSide<Side>::Relative(Masks::Rank1 | Masks::Rank2 | Masks::Rank3 | Masks::Rank4 | Masks::Rank5);
  return Flanks[FileOf(king)] & camp;
}

// The danger units of the king of `Side`: none while the enemy reaches its ring with too few men
// (two, or one beside a queen).
template <int Side>
int KingDangerUnits(const PositionEvaluate& e, const ChessBoard& b) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const SquareSet ring = KingRing<Side>(e);
  const RingAttack attack = RingAttackers<Side>(e, b, ring);
  const int enemyQueens = b.*Them::QueenCount;
  if (attack.Attackers <= 1 - enemyQueens) return 0;
  const Cover ours = CoverOf<Side>(e), theirs = CoverOf<Side ^ 1>(e);
  // Attacked squares that we defend once at most, and then only with the king or the queen.
  const SquareSet weak = theirs.Once & ~ours.Twice & (~ours.Once | e.*S::KingAttacks | e.*S::QueenAttacks);
  // Squares an enemy piece may go to: not its own men's, and neither defended by us nor weak and
  // attacked twice.
  const SquareSet safe = ~(b.*Them::Pieces) & (~ours.Once | (weak & theirs.Twice));
  const SquareSet flank = KingFlankCamp<Side>(e.*S::KingSquare);
  const int flankAttacks = PopCount(theirs.Once & flank) + PopCount(theirs.Twice & flank);
  int danger = attack.Attackers * attack.Weight + WeakRingSquareDanger * PopCount(ring & weak) +
               RingAttackDanger * attack.NextToKing + CheckDanger<Side>(e, b, safe) + BaseDanger +
               KingBlockerDanger * KingBlockers<Side>(e, b) +
               FlankAttackDangerNum * flankAttacks * flankAttacks / FlankAttackDangerDen +
               FlankDefenceDanger * PopCount(ours.Once & flank);
  if (enemyQueens == 0) danger += NoEnemyQueenDanger;
  if (e.*S::KnightAttacks & e.*S::KingAttacks) danger += KnightGuardDanger;
  return danger;
}

// What a king's danger costs in the middlegame: quadratic, so that a lone attacker costs little and
// a full attack a great deal. (Fitted on games, an endgame share was worth nothing.)
int CostOf(int danger) {
  if (danger <= MinCountedDanger) return 0;
  danger = std::min(danger, MaxCountedDanger);
  return danger * danger / DangerMiddleDivisor * DangerToScoreNum / DangerToScoreDen;
}

}  // namespace

int PositionEvaluate::Traps(char /*side*/) { return TrapPenalty<0>(*bb) - TrapPenalty<1>(*bb); }

// Penalty for one shelter file; `pawns` are the side's pawns on that file. Ranks are counted from
// the side's own first rank.
template <int Side>
int PositionEvaluate::PawnFilePenalty(SquareSet pawns) {
  using S = EvalSide<Side>;
  std::int32_t& holes = this->*S::ShieldHoles;
  if (!pawns) {
    ++holes;
    return ShieldFileEmpty;
  }
  const int rank = S::RelativeRank(RankOf(S::Rearmost(pawns)));
  if (rank >= ShieldHoleRank) ++holes;
  return (rank - 1) * ShieldStepPenalty;
}

template <int Side>
int PositionEvaluate::PawnShield() {
  using S = EvalSide<Side>;
  const ChessBoard& b = *bb;
  this->*S::ShieldHoles = 0;
  const int king = this->*S::KingSquare;
  const SquareSet pawns = b.*S::Pawns;
  const SquareSet pieces = b.*S::Pieces & ~pawns;
  const SquareSet front = S::Forward(SquareBit(king), 8);
  const SquareSet kingFile = FileSet(king);
  const int kingFilePenalty = PawnFilePenalty<Side>(pawns & kingFile);
  int penalty = 2 * kingFilePenalty;
  if ((pieces & front) && penalty > ShieldFileEmpty) penalty = kingFilePenalty;
  SquareSet others = KingRegionFiles(king) & ~kingFile;
  for (; others; others &= ~FileSet(__builtin_ctzll(others))) penalty += PawnFilePenalty<Side>(pawns & FileSet(__builtin_ctzll(others)));
  return penalty > 0 ? penalty : 0;
}

// Pawns of `Side` advancing on the files around the enemy king.
template <int Side>
int PositionEvaluate::PawnStorm() {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const SquareSet pawns = bb->*S::Pawns & KingRegionFiles(this->*Them::KingSquare);
  return StormNear * PopCount(pawns & S::Relative(Masks::Rank6)) + StormMiddle * PopCount(pawns & S::Relative(Masks::Rank5)) +
         StormFar * PopCount(pawns & S::Relative(Masks::Rank4));
}

// Danger to the king of `Side`: enemy attacks on the king's squares weighted by the holes in its
// shelter, heavy pieces on its files, bishops on its diagonals, less its defenders. PawnShield
// must have counted the side's holes first.
template <int Side>
int PositionEvaluate::AttackCounts() {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const ChessBoard& b = *bb;
  const SquareSet zone = this->*S::KingAttacks;
  const int holes = this->*S::ShieldHoles, k = holes + 1;
  const int enemyQueens = b.*Them::QueenCount;
  int danger = ZoneAttack<Side>(*this, b, zone, k);
  danger += HolePieceUnit * holes * (b.*Them::KnightCount + b.*Them::BishopCount + b.*Them::RookCount + 2 * enemyQueens);
  danger += FileAttack<Side>(*this, b, holes, k) + DiagonalAim<Side>(*this, b, k);
  if (enemyQueens == 0) danger /= 2;
  return danger - Defence<Side>(*this, b, zone);
}

// A side counts as attacking the enemy king with two pieces including the queen, or four pieces.
template <int Side>
bool PositionEvaluate::Attacking() const {
  using S = EvalSide<Side>;
  const int pieces = this->*S::PieceCount;
  return pieces >= MinAttackersForSafety && (bb->*S::QueenCount > 0 || pieces >= AttackersWithoutQueen);
}

// The troubles of the king of `Side` while the enemy attacks, its own view (larger is worse): the
// holes in its shelter, the attacks on it and the enemy pawns storming it. A storm counts in full
// only when the kings stand on opposite wings.
template <int Side>
PositionEvaluate::KingDanger PositionEvaluate::KingUnderAttack(bool oppositeWings) {
  KingDanger d;
  if (!Attacking<Side ^ 1>()) return d;
  d.Shield = PawnShield<Side>();
  d.Attack = AttackCounts<Side>();
  const int storm = PawnStorm<Side ^ 1>();
  d.Storm = oppositeWings ? storm : storm / 2;
  return d;
}

template <bool Trace>
void PositionEvaluate::KingSafety() {
  const int whiteFile = FileOf(WhiteKingSquare);
  const int blackFile = FileOf(BlackKingSquare);
  const bool oppositeWings = (whiteFile <= 3 && blackFile >= 5) || (blackFile <= 3 && whiteFile >= 5);
  const KingDanger white = KingUnderAttack<0>(oppositeWings), black = KingUnderAttack<1>(oppositeWings);
  const int shield = black.Shield - white.Shield;
  const int attack = Weighted(black.Attack - white.Attack, KingAttackPercent);
  const int pawnStorm = Weighted(black.Storm - white.Storm, PawnStormPercent);
  MiddleGameScore += shield + attack + pawnStorm;
  Note<Trace>(TermPawnShield, shield, 0);
  Note<Trace>(TermKingAttack, attack, 0);
  Note<Trace>(TermPawnStorm, pawnStorm, 0);
  KingDangerTerm<Trace>();
}

// The capture-search weight set's king danger (the standard set leaves it out, uncomputed).
template <bool Trace>
void PositionEvaluate::KingDangerTerm() {
  if (KingDangerPercent[static_cast<int>(Weights)] == 0) return;
  const int danger = CostOf(KingDangerUnits<1>(*this, *bb)) - CostOf(KingDangerUnits<0>(*this, *bb));
  const int middle = Weighted(danger, KingDangerPercent);
  MiddleGameScore += middle;
  Note<Trace>(TermKingDanger, middle, 0);
}

template void PositionEvaluate::KingSafety<false>();
template void PositionEvaluate::KingSafety<true>();
