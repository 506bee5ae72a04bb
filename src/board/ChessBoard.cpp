// The board record: set-up of the initial position, clearing, recounting, queries and display.
#include <cstdio>
#include "board/ChessBoard.h"
#include "board/BoardDisplay.h"

ChessBoard MainBoard;

namespace {

using namespace Masks;

constexpr int InitialMaxDepth = 56;

// Initial position, one set per piece kind.
constexpr SquareSet InitialWhitePawns = Rank2;
constexpr SquareSet InitialWhiteBishops = C1 | F1;
constexpr SquareSet InitialWhiteKnights = B1 | G1;
constexpr SquareSet InitialWhiteRooks = A1 | H1;
constexpr SquareSet InitialWhiteQueens = D1;
constexpr SquareSet InitialWhiteKing = E1;
constexpr SquareSet InitialBlackPawns = Rank7;
constexpr SquareSet InitialBlackBishops = C8 | F8;
constexpr SquareSet InitialBlackKnights = B8 | G8;
constexpr SquareSet InitialBlackRooks = A8 | H8;
constexpr SquareSet InitialBlackQueens = D8;
constexpr SquareSet InitialBlackKing = E8;

using PieceCount = std::int32_t ChessBoard::*;
constexpr PieceCount PieceCounts[] = {
    &ChessBoard::WhiteQueenCount, &ChessBoard::WhiteRookCount,   &ChessBoard::WhiteBishopCount,
    &ChessBoard::WhiteKnightCount, &ChessBoard::WhitePawnCount,  &ChessBoard::BlackQueenCount,
    &ChessBoard::BlackRookCount,  &ChessBoard::BlackBishopCount, &ChessBoard::BlackKnightCount,
    &ChessBoard::BlackPawnCount};

bool PairwiseDisjoint(const SquareSet (&sets)[12]) {
  SquareSet seen = 0;
  for (SquareSet s : sets) {
    if (seen & s) return false;
    seen |= s;
  }
  return true;
}

}  // namespace

void ChessBoard::InitRep() {
  MaxDepth = InitialMaxDepth;
  WhitePawns = InitialWhitePawns;
  WhiteBishops = InitialWhiteBishops;
  WhiteKnights = InitialWhiteKnights;
  WhiteRooks = InitialWhiteRooks;
  WhiteQueens = InitialWhiteQueens;
  WhiteKing = InitialWhiteKing;
  BlackPawns = InitialBlackPawns;
  BlackBishops = InitialBlackBishops;
  BlackKnights = InitialBlackKnights;
  BlackRooks = InitialBlackRooks;
  BlackQueens = InitialBlackQueens;
  BlackKing = InitialBlackKing;
  WhitePieces = Rank1 | Rank2;
  BlackPieces = Rank7 | Rank8;
  AllPieces = WhitePieces | BlackPieces;
  CastleFlags = AllCastleRights;
  SideToMove = 0;
  LastFrom = 0;
  LastTo = 0;
}

void ChessBoard::ClearField() {
  CastleFlags = 0;
  WhitePawns = WhiteBishops = WhiteKnights = WhiteRooks = WhiteQueens = WhiteKing = 0;
  BlackPawns = BlackBishops = BlackKnights = BlackRooks = BlackQueens = BlackKing = 0;
  WhitePieces = BlackPieces = AllPieces = 0;
  LastFrom = LastTo = 0;
  WhiteMaterialCount = BlackMaterialCount = 0;
  WhiteQueenCount = WhiteRookCount = WhiteBishopCount = WhiteKnightCount = WhitePawnCount = 0;
  BlackQueenCount = BlackRookCount = BlackBishopCount = BlackKnightCount = BlackPawnCount = 0;
}

void ChessBoard::InitPieceCounts() {
  WhiteQueenCount = PopCount(WhiteQueens);
  WhiteRookCount = PopCount(WhiteRooks);
  WhiteBishopCount = PopCount(WhiteBishops);
  WhiteKnightCount = PopCount(WhiteKnights);
  WhitePawnCount = PopCount(WhitePawns);
  BlackQueenCount = PopCount(BlackQueens);
  BlackRookCount = PopCount(BlackRooks);
  BlackBishopCount = PopCount(BlackBishops);
  BlackKnightCount = PopCount(BlackKnights);
  BlackPawnCount = PopCount(BlackPawns);
}

void ChessBoard::DisplayBoard() {
  std::fputs("   A B C D E F G H\n\n", stdout);
  for (int rank = 7; rank >= 0; --rank) {
    std::printf("%d  ", rank + 1);
    for (int file = 0; file < 8; ++file) DisplayPiece(static_cast<unsigned char>(rank * 8 + file));
    std::printf(" %d\n", rank + 1);
  }
  std::fputs("\n   A B C D E F G H\n", stdout);
  int score = 0;
  if (DisplayedEvaluation(*this, &score)) {
    std::printf("\n PosEval from White view %d\n", score);
  }
  std::fflush(stdout);
}

// A square off the board is shown as empty.
void ChessBoard::DisplayPiece(unsigned char square) {
  const SquareSet s = square < 64 ? SquareBit(square) : 0;
  if ((s & AllPieces) == 0) {
    std::fputs("-", stdout);
  } else if (s & WhitePieces) {
    if (s & WhitePawns) std::fputs("P", stdout);
    else if (s & WhiteKnights) std::fputs("N", stdout);
    else if (s & WhiteBishops) std::fputs("B", stdout);
    else if (s & WhiteRooks) std::fputs("R", stdout);
    else if (s & WhiteQueens) std::fputs("Q", stdout);
    else if (s & WhiteKing) std::fputs("K", stdout);
    else std::fputs("Major Error: DisplayPiece unknown White Piece\n", stdout);
  } else if (s & BlackPieces) {
    if (s & BlackPawns) std::fputs("p", stdout);
    else if (s & BlackKnights) std::fputs("n", stdout);
    else if (s & BlackBishops) std::fputs("b", stdout);
    else if (s & BlackRooks) std::fputs("r", stdout);
    else if (s & BlackQueens) std::fputs("q", stdout);
    else if (s & BlackKing) std::fputs("k", stdout);
    else std::fputs("Major Error: DisplayPiece unknown Black Piece\n", stdout);
  } else {
    std::fputs("Major Error: DisplayPiece has unknown Color\n", stdout);
  }
  std::fputs(" ", stdout);
}

unsigned ChessBoard::QuickPieceCount(char) const {
  return static_cast<unsigned>(WhiteQueenCount + WhiteRookCount + WhiteBishopCount + WhiteKnightCount +
                               BlackQueenCount + BlackRookCount + BlackBishopCount + BlackKnightCount);
}

bool ChessBoard::HasOneKingEach() const { return IsSingleSquare(WhiteKing) && IsSingleSquare(BlackKing); }

const char* ChessBoard::SetupError() const {
  if (!HasOneKingEach()) return "the position needs exactly one king for each side";
  const char waiting = SideToMove ? 0 : 1;
  if (InCheck(KingOf(waiting), waiting)) return "the side not to move is in check";
  return nullptr;
}

// The recount of a copy is the reference, so that no count is written twice.
bool ChessBoard::PieceSetsAgree() const {
  const SquareSet sets[12] = {WhitePawns, WhiteKnights, WhiteBishops, WhiteRooks, WhiteQueens, WhiteKing,
                              BlackPawns, BlackKnights, BlackBishops, BlackRooks, BlackQueens, BlackKing};
  if (!PairwiseDisjoint(sets) || !HasOneKingEach()) return false;
  ChessBoard counted = *this;
  counted.RecountOccupancy();
  counted.InitPieceCounts();
  if (WhitePieces != counted.WhitePieces || BlackPieces != counted.BlackPieces || AllPieces != counted.AllPieces)
    return false;
  for (const PieceCount count : PieceCounts)
    if (this->*count != counted.*count) return false;
  return true;
}

bool ChessBoard::IsConsistent() const {
  if (!PieceSetsAgree()) return false;
  ChessBoard counted = *this;
  counted.RecountMaterial();
  return WhiteMaterialCount == counted.WhiteMaterialCount && BlackMaterialCount == counted.BlackMaterialCount;
}
