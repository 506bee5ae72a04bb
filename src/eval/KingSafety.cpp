// King safety (pawn shelter, pawn storms, attacks on the king's squares) and trapped pieces.
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

namespace {

SquareSet Mirror(SquareSet set) { return __builtin_bswap64(set); }

bool Matches(const TrapPattern& pattern, SquareSet pieces, SquareSet pawns) {
  return (pieces & pattern.Piece) && (pawns & pattern.AllOf) == pattern.AllOf && (!pattern.AnyOf || (pawns & pattern.AnyOf));
}

bool MatchesMirrored(const TrapPattern& pattern, SquareSet pieces, SquareSet pawns) {
  const TrapPattern mirrored = {Mirror(pattern.Piece), Mirror(pattern.AllOf), Mirror(pattern.AnyOf)};
  return Matches(mirrored, pieces, pawns);
}

bool RookShutIn(const RookTrapPattern& pattern, SquareSet king, SquareSet rooks, SquareSet pawns) {
  return (king & pattern.King) && (rooks & pattern.Rook) && (pawns & pattern.Pawn);
}

template <std::size_t N>
constexpr SquareSet PatternSquares(const TrapPattern (&patterns)[N]) {
  SquareSet squares = 0;
  for (const TrapPattern& pattern : patterns) squares |= pattern.Piece;
  return squares;
}

constexpr SquareSet KnightTrapSquares = PatternSquares(KnightTrapPatterns);
constexpr SquareSet BishopTrapSquares = PatternSquares(BishopTrapPatterns);

// Most positions have no piece on any trap square (`squares`): test that first.
template <std::size_t N>
int PatternPenalty(const TrapPattern (&patterns)[N], SquareSet squares, int value, const ChessBoard& b, SquareSet whitePieces,
                   SquareSet blackPieces) {
  int score = 0;
  if (whitePieces & squares)
    for (const TrapPattern& pattern : patterns)
      if (Matches(pattern, whitePieces, b.BlackPawns)) score -= value;
  if (blackPieces & Mirror(squares))
    for (const TrapPattern& pattern : patterns)
      if (MatchesMirrored(pattern, blackPieces, b.WhitePawns)) score += value;
  return score;
}

int Indicator(SquareSet set) { return set ? 1 : 0; }

}  // namespace

// Knights and bishops cut off in the enemy's corners, rooks shut in by their own king.
int PositionEvaluate::Traps(char /*side*/) {
  const ChessBoard& b = *bb;
  int score = PatternPenalty(KnightTrapPatterns, KnightTrapSquares, TrappedKnight, b, b.WhiteKnights, b.BlackKnights) +
              PatternPenalty(BishopTrapPatterns, BishopTrapSquares, TrappedBishop, b, b.WhiteBishops, b.BlackBishops);
  if (b.BlackQueenCount > 0 || b.BlackRookCount > 0) {
    if (RookShutIn(RookTrapKingSide, b.WhiteKing, b.WhiteRooks, b.WhitePawns) ||
        RookShutIn(RookTrapQueenSide, b.WhiteKing, b.WhiteRooks, b.WhitePawns))
      score -= TrappedRook;
  }
  if (b.WhiteQueenCount > 0 || b.WhiteRookCount > 0) {
    const SquareSet king = Mirror(b.BlackKing), rooks = Mirror(b.BlackRooks), pawns = Mirror(b.BlackPawns);
    if (RookShutIn(RookTrapKingSide, king, rooks, pawns) || RookShutIn(RookTrapQueenSide, king, rooks, pawns)) score += TrappedRook;
  }
  return score;
}

// Penalty for one shelter file; `pawns` are the colour's pawns on that file.
int PositionEvaluate::PawnFilePenalty(char colour, SquareSet pawns) {
  std::int32_t& holes = colour ? BlackShieldHoles : WhiteShieldHoles;
  if (!pawns) {
    ++holes;
    return ShieldFileEmpty;
  }
  if (colour) {
    const int rank = RankOf(63 - __builtin_clzll(pawns));
    if (rank <= ShieldHoleRankBlack) ++holes;
    return (6 - rank) * ShieldStepPenalty;
  }
  const int rank = RankOf(__builtin_ctzll(pawns));
  if (rank >= ShieldHoleRankWhite) ++holes;
  return (rank - 1) * ShieldStepPenalty;
}

int PositionEvaluate::PawnShield(char colour) {
  const ChessBoard& b = *bb;
  (colour ? BlackShieldHoles : WhiteShieldHoles) = 0;
  const int king = colour ? BlackKingSquare : WhiteKingSquare;
  const SquareSet pawns = colour ? b.BlackPawns : b.WhitePawns;
  const SquareSet pieces = colour ? (b.BlackPieces & ~b.BlackPawns) : (b.WhitePieces & ~b.WhitePawns);
  const SquareSet front = colour ? SquareBit(king) >> 8 : SquareBit(king) << 8;
  const SquareSet kingFile = FileSet(king);
  const int kingFilePenalty = PawnFilePenalty(colour, pawns & kingFile);
  int penalty = 2 * kingFilePenalty;
  if ((pieces & front) && penalty > ShieldFileEmpty) penalty = kingFilePenalty;
  SquareSet others = KingRegionFiles(king) & ~kingFile;
  for (; others; others &= ~FileSet(__builtin_ctzll(others))) penalty += PawnFilePenalty(colour, pawns & FileSet(__builtin_ctzll(others)));
  return penalty > 0 ? penalty : 0;
}

// Pawns of `colour` advancing on the files around the enemy king.
int PositionEvaluate::PawnStorm(char colour) {
  const ChessBoard& b = *bb;
  const SquareSet files = KingRegionFiles(colour ? WhiteKingSquare : BlackKingSquare);
  if (colour) {
    const SquareSet pawns = b.BlackPawns & files;
    return StormNear * PopCount(pawns & Masks::Rank3) + StormMiddle * PopCount(pawns & Masks::Rank4) + StormFar * PopCount(pawns & Masks::Rank5);
  }
  const SquareSet pawns = b.WhitePawns & files;
  return StormNear * PopCount(pawns & Masks::Rank6) + StormMiddle * PopCount(pawns & Masks::Rank5) + StormFar * PopCount(pawns & Masks::Rank4);
}

namespace {

// One king and the enemy forces around it, seen the same way for either colour.
struct KingView {
  bool White;
  SquareSet Zone;                      // the squares the king attacks
  SquareSet King;
  int KingSquare;
  int Holes;                           // shelter holes counted by PawnShield
  SquareSet EnemyPawnMap, EnemyKnightMap, EnemyBishopMap, EnemyRookMap, EnemyQueenMap, EnemyAttacks;
  SquareSet EnemyKnights, EnemyBishops, EnemyRooks, EnemyQueens;
  SquareSet FilesWithoutEnemyPawns;
  int EnemyQueenCount, EnemyOtherPieces;   // knights, bishops and rooks
  SquareSet OwnBishopMap, OwnKnightMap, OwnRookMap, OwnQueenMap, OwnPieces;
};

KingView ViewOf(const PositionEvaluate& e, const ChessBoard& b, char colour) {
  if (colour == 0)
    return {true, e.WhiteKingAttacks, b.WhiteKing, e.WhiteKingSquare, e.WhiteShieldHoles,
            e.BlackPawnAttacks, e.BlackKnightAttacks, e.BlackBishopAttacks, e.BlackRookAttacks, e.BlackQueenAttacks, e.BlackAttacks,
            b.BlackKnights, b.BlackBishops, b.BlackRooks, b.BlackQueens, e.NoBlackPawnFiles,
            b.BlackQueenCount, b.BlackKnightCount + b.BlackBishopCount + b.BlackRookCount,
            e.WhiteBishopAttacks, e.WhiteKnightAttacks, e.WhiteRookAttacks, e.WhiteQueenAttacks,
            b.WhiteKnights | b.WhiteBishops | b.WhiteRooks | b.WhiteQueens};
  return {false, e.BlackKingAttacks, b.BlackKing, e.BlackKingSquare, e.BlackShieldHoles,
          e.WhitePawnAttacks, e.WhiteKnightAttacks, e.WhiteBishopAttacks, e.WhiteRookAttacks, e.WhiteQueenAttacks, e.WhiteAttacks,
          b.WhiteKnights, b.WhiteBishops, b.WhiteRooks, b.WhiteQueens, e.NoWhitePawnFiles,
          b.WhiteQueenCount, b.WhiteKnightCount + b.WhiteBishopCount + b.WhiteRookCount,
          e.BlackBishopAttacks, e.BlackKnightAttacks, e.BlackRookAttacks, e.BlackQueenAttacks,
          b.BlackKnights | b.BlackBishops | b.BlackRooks | b.BlackQueens};
}

// Attacks on the king's squares, weighted by the kinds of attackers; nothing unless at least two
// kinds take part, and only part of it with two or three.
int ZoneAttack(const KingView& v, int k) {
  const int pawn = Indicator(v.EnemyPawnMap & v.Zone);
  const int knight = Indicator((v.EnemyKnightMap & (v.Zone | v.King)) | (v.EnemyKnights & v.Zone));
  const int bishop = Indicator(v.EnemyBishopMap & v.Zone);
  const int rook = Indicator(v.EnemyRookMap & v.Zone);
  const int queen = Indicator(v.EnemyQueenMap & v.Zone);
  const int attackers = pawn + knight + bishop + rook + queen;
  if (attackers <= 1) return 0;
  int danger = (PopCount(v.Zone & v.EnemyAttacks) + pawn + knight + bishop + 2 * rook + 4 * queen) * ZoneAttackUnit * k;
  if (rook && queen) danger += RookAndQueenAttack;
  const SquareSet homeRanks = v.White ? (Masks::Rank1 | Masks::Rank2) : (Masks::Rank7 | Masks::Rank8);
  const bool queenHome = v.EnemyQueens & homeRanks, rookHome = v.EnemyRooks & homeRanks;
  if (queenHome && rookHome) danger += HeavyQueenAndRook;
  else if (queenHome) danger += HeavyQueen;
  else if (rookHome) danger += HeavyRook;
  return attackers <= 3 ? (attackers * danger) / 4 : danger;
}

// Enemy heavy pieces on the king's files without enemy pawns (one of them is expected), and every
// enemy piece on those files weighed by the shelter's holes.
int FileAttack(const KingView& v, int k) {
  const SquareSet files = KingRegionFiles(v.KingSquare);
  const SquareSet heavy = v.EnemyRooks | v.EnemyQueens;
  const SquareSet pieces = heavy | v.EnemyKnights | v.EnemyBishops;
  return (PopCount(heavy & files & v.FilesWithoutEnemyPawns) - 1) * OpenFileAttacker * k +
         FilePieceUnit * v.Holes * PopCount(pieces & files);
}

// Bishops and queens on the diagonals that lead to a king still on its first two ranks.
int DiagonalAim(const KingView& v, int k) {
  const int rank = RankOf(v.KingSquare), file = FileOf(v.KingSquare);
  if (v.White ? rank > 1 : rank < 6) return 0;
  const SquareSet aimers = v.EnemyBishops | v.EnemyQueens;
  const SquareSet kingWing = v.White ? KingSideDiagonals : QueenSideDiagonals;   // the mirror image for Black
  const SquareSet queenWing = v.White ? QueenSideDiagonals : KingSideDiagonals;
  int danger = 0;
  if (file >= 5) danger += DiagonalAttacker * k * PopCount(aimers & kingWing);
  if (file <= 2) danger += DiagonalAttacker * k * PopCount(aimers & queenWing);
  return danger;
}

int Defence(const KingView& v) {
  int defence = DefenderMinor * (Indicator(v.OwnBishopMap & v.Zone) + Indicator(v.OwnKnightMap & v.Zone) + Indicator(v.OwnRookMap & v.Zone));
  if (v.OwnQueenMap & v.Zone) defence += DefenderQueen;
  return defence + DefenderInZone * PopCount(v.OwnPieces & v.Zone);
}

}  // namespace

// Danger to the king of `colour`: enemy attacks on the king's squares weighted by the holes in its
// shelter, heavy pieces on its files, bishops on its diagonals, less its defenders. PawnShield
// must have counted the colour's holes first.
int PositionEvaluate::AttackCounts(char colour) {
  const KingView v = ViewOf(*this, *bb, colour);
  const int k = v.Holes + 1;
  int danger = ZoneAttack(v, k);
  danger += HolePieceUnit * v.Holes * (v.EnemyOtherPieces + 2 * v.EnemyQueenCount);
  danger += FileAttack(v, k) + DiagonalAim(v, k);
  if (v.EnemyQueenCount == 0) danger /= 2;
  return danger - Defence(v);
}
