#pragma once
// A move list with the generators that fill it for one side of one board.
#include <cstdint>
#include "board/ChessBoard.h"

constexpr int MaxMovesInList = 400;

class MoveGen {
public:
  ChessBoard* Board = nullptr;                 // board the list was generated for (not owned)
  SquareSet FromSquares[MaxMovesInList];       // left uninitialised on purpose: never cleared
  SquareSet ToSquares[MaxMovesInList];
  char Promotions[MaxMovesInList];
  std::int32_t OrderValues[MaxMovesInList];
  std::int32_t MoveCount = 0;

  MoveGen() {}

  // Top-level generators; each returns the number of moves.
  int GenerateAllMoves(char side, ChessBoard* board, char castleFlags);
  int GenCaptures(char side, ChessBoard* board);
  int GenerateQuiesceMoves(char side, ChessBoard* board);
  int GenCheckEvasions(char side, ChessBoard* board);

  // Piece generators: append from list position index, return the next free position.
  int GenKnights(char side, int index);
  int GenBishops(char side, int index);
  int GenRooks(char side, int index);
  int GenQueens(char side, int index);
  int GenKings(char side, int index);
  int GenPawns(char side, int index);
  int GenCastle(char side, int index, char castleFlags);
  int GenKnightCaptures(char side, int index);
  int GenBishopCaptures(char side, int index);
  int GenRookCaptures(char side, int index);
  int GenQueenCaptures(char side, int index);
  int GenKingCaptures(char side, int index);
  int GenPawnCaptures(char side, int index);
  int GenEnPassant(char, int index) { return index; }
  int GenNonCaptures(char, int) { return 0; }

  // Check evasions
  int GenKingEvasions(char side, SquareSet checkSet, int index);
  int GenKnightEvasions(char side, SquareSet checkSet, int index);
  int GenBishopEvasions(char side, SquareSet checkSet, int index);
  int GenRookEvasions(char side, SquareSet checkSet, int index);
  int GenQueenEvasions(char side, SquareSet checkSet, int index);
  int GenPawnEvasions(char side, SquareSet checkSet, SquareSet ownPawns, SquareSet enemyPieces, int index);

  // Ordering and selection
  void AssignMoveOrderValues(int count, int ply, SquareSet enemyKing, int hashMove, char mode);
  void NextMove(int i, int count, SquareSet* from, SquareSet* to, char* promotion);
  int GetMove(int i, SquareSet* from, SquareSet* to, char* promotion) const {
    *from = FromSquares[i];
    *to = ToSquares[i];
    *promotion = Promotions[i];
    return 0;
  }
};
