// Replays a game the engine printed and checks it: every move must be legal in the position it was
// played in, and the result announced at the end must describe the final position.
// Usage: bench_replay START.fen GAME.txt   (GAME.txt: the engine's standard output)
// Prints one line "moves N result TEXT ok" and ends with 0, or names the fault and ends with 1.
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include "board/ChessBoard.h"
#include "hash/Zobrist.h"
#include "movegen/MoveGen.h"
#include "tools/Fen.h"

namespace {

constexpr int FiftyMoveHalfMoves = 100;
constexpr int FaultStatus = 1;
constexpr const char* Results[] = {"White mates!", "Black mates!", "Stalemate", "1/2-1/2 {Draw by 50 Move Rule}",
                                   "1/2-1/2 {Draw by insufficient material}"};

SquareSet KingOf(const ChessBoard& b, int side) { return side ? b.BlackKing : b.WhiteKing; }
bool InCheck(const ChessBoard& b, int side) { return b.InCheck(KingOf(b, side), static_cast<char>(side)); }

bool ReadText(const char* path, std::string* text) {
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) return false;
  for (int c; (c = std::fgetc(file)) != EOF;) *text += static_cast<char>(c);
  std::fclose(file);
  return true;
}

// A castling move must not start in check nor pass over an attacked square.
bool CastlingIsSafe(const ChessBoard& b, int side, SquareSet from, SquareSet to) {
  if (!(from & KingOf(b, side))) return true;
  const int distance = SquareIndex(to) - SquareIndex(from);
  if (distance != 2 && distance != -2) return true;
  const SquareSet passed = SquareBit(SquareIndex(from) + distance / 2);
  return !b.InCheck(from, static_cast<char>(side)) && !b.InCheck(passed, static_cast<char>(side));
}

// Plays the move on `b` when it is legal there; false otherwise.
bool PlayLegalMove(ChessBoard& b, int side, int fromSquare, int toSquare, int* halfMoves) {
  MoveGen list;
  const int count = list.GenerateAllMoves(static_cast<char>(side), &b, b.CastleFlags);
  for (int i = 0; i < count; i++) {
    if (list.FromSquares[i] != SquareBit(fromSquare) || list.ToSquares[i] != SquareBit(toSquare)) continue;
    if (!CastlingIsSafe(b, side, list.FromSquares[i], list.ToSquares[i])) return false;
    const bool resets = (b.AllPieces & list.ToSquares[i]) || ((b.WhitePawns | b.BlackPawns) & list.FromSquares[i]);
    ChessBoard next = b;
    char mask = 0;
    next.MakeMove(list.FromSquares[i], list.ToSquares[i], list.Promotions[i], &mask);
    if (InCheck(next, side)) return false;
    next.CastleFlags = static_cast<std::int8_t>(next.CastleFlags & mask);
    next.SideToMove = static_cast<std::int8_t>(side ^ 1);
    next.InitPieceCounts();
    b = next;
    *halfMoves = resets ? 0 : *halfMoves + 1;
    return true;
  }
  return false;
}

bool HasLegalMove(ChessBoard b, int side) {
  MoveGen list;
  const int count = list.GenerateAllMoves(static_cast<char>(side), &b, b.CastleFlags);
  for (int i = 0; i < count; i++) {
    ChessBoard next = b;
    char mask = 0;
    next.MakeMove(list.FromSquares[i], list.ToSquares[i], list.Promotions[i], &mask);
    if (!InCheck(next, side)) return true;
  }
  return false;
}

// Whether the announced result describes the final position.
bool ResultFits(const std::string& result, const ChessBoard& b, int halfMoves) {
  const int side = b.SideToMove;
  const bool stuck = !HasLegalMove(b, side);
  if (result == Results[0]) return stuck && InCheck(b, side) && side == 1;
  if (result == Results[1]) return stuck && InCheck(b, side) && side == 0;
  if (result == Results[2]) return stuck && !InCheck(b, side);
  if (result == Results[3]) return halfMoves >= FiftyMoveHalfMoves;
  if (result == Results[4]) return (b.WhiteQueens | b.BlackQueens | b.WhiteRooks | b.BlackRooks) == 0;
  return false;
}

std::string FindResult(const std::string& game) {
  std::string found;
  std::size_t last = 0;
  for (const char* r : Results) {
    const std::size_t at = game.rfind(std::string(r) + "\n");
    if (at != std::string::npos && (found.empty() || at > last)) {
      found = r;
      last = at;
    }
  }
  return found;
}

int Square(const std::string& text, int at) { return (text[at + 1] - '1') * 8 + (text[at] - 'a'); }

bool IsSquare(const std::string& text, int at) {
  return text[at] >= 'a' && text[at] <= 'h' && text[at + 1] >= '1' && text[at + 1] <= '8';
}

// The move of a line "12. ... e2e4" the game loop prints for each engine move, or an empty text.
std::string MoveOfLine(const std::string& line) {
  const std::size_t dot = line.find(". ... ");
  if (dot == std::string::npos || dot == 0 || line.find_first_not_of("0123456789") != dot) return "";
  const std::string move = line.substr(dot + 6, 4);
  if (move.size() < 4 || !IsSquare(move, 0) || !IsSquare(move, 2)) return "";
  return move;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::printf("usage: bench_replay START.fen GAME.txt\n");
    return FaultStatus;
  }
  std::string fen, game;
  if (!ReadText(argv[1], &fen) || !ReadText(argv[2], &game)) {
    std::printf("cannot read %s or %s\n", argv[1], argv[2]);
    return FaultStatus;
  }
  InitKeysOnce();
  SetupBoard(fen.c_str());
  MainBoard.Recount();
  ChessBoard board = MainBoard;
  int halfMoves = board.FiftyMoveCount;
  int moves = 0;
  std::istringstream lines(game);
  for (std::string line; std::getline(lines, line);) {
    const std::string move = MoveOfLine(line);
    if (move.empty()) continue;
    if (!PlayLegalMove(board, board.SideToMove, Square(move, 0), Square(move, 2), &halfMoves)) {
      std::printf("ILLEGAL move %d: %s\n", moves + 1, move.c_str());
      return FaultStatus;
    }
    moves++;
  }
  const std::string result = FindResult(game);
  if (result.empty()) {
    std::printf("moves %d result NONE\n", moves);
    return FaultStatus;
  }
  if (!ResultFits(result, board, halfMoves)) {
    std::printf("moves %d result %s WRONG for the final position\n", moves, result.c_str());
    return FaultStatus;
  }
  std::printf("moves %d result %s ok\n", moves, result.c_str());
  return 0;
}
