// Draw rules: insufficient material, the fifty-move rule and the rook pawn with the wrong bishop.
// Repetitions are found by the move history, not here.
#include <cstdlib>
#include "board/ChessBoard.h"

namespace {

using namespace Masks;

constexpr int FiftyMoveLimit = 99;       // the draw comes when the counter exceeds this
constexpr char MaterialFlagStart = '!';  // 33: nonzero unless both sides lack mating material
constexpr char InsufficientBit = ' ';    // 32
constexpr int MatingCornerDistance = 2;  // a corner king this far from the other can still be mated

// 2 x 2 corners in front of a rook pawn, where the defending king stops it.
constexpr SquareSet CornerG8H7 = Square(6, 7) | Square(7, 7) | Square(6, 6) | Square(7, 6);
constexpr SquareSet CornerA8B7 = Square(0, 7) | Square(1, 7) | Square(0, 6) | Square(1, 6);
constexpr SquareSet CornerG1H2 = Square(6, 0) | Square(7, 0) | Square(6, 1) | Square(7, 1);
constexpr SquareSet CornerA1B2 = Square(0, 0) | Square(1, 0) | Square(0, 1) | Square(1, 1);

// No pawns, queens or rooks, and either only up to two knights or one lone bishop.
bool CannotMate(int queens, int rooks, int bishops, int knights, int pawns) {
  if (pawns != 0 || queens != 0 || rooks != 0) return false;
  return (bishops == 0 && knights <= 2) || (bishops == 1 && knights == 0);
}

int KingDistance(SquareSet a, SquareSet b) {
  const int x = SquareIndex(a), y = SquareIndex(b);
  const int files = std::abs((x & 7) - (y & 7));
  const int ranks = std::abs((x >> 3) - (y >> 3));
  return files > ranks ? files : ranks;
}

bool OnlyPawnAndBishop(int queens, int rooks, int bishops, int knights, int pawns) {
  return pawns == 1 && bishops == 1 && queens == 0 && rooks == 0 && knights == 0;
}

// The bishop cannot cover the rook pawn's promotion square and the defending king sits in front.
bool WrongBishopFortress(SquareSet pawn, SquareSet bishop, SquareSet defendingKing, SquareSet hFileBishopColour,
                         SquareSet hFileCorner, SquareSet aFileCorner) {
  const SquareSet aFileBishopColour = ~hFileBishopColour;
  if (pawn & FileH) return (bishop & hFileBishopColour) && (defendingKing & hFileCorner);
  if (pawn & FileA) return (bishop & aFileBishopColour) && (defendingKing & aFileCorner);
  return false;
}

}  // namespace

int ChessBoard::CheckDraw(char) {
  DrawFlag = MaterialFlagStart;
  // Bit 1 stays while White can mate, bit 32 while Black can: the evaluation reads them apart.
  if (CannotMate(WhiteQueenCount, WhiteRookCount, WhiteBishopCount, WhiteKnightCount, WhitePawnCount))
    DrawFlag = InsufficientBit;
  if (CannotMate(BlackQueenCount, BlackRookCount, BlackBishopCount, BlackKnightCount, BlackPawnCount))
    DrawFlag ^= InsufficientBit;
  if (DrawFlag == 0) {
    if (((WhiteKing | BlackKing) & Corners) == 0) return ResultMaterialDraw;
    if (KingDistance(WhiteKing, BlackKing) != MatingCornerDistance) return ResultMaterialDraw;
  }
  if (FiftyMoveCount > FiftyMoveLimit) return ResultFiftyMoveDraw;
  if (BlackMaterialCount == 0 &&
      OnlyPawnAndBishop(WhiteQueenCount, WhiteRookCount, WhiteBishopCount, WhiteKnightCount, WhitePawnCount) &&
      WrongBishopFortress(WhitePawns, WhiteBishops, BlackKing, LightSquares, CornerG8H7, CornerA8B7))
    return ResultMaterialDraw;
  if (WhiteMaterialCount == 0 &&
      OnlyPawnAndBishop(BlackQueenCount, BlackRookCount, BlackBishopCount, BlackKnightCount, BlackPawnCount) &&
      WrongBishopFortress(BlackPawns, BlackBishops, WhiteKing, DarkSquares, CornerG1H2, CornerA1B2))
    return ResultMaterialDraw;
  return 0;
}

bool ChessBoard::FiftyMovesCompleted() const { return FiftyMoveCount > FiftyMoveLimit; }

// Called before the move is played. Squares outside the board are ignored (no change, false).
bool ChessBoard::Test50MoveRule(char from, char to) {
  auto onBoard = [](int square) { return square >= 0 && square < 64; };
  if (!onBoard(from) || !onBoard(to)) return false;
  const SquareSet fromSquare = SquareBit(from), toSquare = SquareBit(to);
  if (((WhitePawns | BlackPawns) & fromSquare) || (AllPieces & toSquare)) {
    FiftyMoveCount = 0;
    return false;
  }
  FiftyMoveCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(FiftyMoveCount) + 1u);
  return FiftyMoveCount > FiftyMoveLimit;
}
