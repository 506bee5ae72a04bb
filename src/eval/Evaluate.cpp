// Evaluation driver: material, phase, the three tapered stages, the lazy exits and the closing
// material corrections.
#include <algorithm>
#include <cstdlib>
#include "board/Masks.h"
#include "eval/EvalAttacks.h"
#include "eval/EvalSide.h"
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

PositionEvaluate PE;

namespace {

int ToSideView(char side, int score) { return side ? -score : score; }

// Queens, rooks, bishops and knights of `Side`, in the evaluator's unit.
template <int Side>
int PieceMaterial(const ChessBoard& b) {
  using S = EvalSide<Side>;
  return QueenValue * b.*S::QueenCount + RookValue * b.*S::RookCount + MinorValue * (b.*S::BishopCount + b.*S::KnightCount);
}

// Bishops and knights of `Side`.
template <int Side>
int Minors(const ChessBoard& b) {
  using S = EvalSide<Side>;
  return b.*S::BishopCount + b.*S::KnightCount;
}

// The king square, king file and piece count of `Side` for this evaluation.
template <int Side>
void RecordSide(PositionEvaluate& e, const ChessBoard& b) {
  using S = EvalSide<Side>;
  e.*S::KingSquare = S::KingIndex(b.*S::King);
  e.*S::KingFile = Masks::FileA << FileOf(e.*S::KingSquare);
  e.*S::PieceCount = static_cast<std::int8_t>(b.*S::QueenCount + b.*S::RookCount + b.*S::BishopCount + b.*S::KnightCount);
}

// A lone bishop or knight of `Side` against pawns alone cannot win, its own view.
template <int Side>
int LoneMinorPenalty(const PositionEvaluate& e, const ChessBoard& b) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  if (e.*S::PieceCount != 1 || b.*S::PawnCount != 0 || b.*Them::PawnCount <= 0 || e.*Them::PieceCount != 0) return 0;
  return -(b.*S::BishopCount == 1 ? LoneBishopAgainstPawns : 0) - (b.*S::KnightCount == 1 ? LoneKnightAgainstPawns : 0);
}

int DoubledPawnWeight(int queens, int rooks) {
  if (queens == 0 && rooks == 1) return DoubledPawnOneRook;
  if (queens == 0 && rooks == 0) return DoubledPawnNoRook;
  return DoubledPawnDefault;
}

// Doubled pawns of `Side` hurt more as its queen and rooks come off, its own view.
template <int Side>
int DoubledPawnPenalty(const PositionEvaluate& e, const ChessBoard& b) {
  using S = EvalSide<Side>;
  return -(e.*S::DoubledPawns * DoubledPawnWeight(b.*S::QueenCount, b.*S::RookCount));
}

// Two bishops of `Side` and no knight against a lone knight and no bishop.
template <int Side>
bool BishopsAgainstKnight(const ChessBoard& b) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  return b.*S::BishopCount == 2 && b.*Them::BishopCount == 0 && b.*Them::KnightCount == 1;
}

// Pawns of `Side` on the squares of the enemy's lone bishop (endgame), its own view.
template <int Side>
int PawnsOnBishopColour(const ChessBoard& b) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  if (b.*Them::BishopCount != 1) return 0;
  return -BadBishopPawn * PopCount(b.*S::Pawns & SameColourSquares(b.*Them::Bishops));
}

struct StageTerms {
  int Middle = 0, End = 0;
};

// Rooks (and a queen) of `Side` on the enemy's first two ranks, while enemy pawns or the enemy
// king are still there; its own view.
template <int Side>
inline StageTerms MajorsOnSeventhOf(const ChessBoard& b) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  StageTerms t;
  if (!(b.*Them::Pawns & S::Relative(Masks::Rank7)) && !(b.*Them::King & S::LastRank)) return t;
  const SquareSet target = S::Relative(Masks::Rank7 | Masks::Rank8);
  const int bonus = Majorson7[std::min(PopCount(b.*S::Rooks & target), 15)];
  t.End = bonus + ((b.*S::Queens & target) ? QueenOn7thEndgame : 0);
  t.Middle = bonus / 2;
  return t;
}

// Centre control by the knights, bishops and rooks of `Side`, its own view.
template <int Side>
inline int CentreControlOf(const PositionEvaluate& e) {
  using S = EvalSide<Side>;
  return CentreControl * (PopCount(CentreSquares & e.*S::KnightAttacks) + PopCount(CentreSquares & e.*S::BishopAttacks) +
                          PopCount(CentreSquares & e.*S::RookAttacks));
}

// The men of `Side` its own attacks do not cover (the king counts as a man), its own view.
template <int Side>
int UndefendedMen(const PositionEvaluate& e, const ChessBoard& b) {
  using S = EvalSide<Side>;
  const SquareSet undefended = ~(e.*S::Attacks);
  return -UndefendedMan * PopCount(b.*S::Pieces & undefended) + UndefendedPawnRefund * PopCount(b.*S::Pawns & undefended);
}

// Enemy men that `Side` attacks (endgame), its own view.
template <int Side>
int AttackedMen(const PositionEvaluate& e, const ChessBoard& b) {
  return AttackedManEndgame * PopCount(b.*EvalSide<Side ^ 1>::Pieces & e.*EvalSide<Side>::Attacks);
}

// An extra minor piece against pawns only: the pawns hold it back. The bonus goes to `Side`, the
// side with the pawns.
template <int Side>
int PawnsAgainstPiece(const ChessBoard& b) {
  using S = EvalSide<Side>;
  using Them = EvalSide<Side ^ 1>;
  return b.*S::PawnCount > 0 && b.*Them::PawnCount == 0 && Minors<Side ^ 1>(b) == Minors<Side>(b) + 1 ? PieceAgainstPawnsBonus : 0;
}

template <int Side>
int MatingMaterial(const ChessBoard& b) {
  return (b.DrawFlag & EvalSide<Side>::CanMateFlag) ? MatingMaterialBonus : 0;
}

}  // namespace

PositionEvaluate::PositionEvaluate() { BuildSquareMasks(); }

void PositionEvaluate::BuildSquareMasks() {
  for (int square = 0; square < 64; ++square) {
    const int file = FileOf(square);
    const int rank = RankOf(square);
    const SquareSet fileSet = Masks::FileA << file;
    const SquareSet neighbours = (file > 0 ? Masks::FileA << (file - 1) : 0) | (file < 7 ? Masks::FileA << (file + 1) : 0);
    const SquareSet ranksAbove = rank < 7 ? ~SquareSet{0} << (8 * (rank + 1)) : 0;
    const SquareSet ranksBelow = (SquareSet{1} << (8 * rank)) - 1;
    const SquareSet nearRanks = (Masks::Rank1 << (8 * rank)) | (rank < 7 ? Masks::Rank1 << (8 * (rank + 1)) : 0) |
                                (rank > 0 ? Masks::Rank1 << (8 * (rank - 1)) : 0);
    FileMask[square] = fileSet & ~SquareBit(square);
    AdjacentFilesMask[square] = neighbours;
    WhiteFrontSpan[square] = (fileSet | neighbours) & ranksAbove;
    BlackFrontSpan[square] = (fileSet | neighbours) & ranksBelow;
    NeighbourMask[square] = neighbours & nearRanks;
  }
}

int PositionEvaluate::PosEval(char side, int alpha, int beta, ChessBoard* board, char /*flag*/) {
  bb = board;
  return ToSideView(side, Evaluate<false>(side, alpha, beta));
}

int PositionEvaluate::TraceEval(ChessBoard* board, char side, EvalTrace* trace, int alpha, int beta) {
  trace->Clear();
  trace->Side = side ? 1 : 0;
  Tr = trace;
  bb = board;
  const int score = Evaluate<true>(side, alpha, beta);
  trace->Result = score;
  Tr = nullptr;
  return score;
}

void PositionEvaluate::PrintEvalBreakdown(ChessBoard* board) {
  EvalTrace trace;
  TraceEval(board, board->SideToMove, &trace);
  trace.Print(stdout);
}

int PositionEvaluate::MaterialOnly(char side, int /*alpha*/, ChessBoard* board) {
  const ChessBoard& b = *board;
  const int score = PieceMaterial<0>(b) - PieceMaterial<1>(b) + PawnValue * (b.WhitePawnCount - b.BlackPawnCount);
  return ToSideView(side, score);
}

int PositionEvaluate::SideMaterialValue(char side, ChessBoard* board) {
  return side ? PieceMaterial<1>(*board) : PieceMaterial<0>(*board);
}

void PositionEvaluate::AttackMasks() {
  const ChessBoard& b = *bb;
  const SquareSet occupied = b.AllPieces;
  WhitePawnAttacks = WhitePawnAttackSet(b.WhitePawns);
  BlackPawnAttacks = BlackPawnAttackSet(b.BlackPawns);
  auto fill = [this](SquareSet pieces, auto attacksOf) {
    SquareSet all = 0;
    for (; pieces; pieces &= pieces - 1) {
      const int square = __builtin_ctzll(pieces);
      PieceAttacks[square] = attacksOf(square);
      all |= PieceAttacks[square];
    }
    return all;
  };
  auto knight = [](int square) { return EvalAttacks::Knight(square); };
  auto bishop = [occupied](int square) { return EvalAttacks::Bishop(square, occupied); };
  auto rook = [occupied](int square) { return EvalAttacks::Rook(square, occupied); };
  auto queen = [occupied](int square) { return EvalAttacks::Queen(square, occupied); };
  WhiteKnightAttacks = fill(b.WhiteKnights, knight);
  WhiteBishopAttacks = fill(b.WhiteBishops, bishop);
  BlackBishopAttacks = fill(b.BlackBishops, bishop);
  BlackKnightAttacks = fill(b.BlackKnights, knight);
  WhiteRookAttacks = fill(b.WhiteRooks, rook);
  BlackRookAttacks = fill(b.BlackRooks, rook);
  WhiteQueenAttacks = fill(b.WhiteQueens, queen);
  BlackQueenAttacks = fill(b.BlackQueens, queen);
  WhiteKingAttacks = KingAttackSet(b.WhiteKing);
  BlackKingAttacks = KingAttackSet(b.BlackKing);
  WhiteAttacks = WhitePawnAttacks | WhiteKnightAttacks | WhiteBishopAttacks | WhiteRookAttacks | WhiteQueenAttacks | WhiteKingAttacks;
  BlackAttacks = BlackPawnAttacks | BlackKnightAttacks | BlackBishopAttacks | BlackRookAttacks | BlackQueenAttacks | BlackKingAttacks;
}

template <bool Trace>
int PositionEvaluate::DynamicPieceAdjustments(int /*phase*/) {
  const ChessBoard& b = *bb;
  const int lone = LoneMinorPenalty<0>(*this, b) - LoneMinorPenalty<1>(*this, b);
  const int doubled = DoubledPawnPenalty<0>(*this, b) - DoubledPawnPenalty<1>(*this, b);
  NoteDirect<Trace>(TermLoneMinor, lone);
  NoteDirect<Trace>(TermDoubledMaterial, doubled);
  return lone + doubled;
}

// King and minor-piece endings without pawns are scored by the kings alone, or by three quarters of
// a single extra minor piece (which rarely wins); returns false when neither applies.
template <bool Trace>
bool PositionEvaluate::PawnlessShortcut(int material, int* score) {
  const ChessBoard& b = *bb;
  const int whiteMinors = Minors<0>(b), blackMinors = Minors<1>(b);
  const int kings = KingEnding[WhiteKingSquare] - KingEnding[BlackKingSquare];
  if (whiteMinors == blackMinors && WhitePieceCount == BlackPieceCount && b.WhiteRookCount == b.BlackRookCount) {
    NoteDirect<Trace>(TermPawnlessShortcut, kings);
    *score = kings;
    return true;
  }
  const bool bishopsAgainstKnight = BishopsAgainstKnight<0>(b) || BishopsAgainstKnight<1>(b);
  if (b.WhiteRookCount == b.BlackRookCount && b.WhiteQueenCount == b.BlackQueenCount &&
      std::abs(whiteMinors - blackMinors) == 1 && !bishopsAgainstKnight) {
    const int scaled = (PawnlessMinorScaleNum * material) / PawnlessMinorScaleDen;
    NoteDirect<Trace>(TermMaterial, scaled);
    NoteDirect<Trace>(TermPawnlessShortcut, kings);
    *score = scaled + kings;
    return true;
  }
  return false;
}

int PositionEvaluate::TaperedScore() const {
  return ((MaxPhase - Phase) * MiddleGameScore + Phase * EndGameScore) / MaxPhase;
}

int PositionEvaluate::TaperAndReset() {
  const int score = TaperedScore();
  MiddleGameScore = 0;
  EndGameScore = 0;
  return score;
}

// Stage 1: material (a pawn gains value as the pieces come off), pawn structure, passed pawns and
// king placement.
template <bool Trace>
int PositionEvaluate::FirstStage(char side, int material) {
  const ChessBoard& b = *bb;
  const int pawnBalance = b.WhitePawnCount - b.BlackPawnCount;
  const int pawnEndgame = Weighted((pawnBalance * PawnEndgameExtra * Phase) / MaxPhase, PawnEndgamePercent);
  int score = pawnBalance * PawnValue + pawnEndgame + material;
  NoteDirect<Trace>(TermMaterial, pawnBalance * PawnValue + material);
  NoteDirect<Trace>(TermPawnEndgameValue, pawnEndgame);
  score += PawnEval04<Trace>(side);
  const int passerMiddle = (PasserMiddleWeight * WhitePasserScore) / PasserWeightDivisor -
                           (PasserMiddleWeight * BlackPasserScore) / PasserWeightDivisor;
  const int passerEnd = (PasserEndWeight * WhitePasserScore) / PasserWeightDivisor -
                        (PasserEndWeight * BlackPasserScore) / PasserWeightDivisor;
  MiddleGameScore += passerMiddle;
  EndGameScore += passerEnd;
  Note<Trace>(TermPassedPawns, passerMiddle, passerEnd);
  score += KingEval<Trace>(side);
  return score + TaperAndReset();
}

template <bool Trace>
int PositionEvaluate::Evaluate(char side, int alpha, int beta) {
  const ChessBoard& b = *bb;
  MiddleGameScore = 0;
  EndGameScore = 0;
  TaperBlock = 0;
  RecordSide<0>(*this, b);
  RecordSide<1>(*this, b);
  const int material = PieceMaterial<0>(b) - PieceMaterial<1>(b);
  const bool pawnless = b.WhitePawnCount == 0 && b.BlackPawnCount == 0;
  int shortcut = 0;
  if (pawnless && PawnlessShortcut<Trace>(material, &shortcut)) return shortcut;

  AttackMasks();
  Phase = MaxPhase - (WhitePieceCount + BlackPieceCount) - RookPhaseExtra * (b.WhiteRookCount + b.BlackRookCount) -
          QueenPhaseExtra * (b.WhiteQueenCount + b.BlackQueenCount);
  Phase = std::max(Phase, MinPhase);
  if constexpr (Trace) Tr->Phase = Phase;
  int score = FirstStage<Trace>(side, material);

  // A rook against a lone minor piece is usually a draw.
  if (pawnless && WhitePieceCount + BlackPieceCount == 2 && TwoPieceEndings(side)) {
    NoteDirect<Trace>(TermTwoPieceEnding, score / 2 - score);
    return score / 2;
  }
  if (OutsideWindow(ToSideView(side, score), alpha, beta, LazyMarginFirst)) {
    if constexpr (Trace) Tr->LazyExit = 1;
    return score;
  }
  score = SecondStage<Trace>(side, score);
  if (OutsideWindow(ToSideView(side, score), alpha, beta, LazyMarginSecond)) {
    if constexpr (Trace) Tr->LazyExit = 2;
    return score;
  }
  return FinalStage<Trace>(side, alpha, material, score);
}

bool PositionEvaluate::OutsideWindow(int score, int alpha, int beta, int margin) {
  return score + margin < alpha || score - margin > beta;
}

// Stage 2: pawn races, endgame bishops, traps, king safety and heavy pieces on the seventh.
template <bool Trace>
int PositionEvaluate::SecondStage(char side, int score) {
  const ChessBoard& b = *bb;
  TaperBlock = 1;
  const int race = RuleofSquare(side);
  NoteDirect<Trace>(TermPawnRace, race);
  const int badBishop = PawnsOnBishopColour<0>(b) - PawnsOnBishopColour<1>(b);
  EndGameScore += badBishop;
  Note<Trace>(TermBishopPawnColour, 0, badBishop);
  const int traps = Traps(side);
  MiddleGameScore += traps;
  EndGameScore += traps;
  Note<Trace>(TermTraps, traps, traps);
  KingSafety<Trace>();
  MajorsOnSeventh<Trace>();
  return TaperAndReset() + race + score + DynamicPieceAdjustments<Trace>(Phase);
}

template <bool Trace>
void PositionEvaluate::MajorsOnSeventh() {
  const StageTerms white = MajorsOnSeventhOf<0>(*bb), black = MajorsOnSeventhOf<1>(*bb);
  const int middle = white.Middle - black.Middle, end = white.End - black.End;
  MiddleGameScore += middle;
  EndGameScore += end;
  Note<Trace>(TermMajorsOn7th, middle, end);
}

// Centre control by the pieces and men left undefended (the king counts as a man).
template <bool Trace>
void PositionEvaluate::CentreAndHanging() {
  const int centre = CentreControlOf<0>(*this) - CentreControlOf<1>(*this);
  const int hanging = Weighted(UndefendedMen<0>(*this, *bb) - UndefendedMen<1>(*this, *bb), UndefendedMenPercent);
  MiddleGameScore = centre + hanging;
  Note<Trace>(TermCentreControl, centre, 0);
  Note<Trace>(TermHangingPieces, hanging, 0);
}

// Stage 3: piece activity and threats, then the corrections for drawish material.
template <bool Trace>
int PositionEvaluate::FinalStage(char side, int alpha, int material, int score) {
  const ChessBoard& b = *bb;
  TaperBlock = 2;
  CentreAndHanging<Trace>();
  score += KnightEval<Trace>(side);
  score += BishopEval<Trace>(side);
  score += RookEval<Trace>(side);
  score += QueenEval<Trace>(side);
  const int threats = Weighted(AttackedMen<0>(*this, b) - AttackedMen<1>(*this, b), AttackedMenPercent);
  EndGameScore += threats;
  Note<Trace>(TermThreats, 0, threats);
  PieceThreats<Trace>();
  PasserPaths<Trace>();
  SafeMobility<Trace>();
  score += TaperAndReset();

  const int mating = MatingMaterial<0>(b) - MatingMaterial<1>(b);
  score += mating;
  NoteDirect<Trace>(TermMatingMaterial, mating);
  const int pieceVsPawns = PieceAgainstPawns();
  score += pieceVsPawns;
  NoteDirect<Trace>(TermPieceAgainstPawns, pieceVsPawns);
  if (OppositeBishopsEnding(material)) {
    const int shrink = -(OppositeBishopsShrinkNum * (score - MaterialOnly(0, alpha, bb))) / OppositeBishopsShrinkDen;
    score += shrink;
    NoteDirect<Trace>(TermOppositeBishops, shrink);
  }
  const int rounded = (score / ScoreGranularity) * ScoreGranularity;
  NoteDirect<Trace>(TermRounding, rounded - score);
  return rounded;
}

int PositionEvaluate::PieceAgainstPawns() const {
  const ChessBoard& b = *bb;
  if (b.WhiteQueenCount != b.BlackQueenCount || b.WhiteRookCount != b.BlackRookCount) return 0;
  return PawnsAgainstPiece<0>(b) - PawnsAgainstPiece<1>(b);
}

// Bishops of opposite colours as the only pieces, a few pawns apart, not only rook pawns.
bool PositionEvaluate::OppositeBishopsEnding(int material) const {
  const ChessBoard& b = *bb;
  if (WhitePieceCount != BlackPieceCount || material != 0) return false;
  if (b.WhiteBishopCount != 1 || WhitePieceCount != 1 || b.BlackBishopCount != 1 || BlackPieceCount != 1) return false;
  if (std::abs(b.WhitePawnCount - b.BlackPawnCount) > OppositeBishopsMaxPawnGap) return false;
  if (!((b.WhitePawns | b.BlackPawns) & ~(Masks::FileA | Masks::FileH))) return false;
  const bool whiteLight = b.WhiteBishops & Masks::LightSquares, whiteDark = b.WhiteBishops & Masks::DarkSquares;
  const bool blackLight = b.BlackBishops & Masks::LightSquares, blackDark = b.BlackBishops & Masks::DarkSquares;
  return (whiteLight && blackDark) || (whiteDark && blackLight);
}

template int PositionEvaluate::DynamicPieceAdjustments<false>(int);
template int PositionEvaluate::DynamicPieceAdjustments<true>(int);
