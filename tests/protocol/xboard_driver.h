#pragma once
// Helpers of the xboard and console session tests: the engine's output line by line, its move
// lines, and a board of the test's own on which both sides' moves are checked and played.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "board/ChessBoard.h"
#include "movegen/MoveGen.h"
#include "protocol/MoveCheck.h"
#include "support/RunEngine.h"
#include "tools/Fen.h"

namespace xboard_test {

using nelktest::EngineProcess;

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr int LineTimeoutMs = 20000;

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

inline int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
}

inline std::size_t Cursor(const EngineProcess& engine) { return engine.Output().size() - engine.Pending().size(); }

// The next whole line of output, without its newline.
inline bool NextLine(EngineProcess& engine, std::string* line, int timeoutMs = LineTimeoutMs) {
  const std::size_t start = Cursor(engine);
  if (!engine.WaitFor("\n", timeoutMs)) return false;
  *line = engine.Output().substr(start, Cursor(engine) - 1 - start);
  return true;
}

// A coordinate move as the engine writes it: promotion letters in lower case only.
inline bool IsMoveText(const std::string& text) {
  int from = 0, to = 0;
  char promotion = 0;
  return ParseMoveText(text.c_str(), &from, &to, &promotion) && (text.size() == 4 || text[4] == promotion);
}

// An engine move line: exactly "<n>. ... <move>".
inline bool ParseMoveLine(const std::string& line, int* number, std::string* move) {
  char text[16] = {};
  int end = 0;
  if (std::sscanf(line.c_str(), "%d. ... %15s%n", number, text, &end) != 2) return false;
  *move = text;
  return static_cast<std::size_t>(end) == line.size() && line == std::to_string(*number) + ". ... " + *move &&
         IsMoveText(*move);
}

inline bool IsResultLine(const std::string& line) {
  return line == "1-0 {White mates}" || line == "0-1 {Black mates}" || line == "1/2-1/2 {Stalemate}" ||
         line == "1/2-1/2 {Draw by 50 Move Rule}" || line == "1/2-1/2 {Draw by insufficient material}";
}

// Skips other lines (thinking output) up to a move line or a result line.
inline bool NextMoveOrResult(EngineProcess& engine, std::string* line, int timeoutMs = LineTimeoutMs) {
  int number = 0;
  std::string move;
  while (NextLine(engine, line, timeoutMs)) {
    if (ParseMoveLine(*line, &number, &move) || IsResultLine(*line)) return true;
  }
  return false;
}

// The test's own copy of the game.
class TestBoard {
public:
  explicit TestBoard(const std::string& fen = StartFen) {
    const ChessBoard saved = MainBoard;
    std::string text = fen;
    SetupBoard(text.data());
    MainBoard.InitPieceCounts();
    board_ = MainBoard;
    MainBoard = saved;
  }

  const ChessBoard& Board() const { return board_; }

  // Plays the move when it is legal; false (nothing changed) otherwise.
  bool Play(const std::string& text) {
    CheckedMove move;
    if (!FindLegalMove(text.c_str(), board_, &move)) return false;
    char mask = AllCastleRights;
    board_.MakeMove(move.From, move.To, move.Promotion, &mask);
    // A rook taken on its corner takes its right along.
    const SquareSet corners[4] = {SquareBit(7), SquareBit(0), SquareBit(63), SquareBit(56)};
    for (int right = 0; right < 4; right++) {
      if (move.To & corners[right]) mask = static_cast<char>(mask & ~(1 << right));
    }
    board_.CastleFlags = static_cast<std::int8_t>(board_.CastleFlags & mask);
    board_.SideToMove = static_cast<std::int8_t>(board_.SideToMove ^ 1);
    return true;
  }

  // The first legal move in the generator's order (a weak but legal opponent); empty when none.
  std::string FirstLegalMove() const {
    ChessBoard copy = board_;
    MoveGen list;
    const int count = list.GenerateAllMoves(copy.SideToMove, &copy, copy.CastleFlags);
    for (int i = 0; i < count; i++) {
      const int from = SquareIndex(list.FromSquares[i]), to = SquareIndex(list.ToSquares[i]);
      char text[8];
      std::snprintf(text, sizeof text, "%c%d%c%d%s", 'a' + from % 8, from / 8 + 1, 'a' + to % 8, to / 8 + 1,
                    list.Promotions[i] == NoPromotion ? "" : "q");
      CheckedMove move;
      if (FindLegalMove(text, board_, &move)) return text;
    }
    return "";
  }

  // The result line the rules give for the position; empty while the game goes on.
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

}  // namespace xboard_test
