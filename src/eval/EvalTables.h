#pragma once
// Tables and weights of the evaluation. Scores are in the evaluator's unit (a pawn is 800 to 1000).
//
// Square tables are written as a picture of the board seen from White's side: the first row is
// rank 8, the last row rank 1, files a to h from left to right. Read as an array indexed by square
// (a1 = 0) the picture is upside down, which is exactly Black's table; White's table is the picture
// turned the right way up (FlipRanks). The per-colour tables are inline variables: the side traits
// (EvalSide.h) refer to them, and every file must see the same object.
#include <array>
#include <cstdint>
#include "board/Types.h"

namespace EvalTables {

using SquareTable = std::array<std::int32_t, 64>;

constexpr SquareTable FlipRanks(const SquareTable& picture) {
  SquareTable flipped{};
  for (int square = 0; square < 64; ++square) flipped[square] = picture[square ^ 56];
  return flipped;
}

// ---- Material -------------------------------------------------------------------------------
// QueenValue, RookValue and PawnValue (the middlegame pawn) are those of the board record.
constexpr int MinorValue = KnightValue;   // knight and bishop alike
constexpr int PawnEndgameExtra = 200;     // a pawn gains up to this much as the pieces come off

// ---- Phase and taper --------------------------------------------------------------------------
constexpr int MaxPhase = 24;              // 24 = no pieces left (pure endgame weight)
constexpr int MinPhase = 1;
constexpr int RookPhaseExtra = 1;         // a rook weighs 2: one as a piece, one extra
constexpr int QueenPhaseExtra = 3;        // a queen weighs 4

// ---- Lazy exits -------------------------------------------------------------------------------
constexpr int LazyMarginFirst = 6000;     // before the king-safety and endgame terms
constexpr int LazyMarginSecond = 2000;    // before mobility and the piece terms

// ---- King-and-piece endings (rows rank 8 .. rank 1; symmetric) --------------------------------
constexpr SquareTable KingEnding = {
  -250, -150,  -80,  -50,  -50,  -80, -150, -250,
  -150,  -70,   12,   12,   12,   12,  -70, -150,
   -80,   12,   12,   32,   32,   12,   12,  -80,
   -50,   12,   32,   80,   80,   32,   12,  -50,
   -50,   12,   32,   80,   80,   32,   12,  -50,
   -80,   12,   12,   32,   32,   12,   12,  -80,
  -150,  -70,   12,   12,   12,   12,  -70, -150,
  -250, -150,  -80,  -50,  -50,  -80, -150, -250,
};

// Bonus by the number of rooks on the enemy's first two ranks.
constexpr std::array<std::int32_t, 16> Majorson7 = {
  0, 350, 650, 950, 1250, 1400, 1450, 1500, 1500, 1500, 1500, 0, 0, 0, 0, 0};
constexpr int QueenOn7thEndgame = 200;

// ---- Pawn structure ---------------------------------------------------------------------------
// Pawn placement, White's side of the picture (rows rank 8 .. rank 1).
constexpr SquareTable PawnSquarePicture = {
     0,    0,    0,    0,    0,    0,    0,    0,
     0,    0,    0,   60,   60,    0,    0,    0,
     0,    0,    0,   60,   60,    0,    0,    0,
     0,    0,    0,  152,  152,    0,    0,    0,
     0,    0,    0,  187,  187,    0,    0,    0,
     0,    3,    0,  112,  112,    0,    3,    0,
     0,    0,    0,  -10,  -10,    0,    0,    0,
     0,    0,    0,    0,    0,    0,    0,    0,
};
inline constexpr SquareTable WPawnSquare = FlipRanks(PawnSquarePicture);
inline constexpr SquareTable BPawnSquare = PawnSquarePicture;

// Indexed by file a..h.
constexpr std::array<std::int32_t, 8> IsolatedPawn = {90, 100, 100, 110, 110, 100, 100, 90};
// Indexed by the rank index counted from the pawn's own side (0 = its first rank).
constexpr std::array<std::int32_t, 8> Passers = {0, 40, 80, 160, 270, 550, 1100, 0};
constexpr std::array<std::int32_t, 8> ProtectedPassers = {0, 50, 90, 170, 300, 600, 1200, 0};
constexpr std::array<std::int32_t, 8> ConnectedPassers = {0, 60, 100, 180, 320, 640, 1280, 0};
constexpr std::array<std::int32_t, 8> KingProximityPasserPenalty = {0, 17, 34, 54, 81, 120, 184, 0};

constexpr int WingPawnKingAway = 5;       // rook pawn while the own king is on the other wing
constexpr int CentralFilePenalty = 10;    // extra for an isolated d- or e-pawn
constexpr int HalfOpenIsolated = 50;      // an isolated pawn the enemy can attack down its file
constexpr int BackwardPawn = 40;
constexpr int BackwardHalfOpen = 80;
constexpr int IsolatedPasserRefund = 50;  // a passed pawn is hardly weak for being isolated
constexpr int BackwardPasserRefund = 80;
constexpr int DoubledHalfOpen = 50;
constexpr int CentralPawnBonus = 60;      // per pawn on d4, e4, d5, e5 (middlegame)
constexpr int NoPawnsScore = -30;         // pawn score of a side without pawns
constexpr int DoubledPasserScale = 15;    // a passer on a doubled file keeps 15/16 of its value
constexpr int UnstoppablePasser = 150;
constexpr int PasserMiddleWeight = 13;    // passer scores enter the accumulators as 13/10 and 19/10
constexpr int PasserEndWeight = 19;
constexpr int PasserWeightDivisor = 10;
constexpr int FreePasserMaxDistance = 7;  // king distances are measured against this
constexpr int PawnRaceWin = 5700;         // a pawn race won in a pure pawn ending
constexpr int RaceKingReach = 2;          // a king within this distance of a new queen catches it

// ---- Pieces -----------------------------------------------------------------------------------
constexpr SquareTable KnightSquarePicture = {
  -250, -250, -200, -150, -150, -200, -250, -250,
  -200, -100,  -50,  -50,  -50,  -50, -100, -200,
  -100,   50,   30,   40,   40,   30,   50, -100,
  -100,   50,   30,   80,   80,   30,   50, -100,
  -100,    0,   60,  100,  100,   60,    0, -100,
  -150, -100,    0,   50,   50,    0, -100, -150,
  -200, -200, -150, -100, -100, -150, -200, -200,
  -400, -400, -300, -250, -250, -300, -400, -400,
};
inline constexpr SquareTable WKnightSquare = FlipRanks(KnightSquarePicture);
inline constexpr SquareTable BKnightSquare = KnightSquarePicture;

// Both colours (symmetric): edge, second ring, third ring, centre.
constexpr SquareTable KnightEnding = {
  -250, -250, -250, -250, -250, -250, -250, -250,
  -250,  -50,  -50,  -50,  -50,  -50,  -50, -250,
  -250,  -50,   50,   50,   50,   50,  -50, -250,
  -250,  -50,   50,  150,  150,   50,  -50, -250,
  -250,  -50,   50,  150,  150,   50,  -50, -250,
  -250,  -50,   50,   50,   50,   50,  -50, -250,
  -250,  -50,  -50,  -50,  -50,  -50,  -50, -250,
  -250, -250, -250, -250, -250, -250, -250, -250,
};

// Outpost bonus for a knight no enemy pawn can chase away.
constexpr SquareTable KnightPostPicture = {
     0,    0,    0,    0,    0,    0,    0,    0,
     0,    0,   64,   90,   90,   64,    0,    0,
     0,    0,  120,  160,  160,  120,    0,    0,
     0,    0,   80,  120,  120,   80,    0,    0,
     0,    0,   60,   80,   80,   60,    0,    0,
     0,    0,    0,    0,    0,    0,    0,    0,
     0,    0,    0,    0,    0,    0,    0,    0,
     0,    0,    0,    0,    0,    0,    0,    0,
};
inline constexpr SquareTable WKnightPost = FlipRanks(KnightPostPicture);
inline constexpr SquareTable BKnightPost = KnightPostPicture;

constexpr SquareTable BishopSquarePicture = {
  -100, -100,  -70,  -40,  -40,  -70, -100, -100,
  -100,   25,  -30,    0,    0,  -30,   25, -100,
   -60,  -20,   50,   20,   20,   50,  -20,  -60,
   -30,    5,   20,   80,   80,   20,    5,  -30,
   -30,    3,   20,   80,   80,   20,    3,  -30,
   -60,  -20,   50,   20,   20,   50,  -20,  -60,
  -100,   25,  -30,    0,    0,  -30,   25, -100,
  -200, -200, -200, -150, -150, -200, -200, -200,
};
inline constexpr SquareTable WBishopSquare = FlipRanks(BishopSquarePicture);
inline constexpr SquareTable BBishopSquare = BishopSquarePicture;

// Both colours (symmetric).
constexpr SquareTable BishopEnding = {
  -150, -150, -120, -100, -100, -120, -150, -150,
  -150,  -50,    0,   10,   10,    0,  -50, -150,
  -120,    0,   10,   30,   30,   10,    0, -120,
  -100,   10,   20,   60,   60,   20,   10, -100,
  -100,   10,   20,   60,   60,   20,   10, -100,
  -120,    0,   10,   30,   30,   10,    0, -120,
  -150,  -50,    0,   10,   10,    0,  -50, -150,
  -150, -150, -120, -100, -100, -120, -150, -150,
};

// Middlegame king placement; the endgame table is KingEnding.
constexpr SquareTable KingSquarePicture = {
  -700, -700, -700, -700, -700, -700, -700, -700,
  -700, -700, -700, -700, -700, -700, -700, -700,
  -600, -600, -600, -600, -600, -600, -600, -600,
  -500, -500, -500, -500, -500, -500, -500, -500,
  -400, -400, -400, -400, -400, -400, -400, -400,
  -100, -100, -100, -100, -100, -100, -100, -100,
  -100, -100, -100, -120, -120, -120, -100, -100,
   180,  210,  130, -210, -210,  130,  210,  180,
};
inline constexpr SquareTable WKingSquare = FlipRanks(KingSquarePicture);
inline constexpr SquareTable BKingSquare = KingSquarePicture;

// Mobility, indexed by the number of usable squares.
// Knight (0-8)
constexpr std::array<std::int32_t, 16> KnightMobility = {
  -180, -70, -20, 0, 20, 50, 70, 100, 120, 75, 100, 120, 135, 150, 165, 0};
// Bishop (0-13)
constexpr std::array<std::int32_t, 16> BishopMobility = {
  -200, -110, -70, -30, 0, 30, 60, 90, 90, 90, 90, 90, 90, 90, 90, 0};
// Rook (0-14)
constexpr std::array<std::int32_t, 16> RookMobility = {
  -220, -120, -80, -30, 0, 30, 70, 100, 120, 140, 170, 190, 210, 230, 240, 0};
// Queen (0-27)
constexpr std::array<std::int32_t, 32> QueenMobility = {
  -140, -120, -100, -80, -60, -40, -20, 0, 20, 40, 60, 80, 100, 120, 140, 160,
   180,  200,  220, 240, 260, 280, 280, 280, 280, 280, 280, 280, 280, 0, 0, 0};

constexpr int FianchettoBonus = 200;
constexpr int BishopPairBonus = 500;
constexpr int RookEndgameMobilityWeight = 14;   // rook mobility counts 14/10 in the endgame
constexpr int RookEndgameMobilityDivisor = 10;
constexpr int RookOpenFileMiddle = 320;
constexpr int RookOpenFileEnd = 140;
constexpr int RookBlockedMiddle = 100;          // rook on its first rank behind an enemy pawn
constexpr int RookBlockedEnd = 200;
constexpr int RookHalfOpenFile = 50;
constexpr int RookBehindOwnPasserMiddle = 37;
constexpr int RookBehindOwnPasserEnd = 75;
constexpr int RookBehindEnemyPasserMiddle = 18;
constexpr int RookBehindEnemyPasserEnd = 37;
constexpr int TrappedQueenPerSquare = 3250;     // per missing safe square below two
constexpr int QueenSafeSquaresNeeded = 2;
constexpr int QueenDeepRank = 4;                // ranks 5 to 8, counted from the queen's side

// ---- Driver terms -----------------------------------------------------------------------------
constexpr int CentreControl = 30;               // per attacked centre square
constexpr int UndefendedMan = 400;
constexpr int UndefendedPawnRefund = 100;       // an undefended pawn costs 300, not 400
// The undefended-men term by weight set (standard, capture search), in percent. With captures
// played out at the horizon the search sees what hangs; fitted on games of that mode (the Texel
// method, "nelk -texel") the term's weight is zero.
constexpr int UndefendedMenPercent[2] = {100, 0};
constexpr int FullWeightPercent = 100;
// The same fit on ten thousand games of the mode weighs the king attack and the knights' and
// bishops' squares and the king's placement at about two thirds or less, the pawn storm at
// nothing, and the bishops' mobility, the attacked men, the kings' distance to the passed pawns
// and the pawn's endgame value at more. Beside the set's king danger (below), the king attack
// keeps a quarter: a fit with both terms halved it again.
constexpr int KingAttackPercent[2] = {100, 25};
constexpr int PawnStormPercent[2] = {100, 0};
constexpr int MinorSquaresPercent[2] = {100, 65};
// The capture-search set counts mobility over a safe area instead (see Safe mobility).
constexpr int BishopMobilityPercent[2] = {100, 0};
constexpr int KnightMobilityPercent[2] = {100, 0};
constexpr int RookMobilityPercent[2] = {100, 0};
constexpr int QueenMobilityPercent[2] = {100, 0};
constexpr int AttackedMenPercent[2] = {100, 300};
constexpr int KingPlacementPercent[2] = {100, 65};
constexpr int PasserKingsPercent[2] = {100, 160};
constexpr int PawnEndgamePercent[2] = {100, 150};
constexpr int AttackedManEndgame = 20;          // per enemy man under attack
constexpr int BadBishopPawn = 50;               // endgame, per enemy pawn on the lone bishop's colour
constexpr int MatingMaterialBonus = 800;
constexpr int PieceAgainstPawnsBonus = 1100;
constexpr int OppositeBishopsMaxPawnGap = 3;
constexpr int OppositeBishopsShrinkNum = 3;     // opposite bishops keep a quarter of the advantage
constexpr int OppositeBishopsShrinkDen = 4;
constexpr int PawnlessMinorScaleNum = 3;        // one extra minor piece without pawns: 3/4 of it
constexpr int PawnlessMinorScaleDen = 4;
constexpr int MateDistanceWeight = 80;          // drive the lone king: per square of king distance
constexpr int LoneBishopAgainstPawns = 750;
constexpr int LoneKnightAgainstPawns = 800;
constexpr int DoubledPawnOneRook = 125;         // doubled pawns hurt more as the pieces come off
constexpr int DoubledPawnNoRook = 190;
constexpr int DoubledPawnDefault = 62;
constexpr int ScoreGranularity = 10;            // full evaluations are multiples of this

// ---- Traps ------------------------------------------------------------------------------------
constexpr int TrappedKnight = 1219;
constexpr int TrappedBishop = 1600;
constexpr int TrappedRook = 1670;

constexpr SquareSet At(const char* name) {   // "e4" -> one-bit set
  return SquareSet{1} << ((name[1] - '1') * 8 + (name[0] - 'a'));
}

// A fianchettoed bishop: on g2 with pawns on g3 and on f2 or h2 (Black's: the mirror images).
constexpr SquareSet FianchettoBishop = At("g2");
constexpr SquareSet FianchettoPawn = At("g3");
constexpr SquareSet FianchettoCover = At("f2") | At("h2");

// A White piece on one of `Piece`, Black pawns on all of `AllOf` and (when given) on one of `AnyOf`.
// Black's patterns are the vertical mirror images with White pawns.
struct TrapPattern {
  SquareSet Piece;
  SquareSet AllOf;
  SquareSet AnyOf;
};
constexpr TrapPattern KnightTrapPatterns[] = {
  {At("h8"), 0, At("h7") | At("f7")},
  {At("h7"), At("g7"), At("h6") | At("f6")},
  {At("g7"), At("h7") | At("g6") | At("f7"), 0},
  {At("a8"), 0, At("a7") | At("c7")},
  {At("a7"), At("b7"), At("a6") | At("c6")},
  {At("b7"), At("a7") | At("b6") | At("c7"), 0},
};
constexpr TrapPattern BishopTrapPatterns[] = {
  {At("a7") | At("b8"), At("b6") | At("c7"), 0},
  {At("h7") | At("g8"), At("g6") | At("f7"), 0},
};
// A White rook shut in by its own king (one of `King`), on one of `Rook`, with a White pawn on one of
// `Pawn`; Black's are the mirror images.
struct RookTrapPattern {
  SquareSet King;
  SquareSet Rook;
  SquareSet Pawn;
};
constexpr RookTrapPattern RookTrapKingSide = {At("f1") | At("g1"), At("g1") | At("h1"), At("f2") | At("g2") | At("h2")};
constexpr RookTrapPattern RookTrapQueenSide = {At("b1") | At("c1"), At("a1") | At("b1"), At("a2") | At("b2") | At("c2")};

// ---- King safety ------------------------------------------------------------------------------
// Diagonals aiming at a White king on the king side (h2-c7, g2-b7, f2-a7) and on the queen side;
// Black's are their mirror images.
constexpr SquareSet KingSideDiagonals =
  At("h2") | At("g3") | At("f4") | At("e5") | At("d6") | At("c7") |
  At("g2") | At("f3") | At("e4") | At("d5") | At("c6") | At("b7") |
  At("f2") | At("e3") | At("d4") | At("c5") | At("b6") | At("a7");
constexpr SquareSet QueenSideDiagonals =
  At("c2") | At("d3") | At("e4") | At("f5") | At("g6") | At("h7") |
  At("b2") | At("c3") | At("d4") | At("e5") | At("f6") | At("g7") |
  At("a2") | At("b3") | At("c4") | At("d5") | At("e6") | At("f7");
constexpr SquareSet CentreSquares = At("d4") | At("e4") | At("d5") | At("e5");
constexpr int ShieldFileEmpty = 350;            // a shelter file without an own pawn
constexpr int ShieldStepPenalty = 35;           // per rank a shelter pawn has advanced
constexpr int ShieldHoleRank = 4;               // a shelter pawn this far up (from its side) leaves a hole
constexpr int StormNear = 600;                  // an enemy pawn two ranks from the king's home rank
constexpr int StormMiddle = 300;
constexpr int StormFar = 100;
constexpr int ZoneAttackUnit = 110;             // per attacked king-zone square and attacker weight
constexpr int RookAndQueenAttack = 360;
constexpr int HeavyQueenAndRook = 1620;         // enemy queen and rook on the king's first two ranks
constexpr int HeavyQueen = 1080;
constexpr int HeavyRook = 720;
constexpr int HolePieceUnit = 5;                // per hole and enemy piece
constexpr int OpenFileAttacker = 30;            // per heavy piece on an open file near the king
constexpr int FilePieceUnit = 10;               // per hole and enemy piece on the king's files
constexpr int DiagonalAttacker = 10;            // per bishop or queen on a diagonal at the king
constexpr int DefenderMinor = 100;              // own knight, bishop or rook map touching the zone
constexpr int DefenderQueen = 500;
constexpr int DefenderInZone = 100;
// ---- King danger of the capture-search weight set ---------------------------------------------
// One sum of danger units per king: the enemy pieces that reach its ring by their weight, their
// attacks next to it, weak ring squares, checks the enemy can give (safe ones count far more),
// less when the enemy has no queen or a knight guards the king. The units are those of a scale on
// which a pawn is DangerToScoreDen; the cost is danger^2 / DangerMiddleDivisor of them.
constexpr int KnightAttackerDanger = 81;        // per enemy piece reaching the ring, by kind
constexpr int BishopAttackerDanger = 52;
constexpr int RookAttackerDanger = 44;
constexpr int QueenAttackerDanger = 10;
constexpr int WeakRingSquareDanger = 185;       // ring square attacked and defended by at most king or queen
constexpr int UnsafeCheckDanger = 148;          // per square the enemy can check from, defended
constexpr int RingAttackDanger = 69;            // per enemy attack on a square next to the king
constexpr int QueenSafeCheckDanger = 772;       // the enemy has a safe check by this kind of piece
constexpr int RookSafeCheckDanger = 1084;
constexpr int BishopSafeCheckDanger = 645;
constexpr int KnightSafeCheckDanger = 792;
constexpr int NoEnemyQueenDanger = -873;
constexpr int KnightGuardDanger = -100;         // an own knight covers a square next to the king
constexpr int BaseDanger = 37;
constexpr int KingBlockerDanger = 98;           // per man alone between the king and an enemy slider
constexpr int FlankAttackDangerNum = 3;         // the enemy's attacks on the king's flank, squared, 3/8
constexpr int FlankAttackDangerDen = 8;
constexpr int FlankDefenceDanger = -4;          // per square of the king's flank we attack
constexpr int MinCountedDanger = 100;           // less than this costs nothing
constexpr int MaxCountedDanger = 30000;         // more counts as this (keeps the square in range)
constexpr int DangerMiddleDivisor = 4096;       // of the danger squared
constexpr int DangerToScoreNum = PawnValue;     // the scale's units to the evaluation's
constexpr int DangerToScoreDen = 126;
// The term's middlegame weight by weight set, in percent: the standard set leaves it out; a fit on
// games of the capture-search mode (tests 49-53) weighed it at about a third.
constexpr int KingDangerPercent[2] = {0, 35};
// ---- Threats of the capture-search weight set ------------------------------------------------
// Enemy men that a side's pieces attack, by the attacker and the victim's kind (pawn .. queen),
// middlegame and endgame: a minor piece on a defended man or on a weak one (attacked and not
// defended by a pawn nor more often than attacked), a rook on a weak one, the king on a weak one.
constexpr int VictimKinds = 5;
constexpr int ThreatByMinorMiddle[VictimKinds] = {32, 362, 489, 559, 502};
constexpr int ThreatByMinorEnd[VictimKinds] = {155, 199, 272, 578, 782};
constexpr int ThreatByRookMiddle[VictimKinds] = {19, 235, 267, 0, 368};
constexpr int ThreatByRookEnd[VictimKinds] = {223, 330, 291, 184, 199};
constexpr int ThreatByKingMiddle = 152, ThreatByKingEnd = 432;
constexpr int HangingMiddle = 438, HangingEnd = 175;             // weak and undefended, or attacked twice
constexpr int WeakQueenDefenceMiddle = 89;                       // a weak man only the queen defends
constexpr int RestrictedMiddle = 44, RestrictedEnd = 34;         // per square both attack, not strongly held
constexpr int SafePawnThreatMiddle = 1099, SafePawnThreatEnd = 456;   // a safe pawn attacks a piece
constexpr int PawnPushThreatMiddle = 305, PawnPushThreatEnd = 189;    // a safe push would attack one
// The term's middlegame and endgame weights by weight set, in percent: the standard set leaves it
// out; a Texel fit on games of the capture-search mode (tests 49-54) weighed it at 0.44 and 0.69.
constexpr int PieceThreatsMiddlePercent[2] = {0, 45};
constexpr int PieceThreatsEndPercent[2] = {0, 70};
// ---- Passer paths (the capture-search set) -----------------------------------------------------
// A passed pawn on its fourth rank or beyond whose next square is empty, by how safe its path is:
// no square ahead of it (on its own and the neighbouring files) attacked by the enemy, none on its
// own file, or at least not the next square; a little more when we hold the next square or a rook
// or queen of ours stands behind it. The value times (5 * rank - 13).
constexpr int PasserPathFree = 35;
constexpr int PasserPathFileSafe = 20;
constexpr int PasserPathNextSafe = 9;
constexpr int PasserPathSupported = 5;
constexpr int PasserPathRankWeight = 5, PasserPathRankBase = 13;
constexpr int PasserPathMinRank = 3;            // relative rank index: the fourth rank
constexpr int PasserPathMiddleNum = 800, PasserPathMiddleDen = 126;   // into the evaluation's units
constexpr int PasserPathEndNum = 1000, PasserPathEndDen = 208;
// The term's weights by weight set, in percent; the standard set leaves it out. A fit on games of
// the capture-search mode (tests 49-56) weighed it at 0.77 in the endgame and 0 in the middlegame.
constexpr int PasserPathMiddlePercent[2] = {0, 0};
constexpr int PasserPathEndPercent[2] = {0, 77};

// ---- Safe mobility (the capture-search set) ----------------------------------------------------
// Squares a piece reaches in its side's mobility area (not held by its own king or queen, nor by
// its own pawns that are blocked or still on their first two ranks, nor guarded by enemy pawns).
constexpr std::array<std::int32_t, 9> SafeKnightMobilityMiddle = {-394, -337, -76, -25, 19, 83, 140, 178, 210};
constexpr std::array<std::int32_t, 9> SafeKnightMobilityEnd = {-389, -269, -149, -77, 24, 53, 82, 96, 120};
constexpr std::array<std::int32_t, 14> SafeBishopMobilityMiddle = {-305, -127, 102, 165, 241, 324, 349,
                                                                    400, 400, 432, 514, 514, 578, 622};
constexpr std::array<std::int32_t, 14> SafeBishopMobilityEnd = {-284, -111, -14, 62, 115, 202, 260,
                                                                 274, 312, 351, 375, 413, 423, 466};
constexpr std::array<std::int32_t, 15> SafeRookMobilityMiddle = {-381, -127, 13, 19, 19, 70, 140, 197,
                                                                  254, 254, 260, 305, 362, 362, 394};
constexpr std::array<std::int32_t, 15> SafeRookMobilityEnd = {-375, -82, 111, 188, 337, 476, 495, 582,
                                                               644, 668, 760, 788, 808, 812, 827};
constexpr std::array<std::int32_t, 28> SafeQueenMobilityMiddle = {-190, -76, -51, -57, 127, 146, 146, 222, 241, 337,
                                                                   406, 413, 413, 419, 425, 425, 457, 457, 489, 502,
                                                                   590, 686, 686, 686, 698, 724, 724, 737};
constexpr std::array<std::int32_t, 28> SafeQueenMobilityEnd = {-231, -144, -34, 91, 192, 264, 284, 361, 375, 462,
                                                                462, 481, 582, 611, 630, 639, 654, 678, 707, 721,
                                                                726, 808, 808, 822, 875, 875, 923, 1053};
// The term's middlegame and endgame weights by weight set, in percent: the standard set leaves it
// out; a fit on games of the capture-search mode (tests 49-56) gave 0.43 and 1.28.
constexpr int SafeMobilityMiddlePercent[2] = {0, 43};
constexpr int SafeMobilityEndPercent[2] = {0, 128};

constexpr int MinAttackersForSafety = 2;        // pieces a side needs before it counts as attacking
constexpr int AttackersWithoutQueen = 4;

}  // namespace EvalTables
