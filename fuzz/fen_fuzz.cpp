// Fuzz target: FEN set-up. Any text must give a sound board; a playable result must survive writing
// and reading back as FEN, move generation over every legal move, the evaluation and a shallow
// search whose move must be legal.
#include <string>

#include "FuzzSupport.h"
#include "eval/PositionEvaluate.h"
#include "protocol/MoveCheck.h"
#include "protocol/UciMoves.h"
#include "search/SearchRoutines.h"
#include "tools/Fen.h"

namespace {

constexpr int SearchDepth = 2;

bool SamePosition(const ChessBoard& a, const ChessBoard& b) {
  return a.WhitePawns == b.WhitePawns && a.WhiteKnights == b.WhiteKnights && a.WhiteBishops == b.WhiteBishops &&
         a.WhiteRooks == b.WhiteRooks && a.WhiteQueens == b.WhiteQueens && a.WhiteKing == b.WhiteKing &&
         a.BlackPawns == b.BlackPawns && a.BlackKnights == b.BlackKnights && a.BlackBishops == b.BlackBishops &&
         a.BlackRooks == b.BlackRooks && a.BlackQueens == b.BlackQueens && a.BlackKing == b.BlackKing &&
         a.SideToMove == b.SideToMove && a.CastleFlags == b.CastleFlags;
}

void CheckRoundTrip(const std::string& input) {
  const ChessBoard first = MainBoard;
  char fen[FenBufferSize];
  pos2fenString(first, fen);
  SetupBoard(fen);
  if (!SamePosition(first, MainBoard)) fuzz::Fail("FEN written and read back differs:", input + " -> " + fen);
  MainBoard = first;
}

// Every legal move leaves a sound board with the mover's king safe.
void CheckLegalMoves(const std::string& input) {
  const ChessBoard root = MainBoard;
  UciMove moves[MaxMovesInList];
  const int count = CollectLegalMoves(root, root.SideToMove, root.CastleFlags, moves);
  for (int i = 0; i < count; i++) {
    ChessBoard after = root;
    char mask = AllCastleRights;
    after.MakeMove(moves[i].From, moves[i].To, moves[i].Promotion, &mask);
    if (const char* fault = robustness::StructuralFaultIgnoringRights(after)) fuzz::Fail(fault, "after a legal move in " + input);
    const SquareSet king = root.SideToMove ? after.BlackKing : after.WhiteKing;
    if (PopCount(king) != 1 || after.InCheck(king, root.SideToMove)) fuzz::Fail("a legal move leaves the king attacked:", input);
  }
  // With the enemy king in check the position cannot arise in a game; the two tests may then differ
  // on whether taking the king counts as a move.
  const char enemy = static_cast<char>(root.SideToMove ^ 1);
  const bool enemyInCheck = root.InCheck(enemy ? root.BlackKing : root.WhiteKing, enemy);
  if (!enemyInCheck && (count > 0) != HasLegalMove(root, root.SideToMove, root.CastleFlags))
    fuzz::Fail("the two legal-move tests disagree:", input);
}

void CheckSearch(const std::string& input) {
  const ChessBoard root = MainBoard;
  ChessBoard scratch = root;
  PE.PosEval(root.SideToMove, -MateScore, MateScore, &scratch, root.CastleFlags);
  SquareSet from = 0, to = 0;
  char promotion = NoPromotion;
  MoveList.Init();
  Search.ClearHistory();
  const int score = Search.SearchExactDepth(root, SearchDepth, &from, &to, &promotion);
  MainBoard = root;
  if (from == 0 || to == 0 || score == -MateScore || score == StalemateScore) return;
  UciMove move{from, to, promotion};
  if (!LegalizeUciMove(root, root.SideToMove, root.CastleFlags, &move)) fuzz::Fail("the search chose an illegal move in", input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > fuzz::MaxInputSize) return 0;
  fuzz::StartEngineOnce();
  fuzz::Output.Clear();
  const std::string input(reinterpret_cast<const char*>(data), size);
  MainBoard.InitRep();
  SetupBoard(input.c_str());
  if (const char* fault = robustness::StructuralFault(MainBoard)) fuzz::Fail(fault, "after SetupBoard(" + input + ")");
  if (MainBoard.HasOneKingEach()) {
    MainBoard.Recount();
    CheckRoundTrip(input);
    CheckLegalMoves(input);
    CheckSearch(input);
  }
  fuzz::Output.Scan(fuzz::MarkerPlace::Anywhere);
  return 0;
}
