// Pawn structure: the per-pawn walk, passed-pawn tables and the pawn hash table; the king- and
// piece-dependent passed-pawn terms are added at every call.
#include "eval/EvalSide.h"
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PawnHash.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

namespace {

constexpr int FileD = 3, FileE = 4;

std::uint64_t PackPair(std::int32_t high, std::int32_t low) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32 | static_cast<std::uint32_t>(low);
}
std::int32_t HighHalf(std::uint64_t pair) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(pair >> 32)); }
std::int32_t LowHalf(std::uint64_t pair) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(pair)); }

// The king zone: the king's file and its neighbours from the king's rank towards the enemy,
// only while the king is still on its first two ranks.
SquareSet KingFileAndNeighbours(int king) {
  const SquareSet file = FileSet(king);
  return file | ((file & ~Masks::FileH) << 1) | ((file & ~Masks::FileA) >> 1);
}
template <int Side>
SquareSet KingZone(int king) {
  using S = EvalSide<Side>;
  const int rank = S::RelativeRank(RankOf(king));
  if (rank > 1) return 0;
  return KingFileAndNeighbours(king) & S::Relative(~SquareSet{0} << (8 * rank));
}

// A passer with a neighbour passer at most one rank away counts as connected.
bool Connected(int neighbour, int rank) { return neighbour != 0 && neighbour >= rank - 1 && neighbour <= rank + 1; }

}  // namespace

void PositionEvaluate::ClearPawnRecords() {
  for (int i = 0; i < 10; ++i) WhitePasserRanks[i] = BlackPasserRanks[i] = 0;
  WhitePasserCount = BlackPasserCount = 0;
  PasserFlags = 0;
  WhiteDoubledPawns = BlackDoubledPawns = 0;
  WhiteDoubledFiles = BlackDoubledFiles = 0;
  WeakPawns = 0;
  WhitePawnScore = BlackPawnScore = 0;
  PawnMiddleGame = PawnEndGame = 0;
  WhitePasserScore = BlackPasserScore = 0;
  const SquareSet whiteFiles = FileFill(bb->WhitePawns);
  const SquareSet blackFiles = FileFill(bb->BlackPawns);
  NoWhitePawnFiles = ~whiteFiles;
  NoBlackPawnFiles = ~blackFiles;
  PawnFiles = whiteFiles | blackFiles;
  OpenFiles = ~PawnFiles;
  WhitePawnAttacks = WhitePawnAttackSet(bb->WhitePawns);
  BlackPawnAttacks = BlackPawnAttackSet(bb->BlackPawns);
}

// Isolated and backward pawns, and the rook pawn whose king went to the other wing.
template <bool Trace, int Side>
bool PositionEvaluate::IsolationTerms(int square, bool halfOpen, int kingFile) {
  using S = EvalSide<Side>;
  const SquareSet own = bb->*S::Pawns;
  const int file = FileOf(square);
  int score = 0;
  bool isolated = (own & AdjacentFilesMask[square]) == 0;
  if (file == 0 || file == 7) {
    if ((file == 0) == (kingFile >= 4)) score -= WingPawnKingAway;
    NoteDirect<Trace>(TermWingPawns, S::Sign * score);
  } else if (isolated) {
    if (file == FileD || file == FileE) score -= CentralFilePenalty;
  } else if ((own & AdjacentFilesMask[square] & ~(this->*S::FrontSpan)[square]) == 0) {
    score -= halfOpen ? BackwardHalfOpen : BackwardPawn;
    WeakPawns |= SquareBit(square);
    NoteDirect<Trace>(TermBackwardPawns, S::Sign * score);
  }
  if (isolated) {
    PawnMiddleGame -= S::Sign * IsolatedPawn[file];
    PawnEndGame -= S::Sign * IsolatedPawn[file];
    Note<Trace>(TermIsolatedPawns, -S::Sign * IsolatedPawn[file], -S::Sign * IsolatedPawn[file]);
    const int extra = (file != 0 && file != 7 && (file == FileD || file == FileE) ? -CentralFilePenalty : 0) -
                      (halfOpen ? HalfOpenIsolated : 0);
    NoteDirect<Trace>(TermIsolatedPawns, S::Sign * extra);
    if (halfOpen) score -= HalfOpenIsolated;
  }
  this->*S::PawnScore += score;
  return isolated;
}

// A passed pawn is recorded for the passer tables; any other pawn earns a little for advancing,
// and a candidate (outnumbering the enemy pawns in front of it) part of a passer's value.
template <bool Trace, int Side>
void PositionEvaluate::PasserOrCandidate(int square, bool isolated, SquareSet kingZone) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const SquareSet own = bb->*S::Pawns, enemy = bb->*Them::Pawns;
  const SquareSet* frontSpan = this->*S::FrontSpan;
  const SquareSet bit = SquareBit(square);
  const int advance = S::RelativeRank(RankOf(square));
  if ((enemy & frontSpan[square]) == 0) {
    int refund = isolated ? IsolatedPasserRefund : 0;
    if (WeakPawns & bit) {
      refund += BackwardPasserRefund;
      WeakPawns &= ~bit;
    }
    this->*S::PawnScore += refund;
    NoteDirect<Trace>(TermPasserStructure, S::Sign * refund);
    (this->*S::PasserRanks)[FileOf(square) + 1] = static_cast<std::uint8_t>(RankOf(square));
    ++(this->*S::PasserCount);
    return;
  }
  if (!(kingZone & bit)) {
    this->*S::PawnScore += Passers[advance] >> 2;
    NoteDirect<Trace>(TermPawnAdvance, S::Sign * (Passers[advance] >> 2));
  }
  if (!(enemy & FileSet(square)) && !isolated) {
    const int enemyAhead = PopCount(enemy & frontSpan[square]);
    const int ownOnFiles = PopCount(own & (FileSet(square) | AdjacentFilesMask[square]));
    const int ownBehind = PopCount(own & FileMask[square] & ~frontSpan[square]);
    if (enemyAhead < ownOnFiles - ownBehind) this->*S::PasserScore += Passers[advance] / 3;
  }
}

// The walk starts at the side's rearmost pawn, so that the most advanced passer of a file is the
// one recorded last.
template <bool Trace, int Side>
void PositionEvaluate::PawnWalk() {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const SquareSet own = bb->*S::Pawns;
  const SquareSet* frontSpan = this->*S::FrontSpan;
  const int king = this->*S::KingSquare;
  const SquareSet kingZone = KingZone<Side>(king);
  for (SquareSet pawns = own; pawns;) {
    const int square = S::Rearmost(pawns);
    pawns &= ~SquareBit(square);
    const bool halfOpen = (this->*Them::NoOwnPawnFiles & SquareBit(square)) != 0;
    this->*S::PawnScore += S::PawnTable[square];
    NoteDirect<Trace>(TermPawnSquares, S::Sign * S::PawnTable[square]);
    const bool isolated = IsolationTerms<Trace, Side>(square, halfOpen, FileOf(king));
    PasserOrCandidate<Trace, Side>(square, isolated, kingZone);
    if (own & FileMask[square] & frontSpan[square]) {   // another own pawn ahead on the file
      ++(this->*S::DoubledPawns);
      this->*S::DoubledFiles |= FileSet(square);
      if (halfOpen) this->*S::PawnScore -= DoubledHalfOpen;
      NoteDirect<Trace>(TermDoubledPawns, halfOpen ? -S::Sign * DoubledHalfOpen : 0);
    }
  }
  const int central = S::Sign * CentralPawnBonus * PopCount(own & CentreSquares);
  PawnMiddleGame += central;
  Note<Trace>(TermCentralPawns, central, 0);
  if (!own) {
    this->*S::PawnScore = NoPawnsScore;
    NoteDirect<Trace>(TermNoPawns, S::Sign * NoPawnsScore);
  }
}

// Passed pawns by their neighbours: alone (protected or not), or connected to a passer on the
// next file at most one rank away.
template <int Side>
void PositionEvaluate::PasserTables() {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const std::uint8_t* passerRanks = this->*S::PasserRanks;
  for (int file = 0; file < 8; ++file) {
    const int rank = passerRanks[file + 1];
    if (!rank) continue;
    PasserFlags |= S::PasserFlag;
    const int left = passerRanks[file], right = passerRanks[file + 2];
    const std::array<std::int32_t, 8>* table = &Passers;
    if (left == 0 && right == 0) {
      // An own pawn protects the passer from the squares an enemy pawn on it would attack.
      if (bb->*S::Pawns & Them::PawnAttackSet(SquareBit(rank * 8 + file))) table = &ProtectedPassers;
    } else if (Connected(left != 0 ? left : right, rank)) {
      table = &ConnectedPassers;
      PasserFlags |= S::ConnectedPasserFlag;
    }
    const int value = (*table)[S::RelativeRank(rank)];
    this->*S::PasserScore += (this->*S::DoubledFiles & (Masks::FileA << file)) ? (value * DoubledPasserScale) >> 4 : value;
  }
}

// Terms of the passed pawns that depend on the kings and pieces: the square rule, king distances,
// support by minor pieces, and a free path on the sixth and seventh ranks.
template <bool Trace, int Side>
void PositionEvaluate::PasserKingTerms(char side) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  const std::uint8_t* passerRanks = this->*S::PasserRanks;
  const SquareSet minors = this->*S::KnightAttacks | this->*S::BishopAttacks;
  const SquareSet enemyAttacks = this->*Them::Attacks;
  const int ownKing = this->*S::KingSquare, enemyKing = this->*Them::KingSquare;
  for (int file = 0; file < 8; ++file) {
    const int rank = passerRanks[file + 1];
    if (!rank) continue;
    const int square = rank * 8 + file, advance = S::RelativeRank(rank);
    const SquareSet bit = SquareBit(square);
    const SquareSet stop = S::Forward(bit, 8), next = S::Forward(bit, 16);
    if (DoesPawnPromote<Side>(rank, S::PromotionSquare(file), side)) this->*S::PasserScore += UnstoppablePasser;
    const int proximity = KingProximityPasserPenalty[advance];
    const int kings = Weighted(((FreePasserMaxDistance - Distance(square, ownKing)) * proximity) / 2 +
                                   (Distance(square, enemyKing) - FreePasserMaxDistance) * proximity,
                               PasserKingsPercent);
    if (minors & bit) this->*S::PasserScore += Passers[advance] >> 5;
    if (minors & stop) this->*S::PasserScore += Passers[advance] >> 5;
    if (minors & next) this->*S::PasserScore += Passers[advance] >> 6;
    int free = 0;
    if (advance == 6 && !(enemyAttacks & (bit | stop)) && !(bb->AllPieces & stop)) free = Passers[6];
    if (advance == 5 && !(bb->AllPieces & (stop | next)) && !(enemyAttacks & (bit | stop | next))) free = Passers[5];
    EndGameScore += S::Sign * (kings + free);
    Note<Trace>(TermPasserKings, 0, S::Sign * kings);
    Note<Trace>(TermPasserFreePath, 0, S::Sign * free);
  }
}

void PositionEvaluate::StorePawnEntry(PawnHashEntry& entry, std::uint32_t code, SquareSet pawns, std::uint32_t kings) const {
  entry.Code = code;
  entry.Pawns = pawns;
  entry.WhiteDoubled = WhiteDoubledPawns;
  entry.BlackDoubled = BlackDoubledPawns;
  entry.MiddleGame = PawnMiddleGame;
  entry.Weak = WeakPawns;
  entry.PawnFiles = PawnFiles;
  entry.OpenFiles = OpenFiles;
  entry.WhitePawnAttacks = WhitePawnAttacks;
  entry.BlackPawnAttacks = BlackPawnAttacks;
  for (int file = 0; file < 8; ++file) {
    entry.WhitePasserRanks[file] = WhitePasserRanks[file + 1];
    entry.BlackPasserRanks[file] = BlackPasserRanks[file + 1];
  }
  entry.PawnScores = PackPair(WhitePawnScore, BlackPawnScore);
  entry.PasserScores = PackPair(WhitePasserScore, BlackPasserScore);
  entry.Counts = std::uint64_t{BlackPasserCount} | std::uint64_t{WhitePasserCount} << 8 | std::uint64_t{PasserFlags} << 16;
  entry.EndGame = PawnEndGame;
  entry.NoBlackPawnFiles = NoBlackPawnFiles;
  entry.NoWhitePawnFiles = NoWhitePawnFiles;
  entry.KingContext = kings;
}

void PositionEvaluate::RestorePawnEntry(const PawnHashEntry& entry) {
  WhiteDoubledPawns = entry.WhiteDoubled;
  BlackDoubledPawns = entry.BlackDoubled;
  PawnMiddleGame = entry.MiddleGame;
  WeakPawns = entry.Weak;
  PawnFiles = entry.PawnFiles;
  OpenFiles = entry.OpenFiles;
  WhitePawnAttacks = entry.WhitePawnAttacks;
  BlackPawnAttacks = entry.BlackPawnAttacks;
  WhitePasserRanks[0] = WhitePasserRanks[9] = BlackPasserRanks[0] = BlackPasserRanks[9] = 0;
  for (int file = 0; file < 8; ++file) {
    WhitePasserRanks[file + 1] = entry.WhitePasserRanks[file];
    BlackPasserRanks[file + 1] = entry.BlackPasserRanks[file];
  }
  WhitePawnScore = HighHalf(entry.PawnScores);
  BlackPawnScore = LowHalf(entry.PawnScores);
  WhitePasserScore = HighHalf(entry.PasserScores);
  BlackPasserScore = LowHalf(entry.PasserScores);
  BlackPasserCount = static_cast<std::uint8_t>(entry.Counts);
  WhitePasserCount = static_cast<std::uint8_t>(entry.Counts >> 8);
  PasserFlags = static_cast<std::uint8_t>(entry.Counts >> 16);
  PawnEndGame = entry.EndGame;
  NoBlackPawnFiles = entry.NoBlackPawnFiles;
  NoWhitePawnFiles = entry.NoWhitePawnFiles;
}

// The traced instance always walks the pawns, so that the breakdown shows every pawn term; it
// leaves the table and its counters alone.
template <bool Trace>
int PositionEvaluate::PawnEval04(char side) {
  const SquareSet pawns = bb->WhitePawns | bb->BlackPawns;
  const std::uint32_t code = bb->PawnHashCode;
  const std::uint32_t kings = PawnKingContext(WhiteKingSquare, BlackKingSquare);
  PawnHashEntry& entry = PawnHashArray[code & PawnHashIndexMask];
  bool restored = false;
  if constexpr (!Trace) {
    ++Phashattempts;
    restored = entry.KingContext == kings && entry.Code == code && entry.Pawns == pawns;
  }
  if (restored) {
    RestorePawnEntry(entry);
  } else {
    ClearPawnRecords();
    PawnWalk<Trace, 0>();
    PasserTables<0>();
    PawnWalk<Trace, 1>();
    PasserTables<1>();
    if constexpr (!Trace) {
      ++Phashmisses;
      StorePawnEntry(entry, code, pawns, kings);
      PawnHashHoldsEntries = true;
    }
  }
  MiddleGameScore += PawnMiddleGame;
  EndGameScore += PawnEndGame;
  PasserKingTerms<Trace, 0>(side);
  PasserKingTerms<Trace, 1>(side);
  return WhitePawnScore - BlackPawnScore;
}

template int PositionEvaluate::PawnEval04<false>(char);
template int PositionEvaluate::PawnEval04<true>(char);
