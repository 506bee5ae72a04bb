#pragma once
// The test's own copy of a game played with the program: every move the program sends is checked
// and played here, and the rules say when and how the game ends.
#include <string>

#include "board/ChessBoard.h"
#include "movegen/MoveGen.h"
#include "protocol/MoveCheck.h"
#include "protocol/UciMoves.h"
#include "tools/Fen.h"

namespace nelktest {

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

class GameBoard {
public:
  explicit GameBoard(const std::string& fen = StartFen) {
    const ChessBoard saved = MainBoard;
    std::string text = fen;
    SetupBoard(text.data());
    MainBoard.InitPieceCounts();
    board_ = MainBoard;
    MainBoard = saved;
  }

  // Plays the move ("e2e4", "e7e8q") when it is legal; false (nothing changed) otherwise.
  bool Play(const std::string& text) {
    CheckedMove move;
    if (!FindLegalMove(text.c_str(), board_, &move)) return false;
    char mask = AllCastleRights;
    board_.MakeMove(move.From, move.To, move.Promotion, &mask);
    // A rook taken on its corner takes its right along.
    const SquareSet corners[4] = {SquareBit(7), SquareBit(0), SquareBit(63), SquareBit(56)};
    for (int right = 0; right < 4; right++)
      if (move.To & corners[right]) mask = static_cast<char>(mask & ~(1 << right));
    board_.CastleFlags = static_cast<std::int8_t>(board_.CastleFlags & mask);
    board_.SideToMove = static_cast<std::int8_t>(board_.SideToMove ^ 1);
    return true;
  }

  // The first legal move in the generator's order (a weak but legal opponent); empty when none.
  std::string FirstLegalMove() const {
    UciMove legal[MaxMovesInList];
    if (CollectLegalMoves(board_, board_.SideToMove, board_.CastleFlags, legal) == 0) return "";
    char text[UciMoveTextSize];
    WriteUciMove(text, SquareIndex(legal[0].From), SquareIndex(legal[0].To), legal[0].Promotion);
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
