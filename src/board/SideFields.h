#pragma once
// The two colours as types: SideFields<0> is White, SideFields<1> Black. Code that treats both
// colours alike is written once as a template over the side and reaches the side's fields of the
// board record through these member pointers; the compiler resolves them, so the template costs
// nothing against hand-written White and Black copies.
#include <cstdint>
#include "board/ChessBoard.h"
#include "board/Masks.h"
#include "board/Types.h"

namespace SideMasks {
// Castling masks: the rights that survive a move of the piece.
constexpr char KeepAllRights = AllCastleRights;
constexpr char WhiteKingMoved = 12, WhiteRookH1Moved = 14, WhiteRookA1Moved = 13;
constexpr char BlackKingMoved = 3, BlackRookH8Moved = 11, BlackRookA8Moved = 7;
}  // namespace SideMasks

using SideCount = std::int32_t ChessBoard::*;
using SideSet = SquareSet ChessBoard::*;

template <int Side>
struct SideFields;

template <>
struct SideFields<0> {
  static constexpr SideSet Pieces = &ChessBoard::WhitePieces;
  static constexpr SideSet Pawns = &ChessBoard::WhitePawns;
  static constexpr SideSet Knights = &ChessBoard::WhiteKnights;
  static constexpr SideSet Bishops = &ChessBoard::WhiteBishops;
  static constexpr SideSet Rooks = &ChessBoard::WhiteRooks;
  static constexpr SideSet Queens = &ChessBoard::WhiteQueens;
  static constexpr SideSet King = &ChessBoard::WhiteKing;
  static constexpr SideSet SavePieces = &ChessBoard::SaveWhitePieces;
  static constexpr SideSet SavePawns = &ChessBoard::SaveWhitePawns;
  static constexpr SideSet SaveKnights = &ChessBoard::SaveWhiteKnights;
  static constexpr SideSet SaveBishops = &ChessBoard::SaveWhiteBishops;
  static constexpr SideSet SaveRooks = &ChessBoard::SaveWhiteRooks;
  static constexpr SideSet SaveQueens = &ChessBoard::SaveWhiteQueens;
  static constexpr SideSet SaveKing = &ChessBoard::SaveWhiteKing;
  static constexpr SideCount PawnCount = &ChessBoard::WhitePawnCount;
  static constexpr SideCount KnightCount = &ChessBoard::WhiteKnightCount;
  static constexpr SideCount BishopCount = &ChessBoard::WhiteBishopCount;
  static constexpr SideCount RookCount = &ChessBoard::WhiteRookCount;
  static constexpr SideCount QueenCount = &ChessBoard::WhiteQueenCount;
  static constexpr int PawnCode = WhitePawnCode, KnightCode = WhiteKnightCode, BishopCode = WhiteBishopCode;
  static constexpr int RookCode = WhiteRookCode, QueenCode = WhiteQueenCode, KingCode = WhiteKingCode;
  static constexpr char KnightPromotion = WhiteKnightCode, BishopPromotion = WhiteBishopCode;
  static constexpr char RookPromotion = WhiteRookCode, QueenPromotion = WhiteQueenCode;
  static constexpr SquareSet KingHome = Masks::E1, KingSideRook = Masks::H1, QueenSideRook = Masks::A1;
  static constexpr SquareSet KingSideCastle = Masks::G1, QueenSideCastle = Masks::C1;
  static constexpr SquareSet KingSideRookTo = Masks::F1, QueenSideRookTo = Masks::D1;
  static constexpr char KingMoved = SideMasks::WhiteKingMoved, KingSideRookMoved = SideMasks::WhiteRookH1Moved;
  static constexpr char QueenSideRookMoved = SideMasks::WhiteRookA1Moved;
  static constexpr SquareSet LastRank = Masks::Rank8;
  // En passant: our pawn stands on this rank after the opponent's double step from DoubleStepFrom.
  static constexpr SquareSet PassingRank = Masks::Rank5, DoubleStepFrom = Masks::Rank7;
  static constexpr int WestCaptureShift = 7, EastCaptureShift = 9;  // towards the opponent
  static SquareSet Forward(SquareSet s, int n) { return s << n; }
  static SquareSet Backward(SquareSet s, int n) { return s >> n; }
};

template <>
struct SideFields<1> {
  static constexpr SideSet Pieces = &ChessBoard::BlackPieces;
  static constexpr SideSet Pawns = &ChessBoard::BlackPawns;
  static constexpr SideSet Knights = &ChessBoard::BlackKnights;
  static constexpr SideSet Bishops = &ChessBoard::BlackBishops;
  static constexpr SideSet Rooks = &ChessBoard::BlackRooks;
  static constexpr SideSet Queens = &ChessBoard::BlackQueens;
  static constexpr SideSet King = &ChessBoard::BlackKing;
  static constexpr SideSet SavePieces = &ChessBoard::SaveBlackPieces;
  static constexpr SideSet SavePawns = &ChessBoard::SaveBlackPawns;
  static constexpr SideSet SaveKnights = &ChessBoard::SaveBlackKnights;
  static constexpr SideSet SaveBishops = &ChessBoard::SaveBlackBishops;
  static constexpr SideSet SaveRooks = &ChessBoard::SaveBlackRooks;
  static constexpr SideSet SaveQueens = &ChessBoard::SaveBlackQueens;
  static constexpr SideSet SaveKing = &ChessBoard::SaveBlackKing;
  static constexpr SideCount PawnCount = &ChessBoard::BlackPawnCount;
  static constexpr SideCount KnightCount = &ChessBoard::BlackKnightCount;
  static constexpr SideCount BishopCount = &ChessBoard::BlackBishopCount;
  static constexpr SideCount RookCount = &ChessBoard::BlackRookCount;
  static constexpr SideCount QueenCount = &ChessBoard::BlackQueenCount;
  static constexpr int PawnCode = BlackPawnCode, KnightCode = BlackKnightCode, BishopCode = BlackBishopCode;
  static constexpr int RookCode = BlackRookCode, QueenCode = BlackQueenCode, KingCode = BlackKingCode;
  static constexpr char KnightPromotion = BlackKnightCode, BishopPromotion = BlackBishopCode;
  static constexpr char RookPromotion = BlackRookCode, QueenPromotion = BlackQueenCode;
  static constexpr SquareSet KingHome = Masks::E8, KingSideRook = Masks::H8, QueenSideRook = Masks::A8;
  static constexpr SquareSet KingSideCastle = Masks::G8, QueenSideCastle = Masks::C8;
  static constexpr SquareSet KingSideRookTo = Masks::F8, QueenSideRookTo = Masks::D8;
  static constexpr char KingMoved = SideMasks::BlackKingMoved, KingSideRookMoved = SideMasks::BlackRookH8Moved;
  static constexpr char QueenSideRookMoved = SideMasks::BlackRookA8Moved;
  static constexpr SquareSet LastRank = Masks::Rank1;
  static constexpr SquareSet PassingRank = Masks::Rank4, DoubleStepFrom = Masks::Rank2;
  static constexpr int WestCaptureShift = 9, EastCaptureShift = 7;
  static SquareSet Forward(SquareSet s, int n) { return s >> n; }
  static SquareSet Backward(SquareSet s, int n) { return s << n; }
};
