// Pawn structure: the per-pawn walk, passed-pawn tables and the pawn hash table; the king- and
// piece-dependent passed-pawn terms are added at every call.
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PawnHash.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

namespace {

constexpr std::uint8_t WhitePasserFlag = 1;
constexpr std::uint8_t WhiteConnectedFlag = 2;
constexpr std::uint8_t BlackPasserFlag = 16;
constexpr std::uint8_t BlackConnectedFlag = 32;
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
SquareSet WhiteKingZone(int king) {
  if (RankOf(king) > 1) return 0;
  return KingFileAndNeighbours(king) & (~SquareSet{0} << (8 * RankOf(king)));
}
SquareSet BlackKingZone(int king) {
  if (RankOf(king) < 6) return 0;
  const int rank = RankOf(king);
  const SquareSet upToRank = rank == 7 ? ~SquareSet{0} : (SquareSet{1} << (8 * (rank + 1))) - 1;
  return KingFileAndNeighbours(king) & upToRank;
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

// The fields and tables of one side's pawn walk. Black's walk is the mirror image of White's:
// highest square first, "ahead" towards rank 1, ranks counted from Black's side for the tables.
PositionEvaluate::PawnSide PositionEvaluate::SideOfPawns(char colour) {
  const ChessBoard& b = *bb;
  if (colour == 0)
    return {1, b.WhitePawns, b.BlackPawns, NoBlackPawnFiles, WhiteFrontSpan, &WPawnSquare, &WhitePawnScore, &WhitePasserScore,
            &WhiteDoubledPawns, &WhiteDoubledFiles, WhitePasserRanks, &WhitePasserCount,
            FileOf(WhiteKingSquare), WhiteKingZone(WhiteKingSquare)};
  return {-1, b.BlackPawns, b.WhitePawns, NoWhitePawnFiles, BlackFrontSpan, &BPawnSquare, &BlackPawnScore, &BlackPasserScore,
          &BlackDoubledPawns, &BlackDoubledFiles, BlackPasserRanks, &BlackPasserCount,
          FileOf(BlackKingSquare), BlackKingZone(BlackKingSquare)};
}

// Isolated and backward pawns, and the rook pawn whose king went to the other wing.
template <bool Trace>
bool PositionEvaluate::IsolationTerms(const PawnSide& p, int square, bool halfOpen) {
  const int file = FileOf(square);
  int score = 0;
  bool isolated = (p.Own & AdjacentFilesMask[square]) == 0;
  if (file == 0 || file == 7) {
    if ((file == 0) == (p.KingFile >= 4)) score -= WingPawnKingAway;
    NoteDirect<Trace>(TermWingPawns, p.Sign * score);
  } else if (isolated) {
    if (file == FileD || file == FileE) score -= CentralFilePenalty;
  } else if ((p.Own & AdjacentFilesMask[square] & ~p.FrontSpan[square]) == 0) {
    score -= halfOpen ? BackwardHalfOpen : BackwardPawn;
    WeakPawns |= SquareBit(square);
    NoteDirect<Trace>(TermBackwardPawns, p.Sign * score);
  }
  if (isolated) {
    PawnMiddleGame -= p.Sign * IsolatedPawn[file];
    PawnEndGame -= p.Sign * IsolatedPawn[file];
    Note<Trace>(TermIsolatedPawns, -p.Sign * IsolatedPawn[file], -p.Sign * IsolatedPawn[file]);
    const int extra = (file != 0 && file != 7 && (file == FileD || file == FileE) ? -CentralFilePenalty : 0) -
                      (halfOpen ? HalfOpenIsolated : 0);
    NoteDirect<Trace>(TermIsolatedPawns, p.Sign * extra);
    if (halfOpen) score -= HalfOpenIsolated;
  }
  *p.Score += score;
  return isolated;
}

// A passed pawn is recorded for the passer tables; any other pawn earns a little for advancing,
// and a candidate (outnumbering the enemy pawns in front of it) part of a passer's value.
template <bool Trace>
void PositionEvaluate::PasserOrCandidate(const PawnSide& p, int square, bool isolated) {
  const SquareSet bit = SquareBit(square);
  const int advance = p.Sign > 0 ? RankOf(square) : 7 - RankOf(square);
  if ((p.Enemy & p.FrontSpan[square]) == 0) {
    int refund = isolated ? IsolatedPasserRefund : 0;
    if (WeakPawns & bit) {
      refund += BackwardPasserRefund;
      WeakPawns &= ~bit;
    }
    *p.Score += refund;
    NoteDirect<Trace>(TermPasserStructure, p.Sign * refund);
    p.PasserRanks[FileOf(square) + 1] = static_cast<std::uint8_t>(RankOf(square));
    ++*p.PasserCount;
    return;
  }
  if (!(p.KingZone & bit)) {
    *p.Score += Passers[advance] >> 2;
    NoteDirect<Trace>(TermPawnAdvance, p.Sign * (Passers[advance] >> 2));
  }
  if (!(p.Enemy & FileSet(square)) && !isolated) {
    const int enemyAhead = PopCount(p.Enemy & p.FrontSpan[square]);
    const int ownOnFiles = PopCount(p.Own & (FileSet(square) | AdjacentFilesMask[square]));
    const int ownBehind = PopCount(p.Own & FileMask[square] & ~p.FrontSpan[square]);
    if (enemyAhead < ownOnFiles - ownBehind) *p.PasserScore += Passers[advance] / 3;
  }
}

template <bool Trace>
void PositionEvaluate::PawnWalk(char colour) {
  const PawnSide p = SideOfPawns(colour);
  for (SquareSet pawns = p.Own; pawns;) {
    const int square = p.Sign > 0 ? __builtin_ctzll(pawns) : 63 - __builtin_clzll(pawns);
    pawns &= ~SquareBit(square);
    const bool halfOpen = (p.HalfOpen & SquareBit(square)) != 0;
    *p.Score += (*p.Placement)[square];
    NoteDirect<Trace>(TermPawnSquares, p.Sign * (*p.Placement)[square]);
    const bool isolated = IsolationTerms<Trace>(p, square, halfOpen);
    PasserOrCandidate<Trace>(p, square, isolated);
    if (p.Own & FileMask[square] & p.FrontSpan[square]) {   // another own pawn ahead on the file
      ++*p.Doubled;
      *p.DoubledFiles |= FileSet(square);
      if (halfOpen) *p.Score -= DoubledHalfOpen;
      NoteDirect<Trace>(TermDoubledPawns, halfOpen ? -p.Sign * DoubledHalfOpen : 0);
    }
  }
  const int central = p.Sign * CentralPawnBonus * PopCount(p.Own & CentreSquares);
  PawnMiddleGame += central;
  Note<Trace>(TermCentralPawns, central, 0);
  if (!p.Own) {
    *p.Score = NoPawnsScore;
    NoteDirect<Trace>(TermNoPawns, p.Sign * NoPawnsScore);
  }
}

// Passed pawns by their neighbours: alone (protected or not), or connected to a passer on the
// next file at most one rank away.
void PositionEvaluate::PasserTables(char colour) {
  const PawnSide p = SideOfPawns(colour);
  for (int file = 0; file < 8; ++file) {
    const int rank = p.PasserRanks[file + 1];
    if (!rank) continue;
    PasserFlags |= colour ? BlackPasserFlag : WhitePasserFlag;
    const int left = p.PasserRanks[file], right = p.PasserRanks[file + 2];
    const std::array<std::int32_t, 8>* table = &Passers;
    if (left == 0 && right == 0) {
      const SquareSet bit = SquareBit(rank * 8 + file);
      const SquareSet behind = colour ? WhitePawnAttackSet(bit) : BlackPawnAttackSet(bit);
      if (p.Own & behind) table = &ProtectedPassers;
    } else if (Connected(left != 0 ? left : right, rank)) {
      table = &ConnectedPassers;
      PasserFlags |= colour ? BlackConnectedFlag : WhiteConnectedFlag;
    }
    const int value = (*table)[colour ? 7 - rank : rank];
    *p.PasserScore += (*p.DoubledFiles & (Masks::FileA << file)) ? (value * DoubledPasserScale) >> 4 : value;
  }
}

// Terms of the passed pawns that depend on the kings and pieces: the square rule, king distances,
// support by minor pieces, and a free path on the sixth and seventh ranks.
template <bool Trace>
void PositionEvaluate::PasserKingTerms(char colour, char side) {
  const PawnSide p = SideOfPawns(colour);
  const SquareSet minors = colour ? (BlackKnightAttacks | BlackBishopAttacks) : (WhiteKnightAttacks | WhiteBishopAttacks);
  const SquareSet enemyAttacks = colour ? WhiteAttacks : BlackAttacks;
  const int ownKing = colour ? BlackKingSquare : WhiteKingSquare, enemyKing = colour ? WhiteKingSquare : BlackKingSquare;
  for (int file = 0; file < 8; ++file) {
    const int rank = p.PasserRanks[file + 1];
    if (!rank) continue;
    const int square = rank * 8 + file, advance = colour ? 7 - rank : rank;
    const SquareSet bit = SquareBit(square);
    const SquareSet stop = colour ? bit >> 8 : bit << 8, next = colour ? bit >> 16 : bit << 16;
    if (DoesPawnPromote(colour, rank, colour ? file : 56 + file, side)) *p.PasserScore += UnstoppablePasser;
    const int proximity = KingProximityPasserPenalty[advance];
    const int kings = ((FreePasserMaxDistance - Distance(square, ownKing)) * proximity) / 2 +
                      (Distance(square, enemyKing) - FreePasserMaxDistance) * proximity;
    if (minors & bit) *p.PasserScore += Passers[advance] >> 5;
    if (minors & stop) *p.PasserScore += Passers[advance] >> 5;
    if (minors & next) *p.PasserScore += Passers[advance] >> 6;
    int free = 0;
    if (advance == 6 && !(enemyAttacks & (bit | stop)) && !(bb->AllPieces & stop)) free = Passers[6];
    if (advance == 5 && !(bb->AllPieces & (stop | next)) && !(enemyAttacks & (bit | stop | next))) free = Passers[5];
    EndGameScore += p.Sign * (kings + free);
    Note<Trace>(TermPasserKings, 0, p.Sign * kings);
    Note<Trace>(TermPasserFreePath, 0, p.Sign * free);
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
    PawnWalk<Trace>(0);
    PasserTables(0);
    PawnWalk<Trace>(1);
    PasserTables(1);
    if constexpr (!Trace) {
      ++Phashmisses;
      StorePawnEntry(entry, code, pawns, kings);
    }
  }
  MiddleGameScore += PawnMiddleGame;
  EndGameScore += PawnEndGame;
  PasserKingTerms<Trace>(0, side);
  PasserKingTerms<Trace>(1, side);
  return WhitePawnScore - BlackPawnScore;
}

template int PositionEvaluate::PawnEval04<false>(char);
template int PositionEvaluate::PawnEval04<true>(char);
