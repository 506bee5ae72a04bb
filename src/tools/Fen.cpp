#include "tools/Fen.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "board/Masks.h"
#include "tools/TextFile.h"

namespace {
constexpr int BoardFiles = 8;
constexpr int BoardRanks = 8;
constexpr int TopRank = BoardRanks - 1;
constexpr int FieldSize = 32;             // longer fields are cut; no FEN field is this long
constexpr int MaxHalfMoveClock = 9999;    // keeps the fifty-move counter far from overflow

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void ClearPieceSets(ChessBoard& b) {
  b.WhitePawns = b.WhiteBishops = b.WhiteKnights = b.WhiteRooks = b.WhiteQueens = b.WhiteKing = 0;
  b.BlackPawns = b.BlackBishops = b.BlackKnights = b.BlackRooks = b.BlackQueens = b.BlackKing = 0;
}

// Walks the placement field; squares beyond a rank's end or below rank 1 are dropped.
// Returns the first character after the field.
const char* ParsePlacement(const char* p) {
  int rank = TopRank;
  int file = 0;
  for (; *p != '\0' && !IsBlank(*p); ++p) {
    const char c = *p;
    if (c >= '1' && c <= '8') {
      file += c - '0';
    } else if (c == '/') {
      if (rank >= 0) rank--;
      file = 0;
    } else {
      if (rank >= 0 && file < BoardFiles) AddPiece(c, rank * BoardFiles + file);
      file++;
    }
    if (file > BoardFiles) file = BoardFiles;   // stays "off the board" without growing
  }
  return p;
}

// Copies the next blank-separated field into `field` (cut to FieldSize - 1 characters); returns the
// position after it. An absent field gives an empty text.
const char* NextField(const char* p, char* field) {
  while (IsBlank(*p)) ++p;
  int length = 0;
  for (; *p != '\0' && !IsBlank(*p); ++p) {
    if (length < FieldSize - 1) field[length++] = *p;
  }
  field[length] = '\0';
  return p;
}

char ParseCastling(const char* field) {
  if (field[0] == '-') return 0;
  int rights = 0;
  for (const char* c = field; *c != '\0'; ++c) {
    if (*c == 'K') rights |= WhiteCastleKing;
    else if (*c == 'Q') rights |= WhiteCastleQueen;
    else if (*c == 'k') rights |= BlackCastleKing;
    else if (*c == 'q') rights |= BlackCastleQueen;
  }
  return static_cast<char>(rights);
}

// Drops the rights whose king or rook is not on its home square.
char KeepPlayableRights(const ChessBoard& b, char rights) {
  int kept = rights;
  if (!(b.WhiteKing & Masks::E1) || !(b.WhiteRooks & Masks::H1)) kept &= ~WhiteCastleKing;
  if (!(b.WhiteKing & Masks::E1) || !(b.WhiteRooks & Masks::A1)) kept &= ~WhiteCastleQueen;
  if (!(b.BlackKing & Masks::E8) || !(b.BlackRooks & Masks::H8)) kept &= ~BlackCastleKing;
  if (!(b.BlackKing & Masks::E8) || !(b.BlackRooks & Masks::A8)) kept &= ~BlackCastleQueen;
  return static_cast<char>(kept);
}

// The en-passant square names the square the pawn of the side that just moved passed over. When the
// board agrees (that pawn stands in front of it, the square and the one behind it are empty), the
// two-square advance becomes the board's last move, which is all the generators look at.
void ApplyEnPassant(ChessBoard& b, const char* field) {
  if (std::strlen(field) != 2 || field[0] < 'a' || field[0] > 'h') return;
  const int file = field[0] - 'a';
  const int rank = field[1] - '1';
  const bool whiteJustMoved = b.SideToMove == 1;
  const int passedRank = whiteJustMoved ? 2 : 5;
  if (rank != passedRank) return;
  const int forward = whiteJustMoved ? 1 : -1;   // direction the pawn moved
  const SquareSet passed = Masks::Square(file, rank);
  const SquareSet landed = Masks::Square(file, rank + forward);
  const SquareSet started = Masks::Square(file, rank - forward);
  const SquareSet movedPawns = whiteJustMoved ? b.WhitePawns : b.BlackPawns;
  if (!(movedPawns & landed) || (b.AllPieces & (passed | started))) return;
  b.LastFrom = started;
  b.LastTo = landed;
}

int ParseHalfMoveClock(const char* field) {
  if (field[0] == '\0') return 0;
  int value = 0;
  for (const char* c = field; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return 0;
    value = value * 10 + (*c - '0');
    if (value > MaxHalfMoveClock) value = MaxHalfMoveClock;
  }
  return value;
}

// Appends text to a bounded buffer; the caller guarantees room (FenBufferSize).
void Append(char* buffer, int& length, const char* text) {
  const int n = static_cast<int>(std::strlen(text));
  if (length + n >= FenBufferSize) return;
  std::memcpy(buffer + length, text, static_cast<std::size_t>(n) + 1);
  length += n;
}

void AppendPlacement(const ChessBoard& board, char* buffer, int& length) {
  for (int rank = TopRank; rank >= 0; rank--) {
    int empty = 0;
    for (int file = 0; file < BoardFiles; file++) {
      const SquareSet square = Masks::Square(file, rank);
      if (!(board.AllPieces & square)) { empty++; continue; }
      char run[2] = {static_cast<char>('0' + empty), '\0'};
      if (empty > 0) Append(buffer, length, run);
      empty = 0;
      char piece[2] = {DecodePiece(square, board), '\0'};
      Append(buffer, length, piece);
    }
    char run[2] = {static_cast<char>('0' + empty), '\0'};
    if (empty > 0) Append(buffer, length, run);
    if (rank > 0) Append(buffer, length, "/");
  }
}
}  // namespace

void AddPiece(char letter, int square) {
  if (square < 0 || square >= BoardFiles * BoardRanks) return;
  const SquareSet bit = SquareSet{1} << square;
  ChessBoard& b = MainBoard;
  switch (letter) {
    case 'P': b.WhitePawns |= bit; break;
    case 'N': b.WhiteKnights |= bit; break;
    case 'B': b.WhiteBishops |= bit; break;
    case 'R': b.WhiteRooks |= bit; break;
    case 'Q': b.WhiteQueens |= bit; break;
    case 'K': b.WhiteKing = bit; break;
    case 'p': b.BlackPawns |= bit; break;
    case 'n': b.BlackKnights |= bit; break;
    case 'b': b.BlackBishops |= bit; break;
    case 'r': b.BlackRooks |= bit; break;
    case 'q': b.BlackQueens |= bit; break;
    case 'k': b.BlackKing = bit; break;
    default: break;
  }
}

void SetupBoard(const char* text) {
  if (text == nullptr) text = "";
  ChessBoard& b = MainBoard;
  ClearPieceSets(b);
  const char* p = ParsePlacement(text);
  b.RecountOccupancy();
  b.LastFrom = b.LastTo = 0;
  b.CastleFlags = 0;
  b.FiftyMoveCount = 0;

  char field[FieldSize];
  p = NextField(p, field);
  b.SideToMove = field[0] == 'b' ? 1 : 0;
  p = NextField(p, field);
  b.CastleFlags = KeepPlayableRights(b, ParseCastling(field));
  p = NextField(p, field);
  ApplyEnPassant(b, field);
  NextField(p, field);
  b.FiftyMoveCount = ParseHalfMoveClock(field);
}

namespace {

// The first line of a position file; ends the program when the file has none to give.
void ReadFirstLine(const char* path, char* line, int size) {
  std::FILE* file = OpenTextFile(path);
  if (file == nullptr) std::exit(PositionFileErrorStatus);
  const TextLine read = ReadTextLine(file, line, size);
  const int error = errno;
  std::fclose(file);
  if (read == TextLine::EndOfFile) {
    std::printf("Empty file\n");
    std::exit(0);
  }
  if (read == TextLine::NotText) {
    std::printf("ERROR: %s is not a text file (its first line holds a NUL byte)\n", path);
    std::exit(PositionFileErrorStatus);
  }
  if (read == TextLine::ReadError) {
    std::printf("ERROR: reading file %s: %s\n", path, std::strerror(error));
    std::exit(PositionFileErrorStatus);
  }
}

}  // namespace

void LoadPositionFile(const char* path) {
  static char line[PositionLineSize];   // static: too large for a comfortable stack frame
  ReadFirstLine(path, line, sizeof line);
  SetupBoard(line);
  if (const char* error = MainBoard.SetupError()) {
    std::printf("ERROR: %s: %s\n", path, error);
    std::exit(PositionFileErrorStatus);
  }
  MainBoard.Recount();
}

void CastleRights(char* buffer, char rights) {
  int length = 0;
  if (rights & WhiteCastleKing) buffer[length++] = 'K';
  if (rights & WhiteCastleQueen) buffer[length++] = 'Q';
  if (rights & BlackCastleKing) buffer[length++] = 'k';
  if (rights & BlackCastleQueen) buffer[length++] = 'q';
  if (length == 0) buffer[length++] = '-';
  buffer[length] = '\0';
}

char DecodePiece(unsigned long long mask, ChessBoard board) {
  if (mask & board.WhitePieces) {
    if (mask & board.WhitePawns) return 'P';
    if (mask & board.WhiteKnights) return 'N';
    if (mask & board.WhiteBishops) return 'B';
    if (mask & board.WhiteRooks) return 'R';
    if (mask & board.WhiteQueens) return 'Q';
    if (mask & board.WhiteKing) return 'K';
    return '?';
  }
  if (mask & board.BlackPawns) return 'p';
  if (mask & board.BlackKnights) return 'n';
  if (mask & board.BlackBishops) return 'b';
  if (mask & board.BlackRooks) return 'r';
  if (mask & board.BlackQueens) return 'q';
  if (mask & board.BlackKing) return 'k';
  return '?';
}

void pos2fenString(ChessBoard board, char* buffer) {
  int length = 0;
  buffer[0] = '\0';
  AppendPlacement(board, buffer, length);
  Append(buffer, length, board.SideToMove ? " b " : " w ");
  char rights[CastleRightsSize];
  CastleRights(rights, board.CastleFlags);
  Append(buffer, length, rights);
  Append(buffer, length, " - 0 ; ");
}

void pos2fen(ChessBoard board, int number) {
  char text[FenBufferSize];
  pos2fenString(board, text);
  std::printf("%s%d \n", text, number);
}
