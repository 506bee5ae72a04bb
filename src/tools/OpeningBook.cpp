#include "tools/OpeningBook.h"

#include <cstdio>
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "hash/Zobrist.h"
#include "movegen/MoveGen.h"

BookKey OpeningBook[BookCapacity];
std::int32_t BookValue[BookCapacity];
std::int32_t booksize = 0;

namespace {

// Every tree lives in this pool: a rebuild starts again at its beginning, so rebuilding the book
// (at start-up and on each UCI book option) allocates nothing and loses nothing. Each entry gets
// at most one node, so the pool can never run out.
treenode NodePool[BookCapacity];
int NodesUsed = 0;
treenode* treeroot = nullptr;

treenode* NewNode(int index) {
  treenode* node = &NodePool[NodesUsed++];
  node->index = index;
  node->left = nullptr;
  node->right = nullptr;
  return node;
}

// Order of the tree: first code, then second code, both unsigned.
int CompareKeys(std::uint64_t first, std::uint64_t second, const BookKey& key) {
  if (first != key.First) return first < key.First ? -1 : 1;
  if (second != key.Second) return second < key.Second ? -1 : 1;
  return 0;
}

// Attaches entry i below the root unless an equal key is already in the tree.
void InsertEntry(int i) {
  const BookKey& key = OpeningBook[i];
  treenode* node = treeroot;
  for (;;) {
    const int order = CompareKeys(key.First, key.Second, OpeningBook[node->index]);
    if (order == 0) return;
    treenode*& child = order < 0 ? node->left : node->right;
    if (child == nullptr) {
      child = NewNode(i);
      return;
    }
    node = child;
  }
}

void TraceBookMove(const MoveGen& list, int i, int found) {
  char text[MoveTextSize];
  const char from = static_cast<char>(SquareIndex(list.FromSquares[i]));
  const char to = static_cast<char>(SquareIndex(list.ToSquares[i]));
  fillmovestring(text, 0, from, to, list.Promotions[i], 0);
  // The move text ends with the newline of fillmovestring; the trace line wants it inside the braces.
  for (char* c = text; *c; c++) {
    if (*c == '\n') *c = '\0';
  }
  const int value = found >= 0 ? BookValue[found] : 0;
  std::printf("  {%s  %s%d%s}\n", text, found >= 0 ? "" : "Not in Book: ", value, text);
}

bool LeavesKingInCheck(const ChessBoard& board, char side) {
  return board.InCheck(board.KingOf(side), side);
}

}  // namespace

void buildbook() {
  booksize = 0;
  buildbooktree(0);
}

void buildbooktree(long n) {
  NodesUsed = 0;
  treeroot = nullptr;
  // Without entries there is no tree: a root over the unused entry 0 would answer for its zero key.
  if (n < 1) return;
  if (n > BookCapacity) n = BookCapacity;
  treeroot = NewNode(0);
  for (int i = 1; i < n; i++) InsertEntry(i);
}

int BookTreeSearch(treenode* node, unsigned long long first, unsigned long long second) {
  // The descent compares the whole pair, exactly as the tree was built, so that keys that share
  // their first code, or share a second code with a node on the path, are still found.
  while (node != nullptr) {
    const int order = CompareKeys(first, second, OpeningBook[node->index]);
    if (order == 0) return node->index;
    node = order < 0 ? node->left : node->right;
  }
  return NotInBook;
}

treenode* BookTreeRoot() { return treeroot; }

int InBook(char side, char castle, ChessBoard board) {
  // Front ends read standard output: the note is for the console only.
  if (!MainStatus.xboard && !MainStatus.UCIMode) std::printf("Look through the Opening Book\n");
  if (!board.HasOneKingEach()) return NoBookMove;
  MoveGen list;
  const int count = list.GenerateAllMoves(side, &board, castle);
  int bestIndex = NoBookMove;
  int bestValue = NoBookValue;
  for (int i = 0; i < count && i < MaxMovesInList; i++) {
    char mask = 0;
    board.MakeMove(list.FromSquares[i], list.ToSquares[i], list.Promotions[i], &mask);
    // A move that leaves the king attacked is no move, whatever the book says of its position.
    if (LeavesKingInCheck(board, side)) {
      board.UndoMove(0);
      continue;
    }
    std::uint64_t upper = 0, lower = 0;
    genhashcode(static_cast<char>(side ^ 1), castle & mask, &upper, &lower, board);
    const int found = BookTreeSearch(treeroot, upper, lower);
    if (MainStatus.Trace == 1) TraceBookMove(list, i, found);
    if (found >= 0 && BookValue[found] < bestValue) {
      bestIndex = i;
      bestValue = BookValue[found];
    }
    board.UndoMove(0);
  }
  return bestIndex;
}
