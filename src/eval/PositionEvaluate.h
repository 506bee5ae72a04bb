#pragma once
// The static evaluator: material, tapered middlegame/endgame terms, pawn structure, king safety,
// piece activity and a few endgame rules. Scores are White's view inside, the side to move's view
// at the entry points. One evaluation runs at a time (the working fields below are shared).
//
// Functions with a `Trace` template parameter exist twice: the plain instance used by the search,
// and a traced one that also records every term in `Tr` for the evaluation breakdown.
#include <cstdint>
#include "board/ChessBoard.h"
#include "eval/EvalTables.h"
#include "eval/EvalTrace.h"

struct PawnHashEntry;

// The weight sets of the evaluation: the engine's own, and the set fitted on games played with the
// capture search at the horizon, which the search selects together with that mode.
enum class EvalWeights : std::uint8_t { Standard, CaptureSearch };

// A term's middlegame and endgame values.
struct StagePair {
  int Middle = 0, End = 0;
  void Add(int middle, int end, int count = 1) {
    Middle += middle * count;
    End += end * count;
  }
};

class PositionEvaluate {
public:
  std::int32_t Phase = 0;              // endgame weight 1..24 of the position being evaluated
  std::int32_t MiddleGameScore = 0;    // middlegame accumulator, White's view
  std::int32_t EndGameScore = 0;       // endgame accumulator, White's view
  SquareSet WhiteKingFile = 0;         // the file of the White king
  SquareSet BlackKingFile = 0;
  std::int8_t WhitePieceCount = 0;     // queens, rooks, bishops and knights
  std::int8_t BlackPieceCount = 0;
  std::int32_t WhitePasserScore = 0;   // passed-pawn scores, set by the pawn evaluation
  std::int32_t BlackPasserScore = 0;
  std::int32_t WhiteKingSquare = 0;    // 0..63
  std::int32_t BlackKingSquare = 0;
  std::int32_t WhiteDoubledPawns = 0;
  std::int32_t BlackDoubledPawns = 0;
  // attack maps
  SquareSet WhitePawnAttacks = 0, BlackPawnAttacks = 0;
  SquareSet WhiteKnightAttacks = 0, WhiteBishopAttacks = 0, BlackBishopAttacks = 0, BlackKnightAttacks = 0;
  SquareSet WhiteRookAttacks = 0, BlackRookAttacks = 0, WhiteQueenAttacks = 0, BlackQueenAttacks = 0;
  SquareSet WhiteKingAttacks = 0, BlackKingAttacks = 0;
  SquareSet WhiteAttacks = 0;          // union of the White maps
  SquareSet BlackAttacks = 0;
  // per-square masks
  SquareSet FileMask[64];              // the square's file without the square
  SquareSet AdjacentFilesMask[64];     // the neighbouring files
  SquareSet WhiteFrontSpan[64];        // own and neighbouring files, ranks above
  SquareSet BlackFrontSpan[64];        // own and neighbouring files, ranks below
  SquareSet NeighbourMask[64];         // neighbouring files on the rank and the ranks beside it
  // pawn structure working fields
  std::uint8_t WhitePasserRanks[10] = {};  // index file + 1: rank of the most advanced passer, 0 none
  std::uint8_t WhitePasserCount = 0;
  std::uint8_t BlackPasserRanks[10] = {};  // the same for Black (most advanced = lowest rank)
  std::uint8_t BlackPasserCount = 0;
  std::uint8_t PasserFlags = 0;        // 1 White passer, 2 White connected, 16 Black passer, 32 Black connected
  SquareSet NoWhitePawnFiles = 0;      // files without White pawns (half-open for Black)
  SquareSet NoBlackPawnFiles = 0;      // files without Black pawns (half-open for White)
  SquareSet OpenFiles = 0;             // files without pawns
  SquareSet PawnFiles = 0;             // files with a pawn of either colour
  SquareSet WeakPawns = 0;             // backward pawns of both colours
  // king safety
  std::int32_t WhiteShieldHoles = 0;   // missing or advanced shelter pawns, read by AttackCounts
  std::int32_t BlackShieldHoles = 0;
  // scratch of one evaluation
  ChessBoard* bb = nullptr;            // the board under evaluation
  std::int32_t WhitePawnScore = 0;     // pawn-structure score of each side, own view
  std::int32_t BlackPawnScore = 0;
  std::int32_t PawnMiddleGame = 0;     // pawn terms bound for the accumulators
  std::int32_t PawnEndGame = 0;
  SquareSet WhiteDoubledFiles = 0;     // files holding doubled White pawns
  SquareSet BlackDoubledFiles = 0;
  SquareSet PieceAttacks[64] = {};     // attack set of the knight, bishop, rook or queen on a square
  EvalWeights Weights = EvalWeights::Standard;   // the weight set in use
  EvalTrace* Tr = nullptr;             // where the traced instance records its terms
  int TaperBlock = 0;                  // which taper the terms recorded now belong to

  PositionEvaluate();

  // Driver and material (score of the side to move unless said otherwise)
  int PosEval(char side, int alpha, int beta, ChessBoard* board, char flag);
  void AttackMasks();
  int MaterialOnly(char side, int alpha, ChessBoard* board);
  int SideMaterialValue(char side, ChessBoard* board);
  template <bool Trace = false> int DynamicPieceAdjustments(int phase);
  // Evaluates `board` for `side` (by default with the full window) and fills `trace`; returns
  // White's view.
  int TraceEval(ChessBoard* board, char side, EvalTrace* trace, int alpha = -MateScore, int beta = MateScore);
  // Prints the breakdown of the board's evaluation for its side to move, White's view.
  void PrintEvalBreakdown(ChessBoard* board);

  // Pawn structure (White's view)
  template <bool Trace = false> int PawnEval04(char side);
  template <int Side> bool DoesPawnPromote(int rank, int square, char side);
  int RuleofSquare(char side);
  bool QueenAttacks(char colour, int square, SquareSet targets);

  // Pieces and king safety (White's view)
  template <bool Trace = false> int KingEval(char side);
  template <bool Trace = false> int KnightEval(char side);
  template <bool Trace = false> int BishopEval(char side);
  template <bool Trace = false> int RookEval(char side);
  template <bool Trace = false> int QueenEval(char side);
  int Traps(char side);
  template <int Side> int PawnShield();
  template <int Side> int PawnFilePenalty(SquareSet pawns);
  template <int Side> int PawnStorm();
  template <int Side> int AttackCounts();

  // Endgame knowledge
  int TwoPieceEndings(char side);

private:
  template <bool Trace> int Evaluate(char side, int alpha, int beta);
  template <bool Trace> bool PawnlessShortcut(int material, int* score);
  template <bool Trace> int FirstStage(char side, int material);
  template <bool Trace> int SecondStage(char side, int score);
  template <bool Trace> void KingSafety();
  template <bool Trace> void KingDangerTerm();
  template <bool Trace> void PieceThreats();
  template <bool Trace> void PasserPaths();
  template <bool Trace> void SafeMobility();
  struct KingDanger {                  // one king's troubles, its own view (larger is worse)
    int Shield = 0, Attack = 0, Storm = 0;
  };
  template <int Side> bool Attacking() const;
  template <int Side> KingDanger KingUnderAttack(bool oppositeWings);
  template <bool Trace> void MajorsOnSeventh();
  template <bool Trace> int FinalStage(char side, int alpha, int material, int score);
  template <bool Trace> void CentreAndHanging();
  int TaperedScore() const;
  // A term's value in the weight set in use, given the set's percentages.
  int Weighted(int value, const int (&percent)[2]) const {
    return value * percent[static_cast<int>(Weights)] / EvalTables::FullWeightPercent;
  }
  int TaperAndReset();
  static bool OutsideWindow(int score, int alpha, int beta, int margin);
  int PieceAgainstPawns() const;
  bool OppositeBishopsEnding(int material) const;
  void BuildSquareMasks();

  // pawn structure
  void ClearPawnRecords();
  template <bool Trace, int Side> void PawnWalk();
  template <bool Trace, int Side> bool IsolationTerms(int square, bool halfOpen, int kingFile);
  template <bool Trace, int Side> void PasserOrCandidate(int square, bool isolated, SquareSet kingZone);
  template <int Side> void PasserTables();
  template <bool Trace, int Side> void PasserKingTerms(char side);
  void StorePawnEntry(PawnHashEntry& entry, std::uint32_t code, SquareSet pawns, std::uint32_t kings) const;
  void RestorePawnEntry(const PawnHashEntry& entry);

  // pawn races
  template <int Side> int BestPasser(char side, int* distance, int* square);
  template <int Side> int RaceQueeningFirst(int ownQueenSquare, int enemyQueenSquare);

  // Adds a term worked out for each side in its own view to the accumulators (White's view),
  // weighted by the set's middlegame and endgame percentages.
  template <bool Trace>
  void AddSidesTerm(EvalTerm term, StagePair white, StagePair black, const int (&middlePercent)[2], const int (&endPercent)[2]) {
    const int middle = Weighted(white.Middle - black.Middle, middlePercent);
    const int end = Weighted(white.End - black.End, endPercent);
    MiddleGameScore += middle;
    EndGameScore += end;
    Note<Trace>(term, middle, end);
  }
  template <bool Trace> void Note(EvalTerm term, int mg, int eg) {
    if constexpr (Trace) Tr->Add(term, TaperBlock, mg, eg);
  }
  template <bool Trace> void NoteDirect(EvalTerm term, int value) {
    if constexpr (Trace) Tr->AddDirect(term, value);
  }
};

extern PositionEvaluate PE;
