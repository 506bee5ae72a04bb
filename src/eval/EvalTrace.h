#pragma once
// The evaluation broken down into its terms, White's view. Filled only by the traced instance of
// the evaluation, so that the evaluation used by the search carries no trace code at all.
#include <cstdio>

enum EvalTerm : int {
  TermMaterial, TermPawnEndgameValue, TermPawnlessShortcut,
  TermPawnSquares, TermWingPawns, TermIsolatedPawns, TermBackwardPawns, TermPasserStructure,
  TermPawnAdvance, TermDoubledPawns, TermCentralPawns, TermNoPawns,
  TermPassedPawns, TermPasserKings, TermPasserFreePath,
  TermKingSquares, TermMateDistance, TermTwoPieceEnding,
  TermPawnRace, TermBishopPawnColour, TermTraps, TermPawnShield, TermKingAttack, TermPawnStorm, TermKingDanger,
  TermMajorsOn7th, TermLoneMinor, TermDoubledMaterial,
  TermCentreControl, TermHangingPieces,
  TermKnightSquares, TermKnightOutposts, TermKnightMobility,
  TermBishopSquares, TermBishopMobility, TermFianchetto, TermBishopPair,
  TermRookMobility, TermRookFiles, TermRookPassers,
  TermQueenMobility, TermQueenTrapped, TermThreats, TermPieceThreats, TermPasserPath, TermSafeMobility,
  TermMatingMaterial, TermPieceAgainstPawns, TermOppositeBishops, TermRounding,
  EvalTermCount
};

constexpr int TaperBlocks = 3;   // the evaluation tapers its accumulators three times

constexpr const char* EvalTermNames[EvalTermCount] = {
  "material", "pawn endgame value", "pawnless ending",
  "pawn placement", "rook pawns, king away", "isolated pawns", "backward pawns", "passer structure",
  "pawn advance", "doubled pawns", "central pawns", "no pawns",
  "passed pawns", "passers vs kings", "passers free path",
  "king placement", "mating distance", "rook vs minor draw",
  "pawn race", "pawns on bishop colour", "trapped pieces", "king shelter", "king attack", "pawn storm", "king danger",
  "majors on 7th", "lone minor vs pawns", "doubled pawns (material)",
  "centre control", "undefended men",
  "knight placement", "knight outposts", "knight mobility",
  "bishop placement", "bishop mobility", "fianchetto", "bishop pair",
  "rook mobility", "rook files", "rooks and passers",
  "queen mobility", "trapped queen", "attacked men", "piece threats", "passer path", "safe mobility",
  "mating material", "piece vs pawns", "opposite bishops", "rounding to 10"};

struct EvalTrace {
  int Mg[EvalTermCount][TaperBlocks];   // middlegame parts, by the taper that weighs them
  int Eg[EvalTermCount][TaperBlocks];   // endgame parts
  int Direct[EvalTermCount];            // parts added to the score without taper
  int Phase;
  int Side;                             // side to move the evaluation was made for
  int LazyExit;                         // 0 none, else the number of the exit taken
  int Result;                           // the evaluation, White's view

  void Clear() { *this = EvalTrace{}; }
  void Add(EvalTerm term, int block, int mg, int eg) {
    Mg[term][block] += mg;
    Eg[term][block] += eg;
  }
  void AddDirect(EvalTerm term, int value) { Direct[term] += value; }
  // The tapered value of a middlegame/endgame pair, as the evaluation computes it.
  int Taper(int mg, int eg) const { return ((24 - Phase) * mg + Phase * eg) / 24; }
  // Score of one term: its direct part and its tapered parts.
  int TermValue(EvalTerm term) const;
  // What truncation in one taper adds beyond the terms' own tapered values.
  int TaperRounding(int block) const;
  // Sum of all printed lines; equals Result.
  int Total() const;
  void Print(std::FILE* out) const;
};
