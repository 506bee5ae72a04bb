#pragma once
// The opening book: positions identified by their hash code pair, each with a value (lower is better
// for the side choosing the move), and a binary search tree over the table for lookups.
#include <cstdint>
#include "board/ChessBoard.h"

constexpr int BookCapacity = 1000000;   // entries of the book table and nodes of the tree pool
constexpr int NotInBook = -1;           // BookTreeSearch: the key is not in the tree
constexpr int NoBookMove = -100;        // InBook: no move leads into the book
constexpr int NoBookValue = 110000;     // worse than any book value a move can have

// One book position: its hash code pair, first (upper) code first.
struct BookKey {
  std::uint64_t First;
  std::uint64_t Second;
};

extern BookKey OpeningBook[BookCapacity];      // the book positions
extern std::int32_t BookValue[BookCapacity];   // value of each position, parallel to OpeningBook
extern std::int32_t booksize;                  // entries in use

// A node of the search tree over the book table.
struct treenode {
  std::int32_t index;   // the OpeningBook entry of this node
  treenode* left;       // smaller keys
  treenode* right;      // larger keys
};

// Empties the book and rebuilds the tree over it.
void buildbook();
// Rebuilds the tree over entries 0 .. n-1 (n is clamped to the table). Entries whose key equals an
// earlier entry's key get no node. The previous tree is discarded.
void buildbooktree(long n);
// Entry index of the key in the tree below `root`, or NotInBook.
int BookTreeSearch(treenode* root, unsigned long long first, unsigned long long second);
// Root of the tree built last; null while the tree holds no entry.
treenode* BookTreeRoot();
// Index, in the list GenerateAllMoves makes for this position, of the legal move that leads to the
// book position with the lowest value (the first such move on ties), or NoBookMove.
int InBook(char side, char castle, ChessBoard board);
