// Evaluation driver: material, phase, the three tapered stages, the lazy exits and the closing
// material corrections.
#include <algorithm>
#include <cstdlib>
#include "board/Masks.h"
#include "eval/EvalAttacks.h"
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PositionEvaluate.h"

using namespace EvalTables;

PositionEvaluate PE;

namespace {

// DrawFlag bits left by the draw test: set while that side still has mating material.
constexpr int WhiteCanMateFlag = 1;
constexpr int BlackCanMateFlag = 32;

int ToSideView(char side, int score) { return side ? -score : score; }

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
  const int score = QueenValue * (b.WhiteQueenCount - b.BlackQueenCount) + RookValue * (b.WhiteRookCount - b.BlackRookCount) +
                    MinorValue * ((b.WhiteBishopCount + b.WhiteKnightCount) - (b.BlackBishopCount + b.BlackKnightCount)) +
                    PawnValue * (b.WhitePawnCount - b.BlackPawnCount);
  return ToSideView(side, score);
}

int PositionEvaluate::SideMaterialValue(char side, ChessBoard* board) {
  const ChessBoard& b = *board;
  if (side) return QueenValue * b.BlackQueenCount + RookValue * b.BlackRookCount + MinorValue * (b.BlackBishopCount + b.BlackKnightCount);
  return QueenValue * b.WhiteQueenCount + RookValue * b.WhiteRookCount + MinorValue * (b.WhiteBishopCount + b.WhiteKnightCount);
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
  int lone = 0;
  const bool whiteBare = WhitePieceCount == 1 && b.WhitePawnCount == 0 && b.BlackPawnCount > 0 && BlackPieceCount == 0;
  const bool blackBare = BlackPieceCount == 1 && b.BlackPawnCount == 0 && b.WhitePawnCount > 0 && WhitePieceCount == 0;
  if (whiteBare && b.WhiteBishopCount == 1) lone -= LoneBishopAgainstPawns;
  if (blackBare && b.BlackBishopCount == 1) lone += LoneBishopAgainstPawns;
  if (whiteBare && b.WhiteKnightCount == 1) lone -= LoneKnightAgainstPawns;
  if (blackBare && b.BlackKnightCount == 1) lone += LoneKnightAgainstPawns;
  auto doubledWeight = [](int queens, int rooks) {
    if (queens == 0 && rooks == 1) return DoubledPawnOneRook;
    if (queens == 0 && rooks == 0) return DoubledPawnNoRook;
    return DoubledPawnDefault;
  };
  const int doubled = BlackDoubledPawns * doubledWeight(b.BlackQueenCount, b.BlackRookCount) -
                      WhiteDoubledPawns * doubledWeight(b.WhiteQueenCount, b.WhiteRookCount);
  NoteDirect<Trace>(TermLoneMinor, lone);
  NoteDirect<Trace>(TermDoubledMaterial, doubled);
  return lone + doubled;
}

// King and minor-piece endings without pawns are scored by the kings alone, or by three quarters of
// a single extra minor piece (which rarely wins); returns false when neither applies.
template <bool Trace>
bool PositionEvaluate::PawnlessShortcut(int material, int* score) {
  const ChessBoard& b = *bb;
  const int whiteMinors = b.WhiteBishopCount + b.WhiteKnightCount;
  const int blackMinors = b.BlackBishopCount + b.BlackKnightCount;
  const int kings = KingEnding[WhiteKingSquare] - KingEnding[BlackKingSquare];
  if (whiteMinors == blackMinors && WhitePieceCount == BlackPieceCount && b.WhiteRookCount == b.BlackRookCount) {
    NoteDirect<Trace>(TermPawnlessShortcut, kings);
    *score = kings;
    return true;
  }
  const bool bishopsAgainstKnight = (b.WhiteBishopCount == 2 && b.BlackBishopCount == 0 && b.BlackKnightCount == 1) ||
                                    (b.BlackBishopCount == 2 && b.WhiteBishopCount == 0 && b.WhiteKnightCount == 1);
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
  const int pawnEndgame = (pawnBalance * PawnEndgameExtra * Phase) / MaxPhase;
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
  WhiteKingSquare = WhiteKingIndex(b.WhiteKing);
  BlackKingSquare = BlackKingIndex(b.BlackKing);
  WhiteKingFile = Masks::FileA << FileOf(WhiteKingSquare);
  BlackKingFile = Masks::FileA << FileOf(BlackKingSquare);
  WhitePieceCount = static_cast<std::int8_t>(b.WhiteQueenCount + b.WhiteRookCount + b.WhiteBishopCount + b.WhiteKnightCount);
  BlackPieceCount = static_cast<std::int8_t>(b.BlackQueenCount + b.BlackRookCount + b.BlackBishopCount + b.BlackKnightCount);
  const int material = QueenValue * (b.WhiteQueenCount - b.BlackQueenCount) + RookValue * (b.WhiteRookCount - b.BlackRookCount) +
                       MinorValue * ((b.WhiteBishopCount + b.WhiteKnightCount) - (b.BlackBishopCount + b.BlackKnightCount));
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
  int badBishop = 0;
  if (b.BlackBishopCount == 1) badBishop -= BadBishopPawn * PopCount(b.WhitePawns & SameColourSquares(b.BlackBishops));
  if (b.WhiteBishopCount == 1) badBishop += BadBishopPawn * PopCount(b.BlackPawns & SameColourSquares(b.WhiteBishops));
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

// Rooks (and a queen) on the enemy's first two ranks, while enemy pawns or the king are still there.
template <bool Trace>
void PositionEvaluate::MajorsOnSeventh() {
  const ChessBoard& b = *bb;
  const SquareSet whiteTarget = Masks::Rank7 | Masks::Rank8;
  const SquareSet blackTarget = Masks::Rank1 | Masks::Rank2;
  int middle = 0, end = 0;
  if ((b.BlackPawns & Masks::Rank7) || (b.BlackKing & Masks::Rank8)) {
    const int bonus = Majorson7[std::min(PopCount(b.WhiteRooks & whiteTarget), 15)];
    end += bonus + ((b.WhiteQueens & whiteTarget) ? QueenOn7thEndgame : 0);
    middle += bonus / 2;
  }
  if ((b.WhitePawns & Masks::Rank2) || (b.WhiteKing & Masks::Rank1)) {
    const int bonus = Majorson7[std::min(PopCount(b.BlackRooks & blackTarget), 15)];
    end -= bonus + ((b.BlackQueens & blackTarget) ? QueenOn7thEndgame : 0);
    middle -= bonus / 2;
  }
  MiddleGameScore += middle;
  EndGameScore += end;
  Note<Trace>(TermMajorsOn7th, middle, end);
}

// Centre control by the pieces and men left undefended (the king counts as a man).
template <bool Trace>
void PositionEvaluate::CentreAndHanging() {
  const ChessBoard& b = *bb;
  const int centre = CentreControl * (PopCount(CentreSquares & WhiteKnightAttacks) + PopCount(CentreSquares & WhiteBishopAttacks) +
                                      PopCount(CentreSquares & WhiteRookAttacks) - PopCount(CentreSquares & BlackKnightAttacks) -
                                      PopCount(CentreSquares & BlackBishopAttacks) - PopCount(CentreSquares & BlackRookAttacks));
  const int hanging = -UndefendedMan * PopCount(b.WhitePieces & ~WhiteAttacks) + UndefendedPawnRefund * PopCount(b.WhitePawns & ~WhiteAttacks) +
                      UndefendedMan * PopCount(b.BlackPieces & ~BlackAttacks) - UndefendedPawnRefund * PopCount(b.BlackPawns & ~BlackAttacks);
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
  const int threats = AttackedManEndgame * (PopCount(b.BlackPieces & WhiteAttacks) - PopCount(b.WhitePieces & BlackAttacks));
  EndGameScore += threats;
  Note<Trace>(TermThreats, 0, threats);
  score += TaperAndReset();

  int mating = 0;
  if (b.DrawFlag & WhiteCanMateFlag) mating += MatingMaterialBonus;
  if (b.DrawFlag & BlackCanMateFlag) mating -= MatingMaterialBonus;
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

// An extra minor piece against pawns only: the pawns hold it back.
int PositionEvaluate::PieceAgainstPawns() const {
  const ChessBoard& b = *bb;
  if (b.WhiteQueenCount != b.BlackQueenCount || b.WhiteRookCount != b.BlackRookCount) return 0;
  const int whiteMinors = b.WhiteBishopCount + b.WhiteKnightCount;
  const int blackMinors = b.BlackBishopCount + b.BlackKnightCount;
  if (b.WhitePawnCount > 0 && b.BlackPawnCount == 0 && blackMinors == whiteMinors + 1) return PieceAgainstPawnsBonus;
  if (b.BlackPawnCount > 0 && b.WhitePawnCount == 0 && whiteMinors == blackMinors + 1) return -PieceAgainstPawnsBonus;
  return 0;
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
