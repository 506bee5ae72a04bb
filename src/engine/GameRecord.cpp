// The game record: the positions before the game's moves and the repetition history built from them.
#include "engine/GameRecord.h"

#include <cstdint>
#include <cstring>
#include "board/ChessBoard.h"
#include "board/Masks.h"
#include "engine/Status.h"
#include "hash/MoveHistory.h"
#include "hash/Zobrist.h"

namespace {

// Game positions kept in the repetition history: far more than the fifty-move rule can look back,
// and far enough below its capacity for the deepest search path.
constexpr int GameHistoryKept = 300;

// The positions before the game's moves, oldest first, for taking moves back.
struct TakeBackRecord {
  ChessBoard Before[TakeBackLimit];
  int Count = 0;
  bool Dropped = false;   // the game's oldest positions no longer fit

  void Push(const ChessBoard& board) {
    if (Count == TakeBackLimit) {
      std::memmove(&Before[0], &Before[1], sizeof(ChessBoard) * (TakeBackLimit - 1));
      Count--;
      Dropped = true;
    }
    Before[Count++] = board;
  }
};

TakeBackRecord TakeBacks;
bool HistoryStale = false;   // the position was replaced while a search ran

// Keeps the game's part of the repetition history short enough that the search always has room
// on top of it: a game played in force mode can go on without the fifty-move rule ending it.
void TrimHistory() {
  if (MoveList.NumMoves <= GameHistoryKept) return;
  const int dropped = MoveList.NumMoves - GameHistoryKept;
  std::memmove(MoveList.Entries, MoveList.Entries + dropped, sizeof(HistoryEntry) * GameHistoryKept);
  MoveList.NumMoves = GameHistoryKept;
}

void PushPosition(const ChessBoard& board) {
  std::uint64_t upper = 0, lower = 0;
  genhashcode(board.SideToMove, board.CastleFlags, &upper, &lower, board);
  MoveList.InsertHashCodeMoveHistory(upper, lower);
}

// The repetition history from the game record: the positions since the last capture or pawn move
// (as far as the record reaches), the current one on top.
void RebuildHistory() {
  MoveList.Init();
  int back = MainBoard.FiftyMoveCount;
  if (back > TakeBacks.Count) back = TakeBacks.Count;
  if (back > GameHistoryKept - 1) back = GameHistoryKept - 1;
  if (back < 0) back = 0;
  for (int i = TakeBacks.Count - back; i < TakeBacks.Count; i++) PushPosition(TakeBacks.Before[i]);
  PushPosition(MainBoard);
}

void RebuildHistoryWhenFree() {
  if (GameSearchRunning()) HistoryStale = true;
  else RebuildHistory();
}

// Castling rights that survive a move from or to the square: moving the king or a rook from its
// home square, or capturing a rook on its corner, loses them.
int RightsKeptBySquare(SquareSet square) {
  if (square & Masks::E1) return AllCastleRights & ~(WhiteCastleKing | WhiteCastleQueen);
  if (square & Masks::H1) return AllCastleRights & ~WhiteCastleKing;
  if (square & Masks::A1) return AllCastleRights & ~WhiteCastleQueen;
  if (square & Masks::E8) return AllCastleRights & ~(BlackCastleKing | BlackCastleQueen);
  if (square & Masks::H8) return AllCastleRights & ~BlackCastleKing;
  if (square & Masks::A8) return AllCastleRights & ~BlackCastleQueen;
  return AllCastleRights;
}

}  // namespace

void BeginGameRecord() {
  MainBoard.Recount();
  TakeBacks.Count = 0;
  TakeBacks.Dropped = false;
  RebuildHistoryWhenFree();
}

void CompleteGameMove(const ChessBoard& before, SquareSet from, SquareSet to, char castleMask) {
  ChessBoard& b = MainBoard;
  b.CastleFlags = static_cast<std::int8_t>(b.CastleFlags & castleMask & RightsKeptBySquare(from) &
                                           RightsKeptBySquare(to));
  b.SideToMove = static_cast<std::int8_t>(b.SideToMove ^ 1);
  MainStatus.MoveNumber++;
  TakeBacks.Push(before);
  // No position before a capture or pawn move can occur again: the history only needs the rest.
  if (b.FiftyMoveCount == 0) MoveList.Init();
  PushPosition(b);
  TrimHistory();
}

TakeBackRefusal TakeBackMoves(int count) {
  if (count <= 0) return TakeBackRefusal::None;
  if (TakeBacks.Count < count) return TakeBacks.Dropped ? TakeBackRefusal::NotKept : TakeBackRefusal::TooFew;
  TakeBacks.Count -= count;
  MainBoard = TakeBacks.Before[TakeBacks.Count];
  Status& s = MainStatus;
  s.MoveNumber = s.MoveNumber - count > 1 ? s.MoveNumber - count : 1;
  s.GameInProgress = 1;
  RebuildHistoryWhenFree();
  return TakeBackRefusal::None;
}

void EndGameSearch(bool played) {
  if (!HistoryStale && played) return;
  HistoryStale = false;
  RebuildHistory();
}
