#pragma once
// The two colours of the evaluation as types. EvalSide<0> is White, EvalSide<1> Black; each adds
// to the board's SideFields what the evaluation needs of that side: its fields of the evaluator
// (attack maps, king square, pawn records) as member pointers and its own square tables. A term is
// written once as a template over the side: it works out the side's value in the side's own view
// (larger is better for it), and either adds Sign times that value to a White's-view sum or hands
// it back for the caller to take White's value minus Black's.
#include <cstdint>
#include "board/SideFields.h"
#include "eval/EvalSquares.h"
#include "eval/EvalTables.h"
#include "eval/PositionEvaluate.h"

using EvalSet = SquareSet PositionEvaluate::*;
using EvalScore = std::int32_t PositionEvaluate::*;
using EvalCount = std::uint8_t PositionEvaluate::*;
using EvalPieceCount = std::int8_t PositionEvaluate::*;
using EvalPasserRanks = std::uint8_t (PositionEvaluate::*)[10];
using EvalSquareMasks = SquareSet (PositionEvaluate::*)[64];

template <int Side>
struct EvalSide;

template <>
struct EvalSide<0> : SideFields<0> {
  static constexpr int Sign = 1;   // turns the side's own view into White's
  static constexpr EvalSet PawnAttacks = &PositionEvaluate::WhitePawnAttacks;
  static constexpr EvalSet KnightAttacks = &PositionEvaluate::WhiteKnightAttacks;
  static constexpr EvalSet BishopAttacks = &PositionEvaluate::WhiteBishopAttacks;
  static constexpr EvalSet RookAttacks = &PositionEvaluate::WhiteRookAttacks;
  static constexpr EvalSet QueenAttacks = &PositionEvaluate::WhiteQueenAttacks;
  static constexpr EvalSet KingAttacks = &PositionEvaluate::WhiteKingAttacks;
  static constexpr EvalSet Attacks = &PositionEvaluate::WhiteAttacks;   // union of the side's maps
  static constexpr EvalScore KingSquare = &PositionEvaluate::WhiteKingSquare;
  static constexpr EvalSet KingFile = &PositionEvaluate::WhiteKingFile;
  static constexpr EvalPieceCount PieceCount = &PositionEvaluate::WhitePieceCount;
  static constexpr EvalScore ShieldHoles = &PositionEvaluate::WhiteShieldHoles;
  static constexpr EvalSquareMasks FrontSpan = &PositionEvaluate::WhiteFrontSpan;
  // pawn records
  static constexpr EvalSet NoOwnPawnFiles = &PositionEvaluate::NoWhitePawnFiles;
  static constexpr EvalScore PawnScore = &PositionEvaluate::WhitePawnScore;
  static constexpr EvalScore PasserScore = &PositionEvaluate::WhitePasserScore;
  static constexpr EvalScore DoubledPawns = &PositionEvaluate::WhiteDoubledPawns;
  static constexpr EvalSet DoubledFiles = &PositionEvaluate::WhiteDoubledFiles;
  static constexpr EvalPasserRanks PasserRanks = &PositionEvaluate::WhitePasserRanks;
  static constexpr EvalCount PasserCount = &PositionEvaluate::WhitePasserCount;
  static constexpr std::uint8_t PasserFlag = 1, ConnectedPasserFlag = 2;   // bits of PasserFlags
  static constexpr int CanMateFlag = 1;   // DrawFlag bit the draw test sets while the side can mate
  // Square tables, indexed by square.
  static constexpr const EvalTables::SquareTable& PawnTable = EvalTables::WPawnSquare;
  static constexpr const EvalTables::SquareTable& KnightTable = EvalTables::WKnightSquare;
  static constexpr const EvalTables::SquareTable& KnightPostTable = EvalTables::WKnightPost;
  static constexpr const EvalTables::SquareTable& BishopTable = EvalTables::WBishopSquare;
  static constexpr const EvalTables::SquareTable& KingTable = EvalTables::WKingSquare;
  // The squares our pawns on `pawns` attack.
  static SquareSet PawnAttackSet(SquareSet pawns) { return WhitePawnAttackSet(pawns); }
  // Squares named from White's side (a pattern of the tables), turned to this side's: the vertical
  // mirror image for Black.
  static constexpr SquareSet Relative(SquareSet whiteSide) { return whiteSide; }
  // A rank index (0..7) counted from this side's first rank.
  static constexpr int RelativeRank(int rank) { return rank; }
  static constexpr int PromotionSquare(int file) { return 56 + file; }
  // The square of the set nearest this side's first rank.
  static int Rearmost(SquareSet set) { return __builtin_ctzll(set); }
  static int KingIndex(SquareSet king) { return WhiteKingIndex(king); }
};

template <>
struct EvalSide<1> : SideFields<1> {
  static constexpr int Sign = -1;
  static constexpr EvalSet PawnAttacks = &PositionEvaluate::BlackPawnAttacks;
  static constexpr EvalSet KnightAttacks = &PositionEvaluate::BlackKnightAttacks;
  static constexpr EvalSet BishopAttacks = &PositionEvaluate::BlackBishopAttacks;
  static constexpr EvalSet RookAttacks = &PositionEvaluate::BlackRookAttacks;
  static constexpr EvalSet QueenAttacks = &PositionEvaluate::BlackQueenAttacks;
  static constexpr EvalSet KingAttacks = &PositionEvaluate::BlackKingAttacks;
  static constexpr EvalSet Attacks = &PositionEvaluate::BlackAttacks;
  static constexpr EvalScore KingSquare = &PositionEvaluate::BlackKingSquare;
  static constexpr EvalSet KingFile = &PositionEvaluate::BlackKingFile;
  static constexpr EvalPieceCount PieceCount = &PositionEvaluate::BlackPieceCount;
  static constexpr EvalScore ShieldHoles = &PositionEvaluate::BlackShieldHoles;
  static constexpr EvalSquareMasks FrontSpan = &PositionEvaluate::BlackFrontSpan;
  static constexpr EvalSet NoOwnPawnFiles = &PositionEvaluate::NoBlackPawnFiles;
  static constexpr EvalScore PawnScore = &PositionEvaluate::BlackPawnScore;
  static constexpr EvalScore PasserScore = &PositionEvaluate::BlackPasserScore;
  static constexpr EvalScore DoubledPawns = &PositionEvaluate::BlackDoubledPawns;
  static constexpr EvalSet DoubledFiles = &PositionEvaluate::BlackDoubledFiles;
  static constexpr EvalPasserRanks PasserRanks = &PositionEvaluate::BlackPasserRanks;
  static constexpr EvalCount PasserCount = &PositionEvaluate::BlackPasserCount;
  static constexpr std::uint8_t PasserFlag = 16, ConnectedPasserFlag = 32;
  static constexpr int CanMateFlag = 32;
  static constexpr const EvalTables::SquareTable& PawnTable = EvalTables::BPawnSquare;
  static constexpr const EvalTables::SquareTable& KnightTable = EvalTables::BKnightSquare;
  static constexpr const EvalTables::SquareTable& KnightPostTable = EvalTables::BKnightPost;
  static constexpr const EvalTables::SquareTable& BishopTable = EvalTables::BBishopSquare;
  static constexpr const EvalTables::SquareTable& KingTable = EvalTables::BKingSquare;
  static SquareSet PawnAttackSet(SquareSet pawns) { return BlackPawnAttackSet(pawns); }
  static constexpr SquareSet Relative(SquareSet whiteSide) { return __builtin_bswap64(whiteSide); }
  static constexpr int RelativeRank(int rank) { return 7 - rank; }
  static constexpr int PromotionSquare(int file) { return file; }
  static int Rearmost(SquareSet set) { return 63 - __builtin_clzll(set); }
  static int KingIndex(SquareSet king) { return BlackKingIndex(king); }
};
