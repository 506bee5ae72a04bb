#include "tools/PolyglotBook.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <utility>

#include "movegen/CastleTable.h"
#include "movegen/MoveGen.h"
#include "movegen/PawnGeometry.h"
#include "tools/PolyglotRandom.h"

PolyglotBook PolyglotOpeningBook;

namespace {

// The fields of a book move (layout in PolyglotBook.h).
constexpr unsigned SquareFieldMask = 0x3f;
constexpr unsigned FromShift = 6;
constexpr unsigned PromotionShift = 12;
constexpr unsigned PromotionFieldMask = 0x7;
constexpr unsigned UnusedMoveBit = 0x8000;
// Promotion letters by the book's promotion code; 0 is "no promotion", codes past 4 are no piece.
constexpr char PromotionLetters[] = {'\0', 'n', 'b', 'r', 'q'};
constexpr unsigned PromotionCodes = sizeof(PromotionLetters);

// The fields of an entry: byte offset and length.
constexpr int KeyOffset = 0, KeyBytes = 8;
constexpr int MoveOffset = KeyOffset + KeyBytes, MoveBytes = 2;
constexpr int WeightOffset = MoveOffset + MoveBytes, WeightBytes = 2;
constexpr int LearnOffset = WeightOffset + WeightBytes, LearnBytes = 4;
static_assert(LearnOffset + LearnBytes == PolyglotEntryBytes, "the fields fill an entry");
constexpr int BitsPerByte = 8;

constexpr std::size_t EntriesPerRead = 1024;   // a file is read in pieces of this many entries

using EntryArray = std::unique_ptr<PolyglotEntry[]>;

// The board's piece sets with the kind of piece each holds in the random table.
struct PieceSetKind {
  SquareSet ChessBoard::*Set;
  int Kind;
};
using Polyglot::PieceKind;
constexpr PieceSetKind PieceSetKinds[Polyglot::PieceKinds] = {
    {&ChessBoard::WhitePawns, PieceKind(Polyglot::Pawn, Polyglot::White)},
    {&ChessBoard::WhiteKnights, PieceKind(Polyglot::Knight, Polyglot::White)},
    {&ChessBoard::WhiteBishops, PieceKind(Polyglot::Bishop, Polyglot::White)},
    {&ChessBoard::WhiteRooks, PieceKind(Polyglot::Rook, Polyglot::White)},
    {&ChessBoard::WhiteQueens, PieceKind(Polyglot::Queen, Polyglot::White)},
    {&ChessBoard::WhiteKing, PieceKind(Polyglot::King, Polyglot::White)},
    {&ChessBoard::BlackPawns, PieceKind(Polyglot::Pawn, Polyglot::Black)},
    {&ChessBoard::BlackKnights, PieceKind(Polyglot::Knight, Polyglot::Black)},
    {&ChessBoard::BlackBishops, PieceKind(Polyglot::Bishop, Polyglot::Black)},
    {&ChessBoard::BlackRooks, PieceKind(Polyglot::Rook, Polyglot::Black)},
    {&ChessBoard::BlackQueens, PieceKind(Polyglot::Queen, Polyglot::Black)},
    {&ChessBoard::BlackKing, PieceKind(Polyglot::King, Polyglot::Black)},
};

int SideOf(const ChessBoard& b) { return b.SideToMove ? 1 : 0; }

std::uint64_t PieceKey(const ChessBoard& b) {
  std::uint64_t key = 0;
  for (const PieceSetKind& p : PieceSetKinds)
    for (SquareSet s = b.*p.Set; s; s &= s - 1)
      key ^= Polyglot::Random64[Polyglot::PieceKeys + p.Kind * Polyglot::BoardSquares + SquareIndex(s)];
  return key;
}

// CastleMoves lists White's and then Black's castlings, king side first: the order of the table.
std::uint64_t CastleKey(const ChessBoard& b) {
  std::uint64_t key = 0;
  int index = Polyglot::CastleKeys;
  for (int side = 0; side < 2; side++) {
    const SquareSet rooks = side ? b.BlackRooks : b.WhiteRooks;
    for (const CastleMove& c : CastleMoves[side]) {
      if ((b.CastleFlags & c.Right) && (b.KingOf(side) & c.King) && (rooks & c.Rook)) key ^= Polyglot::Random64[index];
      index++;
    }
  }
  return key;
}

template <int Side>
std::uint64_t EnPassantKey(const ChessBoard& b) {
  const SquareSet target = EnPassantTarget<Side>(b);
  if (!target || !EnPassantCapturers<Side>(b, b.PawnsOf(Side))) return 0;
  return Polyglot::Random64[Polyglot::EnPassantKeys + SquareIndex(target) % Polyglot::BoardFiles];
}

std::uint64_t ReadBigEndian(const unsigned char* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; i++) value = (value << BitsPerByte) | bytes[i];
  return value;
}

PolyglotEntry ReadEntry(const unsigned char* bytes) {
  PolyglotEntry e;
  e.Key = ReadBigEndian(bytes + KeyOffset, KeyBytes);
  e.Move = static_cast<std::uint16_t>(ReadBigEndian(bytes + MoveOffset, MoveBytes));
  e.Weight = static_cast<std::uint16_t>(ReadBigEndian(bytes + WeightOffset, WeightBytes));
  e.Learn = static_cast<std::uint32_t>(ReadBigEndian(bytes + LearnOffset, LearnBytes));
  return e;
}

// Why a file of `size` bytes cannot be a book, or nullptr when it can.
const char* SizeError(std::uint64_t size) {
  if (size == 0) return "the book file is empty";
  if (size > PolyglotMaxBookBytes) return "the book file is larger than the largest book accepted (256 MiB)";
  if (size % PolyglotEntryBytes != 0) return "the book file size is not a whole number of 16-byte entries";
  return nullptr;
}

EntryArray NewEntries(std::size_t count, const char** error) {
  EntryArray entries(new (std::nothrow) PolyglotEntry[count]);
  if (!entries) *error = "not enough memory for the book";
  return entries;
}

// Reads exactly `size` bytes unless the file ends or fails first.
bool ReadWhole(int fd, unsigned char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = read(fd, buffer + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadEntries(int fd, PolyglotEntry* entries, std::size_t count) {
  unsigned char buffer[EntriesPerRead * PolyglotEntryBytes];
  for (std::size_t done = 0; done < count;) {
    const std::size_t piece = count - done < EntriesPerRead ? count - done : EntriesPerRead;
    if (!ReadWhole(fd, buffer, piece * PolyglotEntryBytes)) return false;
    for (std::size_t i = 0; i < piece; i++) entries[done + i] = ReadEntry(buffer + i * PolyglotEntryBytes);
    done += piece;
  }
  return true;
}

bool SortedByKey(const PolyglotEntry* entries, std::size_t count) {
  for (std::size_t i = 1; i < count; i++)
    if (entries[i].Key < entries[i - 1].Key) return false;
  return true;
}

// The legal moves of the side to move, found by their squares. The generator's list is kept so
// that a book move can name its place in it.
class LegalMoveTable {
public:
  explicit LegalMoveTable(const ChessBoard& board) : Position(board), Side(static_cast<char>(SideOf(board))) {
    if (!board.HasOneKingEach()) return;
    const int count = List.GenerateAllMoves(Side, &Position, board.CastleFlags);
    for (int i = 0; i < count && i < MaxMovesInList; i++)
      if (LeavesKingSafe(List.FromSquares[i], List.ToSquares[i], List.Promotions[i]))
        Slots[SquareIndex(List.FromSquares[i]) * Polyglot::BoardSquares + SquareIndex(List.ToSquares[i])] =
            static_cast<std::int16_t>(i + 1);
  }

  // Index of the move in the generator's list, NoBookListIndex when it is not legal.
  int Find(int from, int to) const { return Slots[from * Polyglot::BoardSquares + to] - 1; }
  bool Promotes(int index) const { return List.Promotions[index] != NoPromotion; }
  char Promotion(int index) const { return List.Promotions[index]; }
  char MoverSide() const { return Side; }
  const ChessBoard& Board() const { return Position; }

private:
  ChessBoard Position;
  char Side;
  MoveGen List;
  std::int16_t Slots[Polyglot::BoardSquares * Polyglot::BoardSquares] = {};   // list index + 1, 0 = no move

  // Taking the king is no move; any other move is legal when the mover's king is not left attacked.
  bool LeavesKingSafe(SquareSet from, SquareSet to, char promotion) const {
    if (to & Position.KingOf(Side ^ 1)) return false;
    ChessBoard trial = Position;
    char castleMask = 0;
    trial.MakeMove(from, to, promotion, &castleMask);
    return !trial.InCheck(trial.KingOf(Side), Side);
  }
};

// The book writes castling as the king taking its own rook; the engine moves the king two squares.
int KingTarget(const ChessBoard& b, int side, int from, int to) {
  for (const CastleMove& c : CastleMoves[side])
    if (SquareBit(from) == c.King && SquareBit(to) == c.Rook && (b.KingOf(side) & c.King)) return SquareIndex(c.Target);
  return to;
}

char LetterForSide(char lower, int side) { return side ? lower : static_cast<char>(lower - 'a' + 'A'); }

bool DecodeWith(const LegalMoveTable& legal, std::uint16_t raw, PolyglotMove* move) {
  const unsigned promotionCode = (raw >> PromotionShift) & PromotionFieldMask;
  if ((raw & UnusedMoveBit) || promotionCode >= PromotionCodes) return false;
  const int side = legal.MoverSide();
  const int from = static_cast<int>((raw >> FromShift) & SquareFieldMask);
  const int to = KingTarget(legal.Board(), side, from, static_cast<int>(raw & SquareFieldMask));
  const int index = legal.Find(from, to);
  if (index < 0 || (promotionCode != 0) != legal.Promotes(index)) return false;
  const char letter = PromotionLetters[promotionCode];
  const bool underPromotion = letter != '\0' && letter != 'q';
  move->From = SquareBit(from);
  move->To = SquareBit(to);
  move->Promotion = letter == '\0' ? NoPromotion : underPromotion ? LetterForSide(letter, side) : legal.Promotion(index);
  move->ListIndex = underPromotion ? NoBookListIndex : index;
  move->Weight = 0;
  MoveToText(move->From, move->To, move->Promotion, move->Text);
  return true;
}

// The sum of the weights of the playable entries: below 2^16 times the largest number of entries
// (PolyglotMaxBookBytes / 16 = 2^24), far from overflowing.
std::uint64_t TotalWeight(const LegalMoveTable& legal, const PolyglotEntries& found) {
  std::uint64_t total = 0;
  PolyglotMove scratch;
  for (std::size_t i = 0; i < found.Count; i++) {
    const PolyglotEntry& e = found.First[i];
    if (e.Weight > 0 && DecodeWith(legal, e.Move, &scratch)) total += e.Weight;
  }
  return total;
}

bool ChooseHeaviest(const LegalMoveTable& legal, const PolyglotEntries& found, PolyglotMove* move) {
  PolyglotMove candidate;
  bool chosen = false;
  for (std::size_t i = 0; i < found.Count; i++) {
    const PolyglotEntry& e = found.First[i];
    if (e.Weight == 0 || (chosen && e.Weight <= move->Weight) || !DecodeWith(legal, e.Move, &candidate)) continue;
    candidate.Weight = e.Weight;
    *move = candidate;
    chosen = true;
  }
  return chosen;
}

bool ChooseWeighted(const LegalMoveTable& legal, const PolyglotEntries& found, std::uint64_t randomNumber,
                    PolyglotMove* move) {
  const std::uint64_t total = TotalWeight(legal, found);
  if (total == 0) return false;
  const std::uint64_t pick = randomNumber % total;
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < found.Count; i++) {
    const PolyglotEntry& e = found.First[i];
    if (e.Weight == 0 || !DecodeWith(legal, e.Move, move)) continue;
    sum += e.Weight;
    if (sum > pick) {
      move->Weight = e.Weight;
      return true;
    }
  }
  return false;
}

}  // namespace

bool PolyglotBook::Open(const char* path, const char** error) {
  const char* unused = nullptr;
  if (error == nullptr) error = &unused;
  Close();
  if (path == nullptr || path[0] == '\0') {
    *error = "no book file named";
    return false;
  }
  // Without O_NONBLOCK opening a named pipe would wait for a writer before fstat could refuse it.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *error = errno == ENOENT ? "no such book file" : "the book file cannot be opened for reading";
    return false;
  }
  const bool loaded = ReadOpenFile(fd, error);
  close(fd);
  return loaded;
}

bool PolyglotBook::ReadOpenFile(int fd, const char** error) {
  struct stat status;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    *error = "the book is not a regular file";
    return false;
  }
  const std::uint64_t size = status.st_size < 0 ? 0 : static_cast<std::uint64_t>(status.st_size);
  if ((*error = SizeError(size)) != nullptr) return false;
  const std::size_t count = static_cast<std::size_t>(size / PolyglotEntryBytes);
  EntryArray entries = NewEntries(count, error);
  if (!entries) return false;
  if (!ReadEntries(fd, entries.get(), count)) {
    *error = "the book file could not be read whole";
    return false;
  }
  return Adopt(std::move(entries), count, error);
}

bool PolyglotBook::Load(const unsigned char* bytes, std::size_t size, const char** error) {
  const char* unused = nullptr;
  if (error == nullptr) error = &unused;
  Close();
  if ((*error = SizeError(bytes == nullptr ? 0 : size)) != nullptr) return false;
  const std::size_t count = size / PolyglotEntryBytes;
  EntryArray entries = NewEntries(count, error);
  if (!entries) return false;
  for (std::size_t i = 0; i < count; i++) entries[i] = ReadEntry(bytes + i * PolyglotEntryBytes);
  return Adopt(std::move(entries), count, error);
}

bool PolyglotBook::Adopt(std::unique_ptr<PolyglotEntry[]> entries, std::size_t count, const char** error) {
  // The binary search finds a key's entries only if they are sorted; an unsorted book would give
  // some positions part of their moves, silently.
  if (!SortedByKey(entries.get(), count)) {
    *error = "the book entries are not sorted by key";
    return false;
  }
  Entries = std::move(entries);
  Count = count;
  *error = nullptr;
  return true;
}

void PolyglotBook::Close() {
  Entries.reset();
  Count = 0;
}

std::uint64_t PolyglotBook::Key(const ChessBoard& board) {
  const int side = SideOf(board);
  std::uint64_t key = PieceKey(board) ^ CastleKey(board);
  key ^= side ? EnPassantKey<1>(board) : EnPassantKey<0>(board);
  if (side == 0) key ^= Polyglot::Random64[Polyglot::TurnKey];
  return key;
}

PolyglotEntries PolyglotBook::Find(std::uint64_t key) const {
  std::size_t low = 0, high = Count;   // the first entry of the key lies in [low, high]
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (Entries[middle].Key < key) low = middle + 1;
    else high = middle;
  }
  std::size_t end = low;
  while (end < Count && Entries[end].Key == key) end++;
  PolyglotEntries found;
  if (end > low) found = PolyglotEntries{&Entries[low], end - low};
  return found;
}

bool PolyglotBook::DecodeMove(const ChessBoard& board, std::uint16_t raw, PolyglotMove* move) {
  if (move == nullptr) return false;
  const LegalMoveTable legal(board);
  return DecodeWith(legal, raw, move);
}

bool PolyglotBook::ChooseMove(const ChessBoard& board, std::uint64_t randomNumber, bool best,
                              PolyglotMove* move) const {
  if (move == nullptr || !board.HasOneKingEach()) return false;
  const PolyglotEntries found = Find(Key(board));
  if (found.Count == 0) return false;
  const LegalMoveTable legal(board);
  PolyglotMove chosen;
  const bool ok = best ? ChooseHeaviest(legal, found, &chosen) : ChooseWeighted(legal, found, randomNumber, &chosen);
  if (ok) *move = chosen;
  return ok;
}
