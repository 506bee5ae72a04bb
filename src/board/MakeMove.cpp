// Making and unmaking moves. MakeMove runs at every node of the search and of perft, so it is
// straight-line code over the record's fields; the colour-dependent parts are written once as
// templates over the side and resolved by the compiler.
#include <cstdint>
#include "board/Checks.h"
#include "board/ChessBoard.h"
#include "board/PawnHashKeys.h"
#include "board/SideFields.h"

namespace {

using namespace Masks;
using SideMasks::KeepAllRights;

// Low half of the lower Zobrist key: the pawn hash code's unit.
inline std::uint32_t PawnKey(int code, SquareSet s) {
  return static_cast<std::uint32_t>(TableAt(TableAt(LPStable, code), SquareIndex(s)));
}

// Counter + 1 without signed overflow, whatever value a loaded position put there.
inline std::int32_t Incremented(std::int32_t n) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(n) + 1u);
}

inline void SaveMoveFields(ChessBoard& b) {
#define NELK_SAVE_FIELD(field, saved) b.saved = static_cast<decltype(b.saved)>(b.field);
  NELK_BOARD_UNDO_FIELDS(NELK_SAVE_FIELD)
#undef NELK_SAVE_FIELD
}

inline void RestoreMoveFields(ChessBoard& b) {
#define NELK_RESTORE_FIELD(field, saved) b.field = static_cast<decltype(b.field)>(b.saved);
  NELK_BOARD_UNDO_FIELDS(NELK_RESTORE_FIELD)
#undef NELK_RESTORE_FIELD
}

// What a move keeps: a board whose counts agree with its piece sets comes out consistent. Boards
// set up without counting (legality tests need none) have nothing to keep. A move that takes a
// king is the one exception: the root search tries such moves where the side not to move stands in
// check and takes them back at once; the record has no way to lose a king, so the king stays on
// its square beside its taker.
#ifdef NELK_CHECKS
inline bool KeptConsistent(const ChessBoard& b, SquareSet to) {
  ChessBoard before = b;
  RestoreMoveFields(before);
  if (!before.PieceSetsAgree()) return true;
  return b.IsConsistent() || (b.WhitePieces & b.BlackPieces) == to;
}
#endif

// Removes the piece of `Side` captured on `to`. Kings are never taken off the board.
template <int Side>
inline void RemoveCaptured(ChessBoard& b, SquareSet to) {
  using S = SideFields<Side>;
  if (b.*S::Pawns & to) {
    b.*S::Pawns ^= to;
    --(b.*S::PawnCount);
    b.CapturedValue = PawnValue;
    b.PawnHashCode ^= PawnKey(S::PawnCode, to);
  } else if (b.*S::Knights & to) {
    b.*S::Knights ^= to;
    --(b.*S::KnightCount);
    b.CapturedValue = KnightValue;
  } else if (b.*S::Bishops & to) {
    b.*S::Bishops ^= to;
    --(b.*S::BishopCount);
    b.CapturedValue = BishopValue;
  } else if (b.*S::Rooks & to) {
    b.*S::Rooks ^= to;
    --(b.*S::RookCount);
    b.CapturedValue = RookValue;
  } else if (b.*S::Queens & to) {
    b.*S::Queens ^= to;
    --(b.*S::QueenCount);
    b.CapturedValue = QueenValue;
  }
  b.*S::Pieces &= ~to;
  b.FiftyMoveCount = 0;
}

// En passant is read from the position before this move (the Save fields): the opponent's last
// move was a double step that ended beside our pawn, and we move diagonally behind it.
template <int Side>
inline void CaptureEnPassant(ChessBoard& b, SquareSet from, SquareSet to) {
  using S = SideFields<Side>;
  using Them = SideFields<Side ^ 1>;
  if ((from & S::PassingRank) == 0 || (b.SaveLastFrom & S::DoubleStepFrom) == 0) return;
  if ((b.SaveLastTo & S::PassingRank) == 0 || (b.SaveLastTo & b.*Them::SavePawns) == 0) return;
  if (to & b.*Them::SavePieces) return;
  const bool passedWest = (from & FileA) == 0 && (b.SaveLastTo << 1) == from && to == S::Forward(from, S::WestCaptureShift);
  const bool passedEast = (from & FileH) == 0 && (b.SaveLastTo >> 1) == from && to == S::Forward(from, S::EastCaptureShift);
  if (!passedWest && !passedEast) return;
  const SquareSet passed = S::Backward(to, 8);
  b.*Them::Pawns &= ~passed;
  b.*Them::Pieces &= ~passed;
  b.PawnHashCode ^= PawnKey(Them::PawnCode, passed);
  --(b.*Them::PawnCount);
}

// A pawn arriving on the last rank becomes the named piece. Without a valid promotion character
// it stays a pawn, and then it also keeps its key in the pawn hash code.
template <int Side>
inline void PromoteArrivingPawn(ChessBoard& b, SquareSet to, char promotion) {
  using S = SideFields<Side>;
  char code;
  SideCount count;
  switch (promotion) {
    case 'Q': case 'q': code = S::QueenPromotion; count = S::QueenCount; break;
    case 'R': case 'r': code = S::RookPromotion; count = S::RookCount; break;
    case 'B': case 'b': code = S::BishopPromotion; count = S::BishopCount; break;
    case 'N': case 'n': code = S::KnightPromotion; count = S::KnightCount; break;
    default: return;
  }
  b.PawnHashCode ^= PawnKey(S::PawnCode, to);
  b.Promote(static_cast<char>(Side), to, code);
  ++(b.*count);
  --(b.*S::PawnCount);
}

template <int Side>
inline void MovePawn(ChessBoard& b, SquareSet from, SquareSet to, char promotion) {
  using S = SideFields<Side>;
  CaptureEnPassant<Side>(b, from, to);
  b.*S::Pawns = (b.*S::Pawns ^ from) | to;
  b.PawnHashCode ^= PawnKey(S::PawnCode, from) ^ PawnKey(S::PawnCode, to);
  b.FiftyMoveCount = 0;
  if (to & S::LastRank) PromoteArrivingPawn<Side>(b, to, promotion);
}

// The king's keys enter the pawn hash code too: the pawn table's entries depend on the king squares.
// Castling moves the rook only when it is there, so that a bare king step e1-g1 cannot create one.
template <int Side>
inline void MoveKing(ChessBoard& b, SquareSet from, SquareSet to, char* castleMask) {
  using S = SideFields<Side>;
  b.*S::King = (b.*S::King ^ from) | to;
  b.PawnHashCode ^= PawnKey(S::KingCode, from) ^ PawnKey(S::KingCode, to);
  *castleMask = S::KingMoved;
  if (from != S::KingHome) return;
  if (to == S::KingSideCastle && (b.*S::Rooks & S::KingSideRook))
    b.*S::Rooks = (b.*S::Rooks ^ S::KingSideRook) | S::KingSideRookTo;
  else if (to == S::QueenSideCastle && (b.*S::Rooks & S::QueenSideRook))
    b.*S::Rooks = (b.*S::Rooks ^ S::QueenSideRook) | S::QueenSideRookTo;
}

template <int Side>
inline void MovePiece(ChessBoard& b, SquareSet from, SquareSet to, char promotion, char* castleMask) {
  using S = SideFields<Side>;
  b.*S::Pieces = (b.*S::Pieces ^ from) | to;
  if (b.*S::Pawns & from) {
    MovePawn<Side>(b, from, to, promotion);
  } else if (b.*S::Knights & from) {
    b.*S::Knights = (b.*S::Knights ^ from) | to;
  } else if (b.*S::Bishops & from) {
    b.*S::Bishops = (b.*S::Bishops ^ from) | to;
  } else if (b.*S::Rooks & from) {
    b.*S::Rooks = (b.*S::Rooks ^ from) | to;
    if (from == S::KingSideRook) *castleMask = S::KingSideRookMoved;
    else if (from == S::QueenSideRook) *castleMask = S::QueenSideRookMoved;
  } else if (b.*S::Queens & from) {
    b.*S::Queens = (b.*S::Queens ^ from) | to;
  } else if (b.*S::King & from) {
    MoveKing<Side>(b, from, to, castleMask);
  }
}

}  // namespace

// Plays the move without any legality test; the side to move and CastleFlags stay for the
// caller, which ANDs *castleMask into its castling rights.
void ChessBoard::MakeMove(SquareSet from, SquareSet to, char promotion, char* castleMask) {
  SaveMoveFields(*this);
  LastFrom = from;
  LastTo = to;
  *castleMask = KeepAllRights;
  FiftyMoveCount = Incremented(FiftyMoveCount);
  CapturedValue = 0;
  if (to & WhitePieces) RemoveCaptured<0>(*this, to);
  if (to & BlackPieces) RemoveCaptured<1>(*this, to);
  if (from & WhitePieces) MovePiece<0>(*this, from, to, promotion, castleMask);
  if (from & BlackPieces) MovePiece<1>(*this, from, to, promotion, castleMask);
  RecountMaterial();
  RecountOccupancy();
  NELK_CHECK(KeptConsistent(*this, to));
}

// The material counts come back as the caller left them: MakeMove recomputes them without reading
// them, so a board set up without them keeps them unset. The rest of the record comes back as
// sound as it went into the move.
void ChessBoard::UndoMove(int) {
#ifdef NELK_CHECKS
  const bool counted = PieceSetsAgree();
#endif
  RestoreMoveFields(*this);
  NELK_CHECK(!counted || PieceSetsAgree());
}

// Beside the move maker, which already reads the pawn keys (board/PawnHashKeys.h).
void ChessBoard::Recount() {
  InitPieceCounts();
  RecountMaterial();
  RecountOccupancy();
  genpawnhashcode(SideToMove, *this, &PawnHashCode);
}

// The piece code alone chooses the new piece's set; counts and occupancy are the caller's.
void ChessBoard::Promote(char side, SquareSet s, char pieceCode) {
  if (side) BlackPawns &= ~s;
  else WhitePawns &= ~s;
  switch (pieceCode) {
    case WhiteKnightCode: WhiteKnights ^= s; break;
    case WhiteBishopCode: WhiteBishops ^= s; break;
    case WhiteRookCode: WhiteRooks ^= s; break;
    case WhiteQueenCode: WhiteQueens ^= s; break;
    case BlackKnightCode: BlackKnights ^= s; break;
    case BlackBishopCode: BlackBishops ^= s; break;
    case BlackRookCode: BlackRooks ^= s; break;
    case BlackQueenCode: BlackQueens ^= s; break;
    default: break;
  }
}

void ChessBoard::DropPawn(char side, SquareSet s) {
  if (side) {
    BlackPawns ^= s;
    BlackPieces ^= s;
  } else {
    WhitePawns ^= s;
    WhitePieces ^= s;
  }
  AllPieces ^= s;
}

bool ChessBoard::PawnOn7th(char side) const {
  return side ? (BlackPawns & Rank2) != 0 : (WhitePawns & Rank7) != 0;
}
