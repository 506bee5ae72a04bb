#pragma once
// The test's own copy of a game played with the program: every move the program sends is checked
// and played here, and the rules say when and how the game ends.
#include <string>

#include "board/ChessBoard.h"
#include "board/Masks.h"
#include "movegen/MoveGen.h"
#include "protocol/MoveCheck.h"
#include "protocol/UciMoves.h"
#include "tools/Fen.h"

namespace nelktest {

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// The castling rights that survive a move from or to the square: a king leaving home, a rook
// leaving its corner or taken there.
inline int RightsKeptBy(SquareSet square) {
  const struct { SquareSet square; int lost; } homes[] = {
      {Masks::E1, WhiteCastleKing | WhiteCastleQueen}, {Masks::H1, WhiteCastleKing}, {Masks::A1, WhiteCastleQueen},
      {Masks::E8, BlackCastleKing | BlackCastleQueen}, {Masks::H8, BlackCastleKing}, {Masks::A8, BlackCastleQueen}};
  for (const auto& home : homes)
    if (square & home.square) return AllCastleRights & ~home.lost;
  return AllCastleRights;
}

// Plays a move known to be legal on a game board: castling rights, side to move.
inline void PlayChecked(ChessBoard& board, const CheckedMove& move) {
  char mask = AllCastleRights;
  board.MakeMove(move.From, move.To, move.Promotion, &mask);
  board.CastleFlags = static_cast<std::int8_t>(board.CastleFlags & mask & RightsKeptBy(move.From) & RightsKeptBy(move.To));
  board.SideToMove = static_cast<std::int8_t>(board.SideToMove ^ 1);
}

class GameBoard {
public:
  explicit GameBoard(const std::string& fen = StartFen) {
    const ChessBoard saved = MainBoard;
    SetupBoard(fen.c_str());
    MainBoard.InitPieceCounts();
    board_ = MainBoard;
    MainBoard = saved;
  }

  // Plays the move ("e2e4", "e7e8q") when it is legal; false (nothing changed) otherwise.
  bool Play(const std::string& text) {
    CheckedMove move;
    if (!FindLegalMove(text.c_str(), board_, &move)) return false;
    PlayChecked(board_, move);
    return true;
  }

  // A legal move, counted round in the generator's order (the first: a weak but legal opponent);
  // empty when there is none.
  std::string LegalMove(int index = 0) const {
    UciMove legal[MaxMovesInList];
    const int count = CollectLegalMoves(board_, board_.SideToMove, board_.CastleFlags, legal);
    if (count == 0) return "";
    const UciMove& move = legal[index % count];
    char text[UciMoveTextSize];
    WriteUciMove(text, SquareIndex(move.From), SquareIndex(move.To), move.Promotion);
    return text;
  }

  // The xboard result line the rules give for the position; empty while the game goes on.
  std::string Result() const {
    ChessBoard b = board_;
    const char side = b.SideToMove;
    if (!HasLegalMove(b, side, b.CastleFlags)) {
      if (!b.InCheck(side ? b.BlackKing : b.WhiteKing, side)) return "1/2-1/2 {Stalemate}";
      return side ? "1-0 {White mates}" : "0-1 {Black mates}";
    }
    switch (b.CheckDraw(0)) {
      case ResultMaterialDraw: return "1/2-1/2 {Draw by insufficient material}";
      case ResultFiftyMoveDraw: return "1/2-1/2 {Draw by 50 Move Rule}";
      default: return "";
    }
  }

private:
  ChessBoard board_;
};

}  // namespace nelktest
