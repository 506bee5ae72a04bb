#pragma once
// Opening books in the Polyglot format (".bin"), which most book tools write and most front ends
// read. The whole file is read into memory once and checked; after that a position is looked up by
// its key with a binary search.
//
// One entry, 16 bytes, every field big-endian:
//   key     64 bits  the key of the position (PolyglotBook::Key)
//   move    16 bits  to-square bits 0-5, from-square bits 6-11 (0 = a1, 7 = h1, 63 = h8),
//                    promotion bits 12-14 (0 none, 1 knight, 2 bishop, 3 rook, 4 queen), bit 15
//                    unused; castling is written as the king taking its own rook: e1h1, e1a1,
//                    e8h8, e8a8
//   weight  16 bits  how often the move is to be played, against the other moves of the position
//   learn   32 bits  for the tools that wrote the book; not used here
// The entries are sorted by key, so that the moves of one position stand together.
#include <cstddef>
#include <cstdint>
#include <memory>
#include "board/ChessBoard.h"
#include "engine/MoveText.h"

constexpr std::size_t PolyglotEntryBytes = 16;
// Larger files are refused: the book is held in memory whole, and the biggest books in use are
// well below this.
constexpr std::size_t PolyglotMaxBookBytes = std::size_t{256} << 20;
// PolyglotMove::ListIndex of a move that the generator's list does not hold.
constexpr int NoBookListIndex = -1;

struct PolyglotEntry {
  std::uint64_t Key;      // key of the position
  std::uint16_t Move;     // the move as the book encodes it (layout above)
  std::uint16_t Weight;   // relative frequency; 0 means "never play"
  std::uint32_t Learn;    // unused
};

// The entries of one key: Count entries from First, in book order.
struct PolyglotEntries {
  const PolyglotEntry* First = nullptr;
  std::size_t Count = 0;
};

// A book move that is legal in the position it was decoded for, in every form the engine plays.
struct PolyglotMove {
  SquareSet From = 0;              // one bit
  SquareSet To = 0;                // one bit; for castling the king's target (g1, c1, g8, c8)
  char Promotion = NoPromotion;    // for MakeMove: NoPromotion, or the piece letter in the mover's case
  // Index of the move in the list MoveGen::GenerateAllMoves makes for the position, the form the
  // root search takes book moves in; NoBookListIndex for an under-promotion, as the list holds
  // queen promotions only.
  int ListIndex = NoBookListIndex;
  std::uint16_t Weight = 0;        // the weight of the book entry
  char Text[MoveTextMaxLength + 1] = {};   // coordinate text: "e2e4", "e1g1", "e7e8q"
};

class PolyglotBook {
public:
  // Reads the book file at `path` in place of the book held so far. On failure no book is held and
  // *error receives the reason, a constant text: the file is missing or cannot be read, is not a
  // regular file, is larger than PolyglotMaxBookBytes, is empty, is not a whole number of
  // entries, or its entries are not sorted by key. On success *error is null. `error` may be null.
  bool Open(const char* path, const char** error);
  // The same for the bytes of a book file already in memory.
  bool Load(const unsigned char* bytes, std::size_t size, const char** error);
  void Close();
  bool IsOpen() const { return Count > 0; }
  std::size_t EntryCount() const { return Count; }

  // The key of the position with the board's side to move and castling rights (a right counts
  // only while its king and rook stand at home). The en-passant file counts only when a pawn of
  // the side to move stands beside the pawn that has just made a double step, whether or not the
  // capture would leave its king attacked: that is how the books' own tools compute the key.
  static std::uint64_t Key(const ChessBoard& board);
  // Every entry of the key; none while no book is held.
  PolyglotEntries Find(std::uint64_t key) const;
  // The book move `raw` as a move of the side to move on `board` (Weight left 0); false when it is
  // not legal there or names no move at all.
  static bool DecodeMove(const ChessBoard& board, std::uint16_t raw, PolyglotMove* move);
  // A book move for the position: with `best` the entry of the largest weight (the first of equal
  // ones), otherwise an entry drawn in proportion to the weights, `randomNumber` (any 64-bit value
  // of a random generator) deciding the draw. Entries of weight 0 and entries whose move is not
  // legal are passed over. False when the book has no move for the position.
  bool ChooseMove(const ChessBoard& board, std::uint64_t randomNumber, bool best, PolyglotMove* move) const;

private:
  std::unique_ptr<PolyglotEntry[]> Entries;   // Count entries sorted by key
  std::size_t Count = 0;

  bool ReadOpenFile(int fd, const char** error);
  // Keeps the entries as the book when they are sorted by key.
  bool Adopt(std::unique_ptr<PolyglotEntry[]> entries, std::size_t count, const char** error);
};

// The book the engine plays from when its Polyglot book is switched on.
extern PolyglotBook PolyglotOpeningBook;
