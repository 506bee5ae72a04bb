#pragma once
// The board record: one chess position, copied by value into every search node.
#include <cstdint>
#include "board/Types.h"

class ChessBoard {
public:
  SquareSet WhitePieces = 0;       // every square holding a White piece
  SquareSet BlackPieces = 0;       // every square holding a Black piece
  SquareSet AllPieces = 0;         // every occupied square
  SquareSet WhitePawns = 0;
  SquareSet WhiteBishops = 0;
  SquareSet WhiteKnights = 0;
  SquareSet WhiteRooks = 0;
  SquareSet WhiteQueens = 0;
  SquareSet WhiteKing = 0;         // one bit
  SquareSet BlackPawns = 0;
  SquareSet BlackBishops = 0;
  SquareSet BlackKnights = 0;
  SquareSet BlackRooks = 0;
  SquareSet BlackQueens = 0;
  SquareSet BlackKing = 0;         // one bit
  // one-level undo copies of the piece sets, same order
  SquareSet SaveWhitePawns = 0, SaveWhiteBishops = 0, SaveWhiteKnights = 0, SaveWhiteRooks = 0;
  SquareSet SaveWhiteQueens = 0, SaveWhiteKing = 0;
  SquareSet SaveBlackPawns = 0, SaveBlackBishops = 0, SaveBlackKnights = 0, SaveBlackRooks = 0;
  SquareSet SaveBlackQueens = 0, SaveBlackKing = 0;
  SquareSet SaveWhitePieces = 0, SaveBlackPieces = 0, SaveAllPieces = 0;
  std::uint32_t PawnHashCode = 0;  // pawn keys of the pawns (and king-move keys), kept by MakeMove
  std::uint32_t SavePawnHashCode = 0;
  std::int8_t SideToMove = 0;      // 0 White, 1 Black
  std::int8_t CastleFlags = 0;     // 1 WK, 2 WQ, 4 BK, 8 BQ
  std::uint8_t SaveCastleFlags = 0;
  std::uint32_t SaveFiftyMoveCount = 0;
  SquareSet SaveLastFrom = 0;
  SquareSet SaveLastTo = 0;
  SquareSet LastFrom = 0;          // from-square of the last move (the only en-passant state)
  SquareSet LastTo = 0;            // to-square of the last move
  std::int32_t MaxDepth = 0;       // maximum search depth in plies
  std::int32_t FixedDepth = 0;     // fixed search depth, 0 = none
  std::int32_t FiftyMoveCount = 0; // half-moves since the last capture or pawn move
  std::int32_t CurrentDepth = 0;   // depth of the iteration in progress
  SquareSet BestFrom = 0;          // the engine's chosen move
  SquareSet BestTo = 0;
  char BestPromotion = 0;
  std::int32_t CapturedValue = 0;  // value of the piece taken by the last MakeMove
  char DrawFlag = 0;               // scratch of CheckDraw
  std::int32_t WhiteMaterialCount = 0;  // White queens + rooks + bishops + knights + pawns
  std::int32_t BlackMaterialCount = 0;
  std::int32_t SaveWhiteMaterialCount = 0;
  std::int32_t SaveBlackMaterialCount = 0;
  std::int32_t WhiteQueenCount = 0, WhiteRookCount = 0, WhiteBishopCount = 0, WhiteKnightCount = 0,
               WhitePawnCount = 0;
  std::int32_t SaveWhiteQueenCount = 0, SaveWhiteRookCount = 0, SaveWhiteBishopCount = 0,
               SaveWhiteKnightCount = 0, SaveWhitePawnCount = 0;
  std::int32_t BlackQueenCount = 0, BlackRookCount = 0, BlackBishopCount = 0, BlackKnightCount = 0,
               BlackPawnCount = 0;
  std::int32_t SaveBlackQueenCount = 0, SaveBlackRookCount = 0, SaveBlackBishopCount = 0,
               SaveBlackKnightCount = 0, SaveBlackPawnCount = 0;

  // Set-up, queries and display (board record)
  void InitRep();
  void ClearField();
  // Makes the piece and material counts, the colour and occupancy sets and the pawn hash code
  // agree with the twelve piece sets: needed after every set-up of a position.
  void Recount();
  void InitPieceCounts();          // the ten piece counts only
  void RecountOccupancy() {        // the colour sets and AllPieces from the piece sets
    WhitePieces = WhitePawns | WhiteKnights | WhiteBishops | WhiteRooks | WhiteQueens | WhiteKing;
    BlackPieces = BlackPawns | BlackKnights | BlackBishops | BlackRooks | BlackQueens | BlackKing;
    AllPieces = WhitePieces | BlackPieces;
  }
  void RecountMaterial() {         // the two material counts from the piece counts
    WhiteMaterialCount = WhiteQueenCount + WhiteRookCount + WhiteBishopCount + WhiteKnightCount + WhitePawnCount;
    BlackMaterialCount = BlackQueenCount + BlackRookCount + BlackBishopCount + BlackKnightCount + BlackPawnCount;
  }
  void SetupBoard() {}
  void DisplayBoard();
  void DisplayPiece(unsigned char square);
  // The sets of one side (0 White, 1 Black), for code that takes the side at run time.
  SquareSet KingOf(int side) const { return side ? BlackKing : WhiteKing; }
  SquareSet PiecesOf(int side) const { return side ? BlackPieces : WhitePieces; }
  SquareSet PawnsOf(int side) const { return side ? BlackPawns : WhitePawns; }
  bool PieceColor(SquareSet s) const { return (s & WhitePieces) == 0; }
  bool IsKing(char side, SquareSet s) const { return (s & KingOf(side)) != 0; }
  bool IsPawn(char side, SquareSet s) const { return (s & PawnsOf(side)) != 0; }
  bool IsBishop(char side, SquareSet s) const { return (s & (side ? BlackBishops : WhiteBishops)) != 0; }
  bool IsKnight(char side, SquareSet s) const { return (s & (side ? BlackKnights : WhiteKnights)) != 0; }
  bool IsRook(char side, SquareSet s) const { return (s & (side ? BlackRooks : WhiteRooks)) != 0; }
  bool IsQueen(char side, SquareSet s) const { return (s & (side ? BlackQueens : WhiteQueens)) != 0; }
  bool IsEmptySquare(SquareSet s) const { return (s & AllPieces) == 0; }
  unsigned QuickPieceCount(char) const;
  unsigned QuickPawnCount(char side) const { return static_cast<unsigned>(side ? BlackPawnCount : WhitePawnCount); }
  bool HasOneKingEach() const;     // exactly one king per side (searches refuse other positions)
  // Why a set-up position cannot be played, or nullptr when it can: it needs one king per side, and
  // the side not to move must not be in check (its king could be taken).
  const char* SetupError() const;
  // The invariants of a consistent board record: PieceSetsAgree, and the material counts agree
  // with the piece counts.
  bool IsConsistent() const;
  // One piece per square, one king each, and the colour and occupancy sets and the piece counts
  // agree with the piece sets.
  bool PieceSetsAgree() const;

  // Attack masks from AllPieces (bitboard utilities and attack masks)
  SquareSet KnightMask(SquareSet s) const;
  SquareSet KingMask(SquareSet s) const;
  SquareSet BishopMask(SquareSet s) const;
  SquareSet RookMask(SquareSet s) const;
  SquareSet BishopCheckMask(SquareSet s, SquareSet target) const;
  SquareSet RookCheckMask(SquareSet s, SquareSet target) const;
  bool InCheck(SquareSet s, char side) const;
  bool IsAttacked(SquareSet s, char side) const { return InCheck(s, side); }
  SquareSet NorthAttacks(SquareSet sliders, SquareSet empty) const;
  SquareSet SouthAttacks(SquareSet sliders, SquareSet empty) const;
  int RookAttackCount(SquareSet s) const;

  // Making and unmaking moves, draw rules
  void MakeMove(SquareSet from, SquareSet to, char promotion, char* castleMask);
  void UndoMove(int index);
  void Promote(char side, SquareSet s, char pieceCode);
  void DropPawn(char side, SquareSet s);
  bool PawnOn7th(char side) const;
  int CheckDraw(char);
  bool Test50MoveRule(char from, char to);
  bool FiftyMovesCompleted() const;   // the fifty-move rule draws this position unless it is mate
};

extern ChessBoard MainBoard;

// The one-level undo store: every (field, undo copy) pair that MakeMove saves and UndoMove
// restores. Both are generated from this list; a field that MakeMove changes and a caller expects
// back after UndoMove belongs here.
#define NELK_BOARD_UNDO_FIELDS(X)                                                                 \
  X(WhitePawns, SaveWhitePawns) X(WhiteBishops, SaveWhiteBishops) X(WhiteKnights, SaveWhiteKnights) \
  X(WhiteRooks, SaveWhiteRooks) X(WhiteQueens, SaveWhiteQueens) X(WhiteKing, SaveWhiteKing)         \
  X(BlackPawns, SaveBlackPawns) X(BlackBishops, SaveBlackBishops) X(BlackKnights, SaveBlackKnights) \
  X(BlackRooks, SaveBlackRooks) X(BlackQueens, SaveBlackQueens) X(BlackKing, SaveBlackKing)         \
  X(WhitePieces, SaveWhitePieces) X(BlackPieces, SaveBlackPieces) X(AllPieces, SaveAllPieces)       \
  X(PawnHashCode, SavePawnHashCode) X(CastleFlags, SaveCastleFlags)                                 \
  X(FiftyMoveCount, SaveFiftyMoveCount) X(LastFrom, SaveLastFrom) X(LastTo, SaveLastTo)             \
  X(WhiteMaterialCount, SaveWhiteMaterialCount) X(BlackMaterialCount, SaveBlackMaterialCount)       \
  X(WhiteQueenCount, SaveWhiteQueenCount) X(WhiteRookCount, SaveWhiteRookCount)                     \
  X(WhiteBishopCount, SaveWhiteBishopCount) X(WhiteKnightCount, SaveWhiteKnightCount)               \
  X(WhitePawnCount, SaveWhitePawnCount) X(BlackQueenCount, SaveBlackQueenCount)                     \
  X(BlackRookCount, SaveBlackRookCount) X(BlackBishopCount, SaveBlackBishopCount)                   \
  X(BlackKnightCount, SaveBlackKnightCount) X(BlackPawnCount, SaveBlackPawnCount)

// Inline bodies of the hot attack masks and the check test.
#include "board/ChessBoardInline.h"
