// Fuzz target: Polyglot books. Any bytes must be either refused for the right reason or read whole,
// the same from memory as from a file, with every entry found again by its key. The same bytes are
// then read as the book of one of a few fixed positions (the first byte chooses it; every entry's
// key becomes that position's key, so that every move of the input is decoded there): every move
// decoded or chosen must be legal, and its forms (squares, list index, text) must agree.
#include <string>

#include "FuzzSupport.h"
#include "movegen/MoveGen.h"
#include "protocol/MoveCheck.h"
#include "tools/Fen.h"
#include "tools/PolyglotBook.h"

namespace {

constexpr const char* PositionFens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",   // en passant
    "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",                            // every castling
    "r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq - 0 1",                          // castling out of check
    "7k/P7/8/8/8/8/p7/K7 b - - 0 1",                                   // promotions
    "4r1k1/8/8/8/8/8/4B3/4K3 w - - 0 1",                               // a pinned piece
};
constexpr unsigned PositionCount = sizeof(PositionFens) / sizeof(PositionFens[0]);
constexpr int KeyBytes = 8;
constexpr int MoveOffset = 8;
constexpr int BitsPerByte = 8;

const ChessBoard& Position(unsigned index) {
  static ChessBoard boards[PositionCount];
  static bool made = false;
  if (!made) {
    const ChessBoard saved = MainBoard;
    for (unsigned i = 0; i < PositionCount; i++) {
      SetupBoard(PositionFens[i]);
      MainBoard.Recount();
      boards[i] = MainBoard;
    }
    MainBoard = saved;
    made = true;
  }
  return boards[index];
}

// In the working directory, which bench/fuzz.sh makes a scratch folder and removes afterwards.
const char* ScratchPath() {
  static char path[] = "nelk-fuzz-book-XXXXXX";
  static bool made = false;
  if (!made) {
    const int fd = mkstemp(path);
    if (fd < 0) fuzz::Fail("cannot create the scratch book file");
    close(fd);
    made = true;
  }
  return path;
}

std::uint64_t KeyAt(const std::string& bytes, std::size_t at) {
  std::uint64_t key = 0;
  for (int i = 0; i < KeyBytes; i++) key = key << BitsPerByte | static_cast<unsigned char>(bytes[at + i]);
  return key;
}

bool Sorted(const std::string& bytes) {
  for (std::size_t at = PolyglotEntryBytes; at < bytes.size(); at += PolyglotEntryBytes)
    if (KeyAt(bytes, at) < KeyAt(bytes, at - PolyglotEntryBytes)) return false;
  return true;
}

bool LoadBytes(PolyglotBook& book, const std::string& bytes, const char** error) {
  return book.Load(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), error);
}

void CheckReading(const std::string& bytes) {
  const bool shouldLoad = !bytes.empty() && bytes.size() % PolyglotEntryBytes == 0 && Sorted(bytes);
  PolyglotBook book;
  const char* error = nullptr;
  if (LoadBytes(book, bytes, &error) != shouldLoad) fuzz::Fail("a book was wrongly", shouldLoad ? "refused" : "read");
  if (!shouldLoad && (error == nullptr || book.IsOpen())) fuzz::Fail("a refused book left no reason or a book");
  if (shouldLoad && book.EntryCount() != bytes.size() / PolyglotEntryBytes) fuzz::Fail("a book lost entries");
  for (std::size_t i = 0; i < book.EntryCount(); i++) {
    const PolyglotEntries found = book.Find(KeyAt(bytes, i * PolyglotEntryBytes));
    if (found.Count == 0 || found.First->Key != KeyAt(bytes, i * PolyglotEntryBytes)) fuzz::Fail("an entry is not found");
  }
  FILE* file = std::fopen(ScratchPath(), "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) fuzz::Fail("cannot write the book");
  std::fclose(file);
  PolyglotBook fromFile;
  if (fromFile.Open(ScratchPath(), &error) != shouldLoad || fromFile.EntryCount() != book.EntryCount())
    fuzz::Fail("a book file is read otherwise than its bytes");
}

// The move agrees with the move checker, and names its place in the generator's list.
void CheckMove(const ChessBoard& board, const PolyglotMove& move) {
  CheckedMove legal;
  if (!FindLegalMove(move.Text, board, &legal)) fuzz::Fail("a book move is not legal:", move.Text);
  if (legal.From != move.From || legal.To != move.To || legal.Promotion != move.Promotion)
    fuzz::Fail("a book move's squares disagree with its text", move.Text);
  if (move.ListIndex == NoBookListIndex) return;
  ChessBoard copy = board;
  MoveGen list;
  const int count = list.GenerateAllMoves(board.SideToMove, &copy, board.CastleFlags);
  if (move.ListIndex >= count || list.FromSquares[move.ListIndex] != move.From ||
      list.ToSquares[move.ListIndex] != move.To || list.Promotions[move.ListIndex] != move.Promotion)
    fuzz::Fail("a book move's list index names another move", move.Text);
}

void CheckChoices(const std::string& input) {
  if (input.empty()) return;
  const ChessBoard& board = Position(static_cast<unsigned char>(input[0]) % PositionCount);
  std::string bytes = input.substr(1, (input.size() - 1) / PolyglotEntryBytes * PolyglotEntryBytes);
  const std::uint64_t key = PolyglotBook::Key(board);
  for (std::size_t at = 0; at < bytes.size(); at += PolyglotEntryBytes) {
    for (int i = 0; i < KeyBytes; i++) bytes[at + i] = static_cast<char>(key >> (BitsPerByte * (KeyBytes - 1 - i)));
    PolyglotMove move;
    const auto raw = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at + MoveOffset]) << BitsPerByte |
                                                static_cast<unsigned char>(bytes[at + MoveOffset + 1]));
    if (PolyglotBook::DecodeMove(board, raw, &move)) CheckMove(board, move);
  }
  PolyglotBook book;
  if (!LoadBytes(book, bytes, nullptr)) return;
  PolyglotMove move;
  for (bool best : {true, false})
    if (book.ChooseMove(board, KeyAt(input + std::string(KeyBytes, '\0'), 0), best, &move)) CheckMove(board, move);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > fuzz::MaxInputSize) return 0;
  fuzz::StartEngineOnce();
  fuzz::Output.Clear();
  const std::string input(reinterpret_cast<const char*>(data), size);
  CheckReading(input);
  CheckChoices(input);
  fuzz::Output.Scan();
  return 0;
}
