// The root search: one iteration over the root moves with a principal-variation scheme, the root's
// variation in row 0, progress lines, and the exits taken when the search is interrupted.
#include "search/SearchRoutines.h"

#include <cstdio>
#include "engine/MatchLog.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "hash/Zobrist.h"
#include "protocol/UCIProtocol.h"
#include "search/SearchReport.h"
#include "tools/OpeningBook.h"

namespace {

using namespace SearchScore;
using namespace SearchMargins;

constexpr char PVNode = 1;
constexpr char AllNode = 3;
constexpr char RootChildFlags = 4;
constexpr int RootPVMoveValue = 30000;
constexpr int EarlyExit = 1;   // stopped after a null-window or reduced look at a later move
constexpr int LateExit = 2;    // stopped during the move's last search

// A move chosen at the root. The empty code (a1 to a1) left by a reset names no move.
struct RootChoice {
  SquareSet From = 0;
  SquareSet To = 0;
  char Promotion = NoPromotion;
  bool Valid() const { return From != 0 && To != 0 && From != To; }
  int FromIndex() const { return From ? SquareIndex(From) : 0; }
  int ToIndex() const { return To ? SquareIndex(To) : 0; }
};

// One legal root move, made on the root board.
struct RootMove {
  RootChoice Move;
  char ChildCastle = 0;
  std::uint64_t Upper = 0, Lower = 0;   // hash code of the position after the move
  int GivesCheck = 0;
  bool Capture = false;
  bool Reducible = false;               // may get a shallower null-window look first
};

// What one root iteration carries between its steps.
struct RootState {
  char Side = 0;
  int Alpha = 0, Beta = 0, Depth = 0;
  int Best = NoScore;
  int Legal = 0;
  int V = NoScore;     // score of the move searched last
  int Count = 0;
  int MoveIndex = 0;
  bool ObeyStop = true;
  RootChoice Chosen;
};

RootChoice ChoiceFromEntry(const PVEntry& entry) {
  RootChoice c;
  c.From = SquareBit(entry.Move >> 6);
  c.To = SquareBit(entry.Move & 63);
  c.Promotion = entry.Promotion;
  return c;
}

void WriteChoice(const RootChoice& c, std::uint64_t* from, std::uint64_t* to, char* promotion) {
  if (!c.Valid()) return;
  *from = c.From;
  *to = c.To;
  *promotion = c.Promotion;
}

SquareSet KingOf(const ChessBoard& b, int side) { return side ? b.BlackKing : b.WhiteKing; }
SquareSet PiecesOf(const ChessBoard& b, int side) { return side ? b.BlackPieces : b.WhitePieces; }

void ChoiceText(char* text, const RootChoice& c, int score) {
  Search.BuildPVText(text, score, c.From, c.To, c.Promotion);
}

// The early and late exits: report and return the score of the move being searched.
int InterruptedExit(int exit, const RootState& r, std::uint64_t* from, std::uint64_t* to, char* promotion) {
  LogPrintf("Tree Search #%d Interrupted at m=%d LegalMoves=%d NumMove=%d\n", exit, r.MoveIndex, r.Legal, r.Count);
  WriteChoice(r.Chosen, from, to, promotion);
  LogPrintf("Tree Root Search Choice #%d From=%d  To=%d  Promo=%d\n", exit, r.Chosen.FromIndex(), r.Chosen.ToIndex(),
            static_cast<int>(r.Chosen.Promotion));
  char text[MoveLineSize];
  ChoiceText(text, r.Chosen, r.V);
  WriteLogFile(text);
  const Status& s = MainStatus;
  if (s.xboard && s.Post) ReportThinking(r.Depth, r.V, s.ElapsedTime, Search.TotalNodes(), text);
  if (s.UCIMode && (exit == LateExit || r.Depth > SearchTime::IterationLogDepth)) {
    ReportUciLine(r.Depth, r.V, true, s.ElapsedTime, Search.TotalNodes(), text);
    if (exit == EarlyExit) ReportUciCurrMoveNumber(r.Legal);
  }
  return r.V;
}

// In UCI mode, which move the root is on, once a search has run for a while.
void ReportCurrentMove(const RootState& r, const RootChoice& m) {
  const Status& s = MainStatus;
  if (!s.UCIMode) return;
  if (UCI.ShowCurrLine == 1 && r.Depth > SearchTime::CurrMoveMinDepth &&
      Search.TotalNodes() > static_cast<std::int64_t>(SearchTime::CurrMoveSeconds) * s.NodesPerSecond)
    ReportUciCurrMove(m.FromIndex(), m.ToIndex(), r.Legal);
  std::fflush(stdout);
}

// Searches one legal root move into r.V. The first move gets the full window; a later one a null
// window first (after a shallower look when reducible) and the full window only when it might
// raise alpha. Returns EarlyExit when the search was stopped before the move's last search.
int SearchRootMove(SearchRoutines& s, RootState& r, const ChessBoard& board, const RootMove& m) {
  const char opponent = static_cast<char>(r.Side ^ 1);
  const int fullDepth = r.Depth - 1 + m.GivesCheck;
  auto search = [&](int childAlpha, int childBeta, int childDepth, char childType, char inCheck) {
    s.PrincipalVariation[1][0].Move = 1;   // the child's variation starts empty
    return -s.Search(opponent, childAlpha, childBeta, board, childDepth, 1, 1, m.ChildCastle, inCheck, m.Upper,
                     m.Lower, childType, RootChildFlags, board.CurrentDepth, 1);
  };
  auto stopped = [&] { return s.StopSearch && r.ObeyStop; };
  if (r.Depth + m.GivesCheck == 1) {
    s.PrincipalVariation[1][0].Move = 1;
    r.V = -s.Quiesce(opponent, -r.Beta, -r.Alpha, board, 0, 0, 1);
    return r.Legal > 1 && stopped() ? EarlyExit : 0;
  }
  if (r.Legal == 1) {
    r.V = search(-r.Beta, -r.Alpha, fullDepth, PVNode, static_cast<char>(m.GivesCheck));
    return 0;
  }
  if (m.Reducible) {
    r.V = search(-r.Alpha - 1, -r.Alpha, r.Depth - RootReducedDepth, AllNode, 0);
    if (stopped()) return EarlyExit;
    if (r.V <= r.Alpha) return 0;
  }
  r.V = search(-r.Alpha - 1, -r.Alpha, fullDepth, AllNode, static_cast<char>(m.GivesCheck));
  if (stopped()) return EarlyExit;
  if (r.V >= r.Beta || r.V <= r.Alpha) return 0;
  r.V = search(-r.Beta, -r.Alpha, fullDepth, PVNode, static_cast<char>(m.GivesCheck));
  return 0;
}

// A move that scored better than every earlier one becomes the choice; above alpha it also
// becomes the root variation and is reported.
void AcceptBetterMove(SearchRoutines& s, RootState& r, const RootMove& m) {
  const Status& st = MainStatus;
  s.SecondBestScore = r.Best;
  r.Chosen = m.Move;
  if (r.Depth > FailLowMinDepth && (st.MovesPerSession == 0 || st.MovesPerSession > 2) &&
      r.V + FailLowMargin < s.PreviousScore && st.TimeLeft / 4 >= st.TimeInc * 1000)
    s.FailingLow = 1;
  r.Best = r.V;
  if (r.V <= r.Alpha) return;
  if (s.BestMoveChanges < 127) s.BestMoveChanges++;
  PVEntry* root = s.PrincipalVariation[0];
  root[0].Move = static_cast<std::uint16_t>(m.Move.FromIndex() * 64 + m.Move.ToIndex());
  root[0].Promotion = m.Move.Promotion;
  s.PVLength = s.PrincipalVariation[1][0].Move;
  if (s.PVLength > SearchLimits::PVColumns) s.PVLength = SearchLimits::PVColumns;
  for (int j = 1; j < s.PVLength; j++) root[j] = s.PrincipalVariation[1][j];
  char text[MoveLineSize];
  ChoiceText(text, r.Chosen, r.V);
  if (r.Depth > SearchTime::IterationLogDepth)
    LogPrintf("ply %d  v %d  TimeLastPly %d  TotalNodes %lld  %s", r.Depth, r.V, st.ElapsedTime,
              static_cast<long long>(s.TotalNodes()), text);
  if (st.Post && s.IterationDepth > SearchTime::IterationLogDepth && st.xboard)
    ReportThinking(r.Depth, r.V, st.ElapsedTime, s.TotalNodes(), text);
  r.Alpha = r.V;
  if (st.UCIMode) ReportUciLine(r.Depth, r.V, st.Analyze != 0, st.ElapsedTime, s.TotalNodes(), text);
}

}  // namespace

int SearchRoutines::BuildPVText(char* text, int score, std::uint64_t from, std::uint64_t to, char promotion) {
  if (from == 0 || to == 0) {
    std::snprintf(text, MoveLineSize, "\n");
    return 0;
  }
  fillmovestring(text, score, static_cast<char>(SquareIndex(from)), static_cast<char>(SquareIndex(to)), promotion,
                 1, MoveLineSize);
  return 0;
}

int SearchRoutines::RootScoreWithoutMoves(char side, ChessBoard* board) {
  if (board->InCheck(KingOf(*board, side), side)) return -MateScore;
  if (board->InCheck(KingOf(*board, side ^ 1), side ^ 1)) return MateScore;
  return StalemateScore;
}

int SearchRoutines::SearchTreeRoot(char side, ChessBoard board, int alpha, int beta, int depth, std::uint64_t* from,
                                   std::uint64_t* to, char* promotion, char castle) {
  const Status& s = MainStatus;
  MoveGen list;
  list.MoveCount = 0;

  // Step 1. The opening book answers the first iteration.
  if (!s.Bench && s.UseBook && depth == 1) {
    const int bookIndex = InBook(side, castle, MainBoard);
    const int count = bookIndex >= 0 ? list.GenerateAllMoves(side, &board, castle) : 0;
    if (bookIndex >= 0 && bookIndex < count && bookIndex < MaxMovesInList) {
      list.GetMove(bookIndex, from, to, promotion);
      BookMove = 1;
      BookMoveNumber = s.MoveNumber;
      return 0;
    }
  }
  if (s.UCIMode) ReportUciDepth(depth);

  // Step 2. Until a move has been searched the choice is the last iteration's best move.
  RootState r;
  r.Side = side;
  r.Alpha = alpha;
  r.Beta = beta;
  r.Depth = depth;
  r.ObeyStop = !s.FD && !s.Pondering;
  r.Chosen = ChoiceFromEntry(PrincipalVariation[0][0]);
  LogPrintf("Init Tree Root Search Choice From=%d  To=%d  Promo=%c\n", PrincipalVariation[0][0].Move >> 6,
            PrincipalVariation[0][0].Move & 63, PrincipalVariation[0][0].Promotion);
  const SquareSet enemiesBefore = PiecesOf(board, side ^ 1);
  const SquareSet enemyKing = KingOf(board, side ^ 1);
  SecondBestScore = NoScore;
  IterationDepth = depth;

  // Step 3. Generate and order the root moves.
  r.Count = list.GenerateAllMoves(side, &board, castle);
  if (r.Count > MaxMovesInList) r.Count = MaxMovesInList;
  RootMoveCount = r.Count;
  list.AssignMoveOrderValues(r.Count, 0, enemyKing, 0, PVNode);
  const bool manyPieces = static_cast<int>(board.QuickPieceCount(side)) > RootMinPiecesForReduction;

  // Step 4. Search the legal moves, best ordered first, until one reaches beta.
  int excluded = 0;   // legal moves left out by the front end
  for (int i = 0; i < r.Count && r.Best < beta; i++) {
    r.MoveIndex = i;
    if (TimeUp && r.ObeyStop) {
      LogPrintf("Tree Root Search Interrupted at m=%d LegalMoves=%d NumMove=%d\n", i, r.Legal, r.Count);
      break;
    }
    RootMoveIndex = i + 1;
    RootMove m;
    list.NextMove(i, r.Count, &m.Move.From, &m.Move.To, &m.Move.Promotion);
    char castleMask = AllCastleRights;
    board.MakeMove(m.Move.From, m.Move.To, m.Move.Promotion, &castleMask);
    m.ChildCastle = static_cast<char>(castle & castleMask);
    genhashcode(side ^ 1, m.ChildCastle, &m.Upper, &m.Lower, board);
    // Illegal, or (in a position where the opponent is in check) a capture of the king.
    if (board.InCheck(KingOf(board, side), side) || (m.Move.To & enemyKing)) {
      board.UndoMove(0);
      continue;
    }
    // A UCI front end may restrict the root to some moves ("go searchmoves").
    if (s.UCIMode && !UCI.RootMoveAllowed(m.Move.FromIndex() * 64 + m.Move.ToIndex())) {
      excluded++;
      board.UndoMove(0);
      continue;
    }
    Nodes++;
    r.Legal++;
    ReportCurrentMove(r, m.Move);
    m.GivesCheck = board.InCheck(enemyKing, side ^ 1) ? 1 : 0;
    m.Capture = PiecesOf(board, side ^ 1) != enemiesBefore;
    m.Reducible = depth > 2 && r.Legal > 2 && m.Move.Promotion == NoPromotion && !m.GivesCheck && !m.Capture &&
                  list.OrderValues[i] <= LMRMaxOrderValue && manyPieces;
    const int exit = SearchRootMove(*this, r, board, m);
    board.UndoMove(0);
    if (exit == EarlyExit) return InterruptedExit(EarlyExit, r, from, to, promotion);
    if (StopSearch && r.ObeyStop) return InterruptedExit(LateExit, r, from, to, promotion);
    if (Aborted) break;
    if (r.V > r.Best) AcceptBetterMove(*this, r, m);
    else if (r.V > SecondBestScore) SecondBestScore = r.V;
  }

  // Step 5. The loop was left because of a flag: report the move being searched.
  const bool interrupted = Aborted || TimeUp || StopSearch;
  if (interrupted && !s.Pondering) {
    char text[MoveLineSize];
    ChoiceText(text, r.Chosen, r.V);
    if (s.Post && s.xboard) ReportThinking(depth, r.V, s.ElapsedTime, TotalNodes(), text);
    if (s.UCIMode) ReportUciLine(depth, r.V, false, s.ElapsedTime, TotalNodes(), text);
  }

  // Step 6. Without a legal move the root is mated or stalemated (known only after a full loop).
  if (!Aborted && !TimeUp) {
    LegalRootMoves = r.Legal;
    // Only a root without any legal move is mated or stalemated, not one whose moves were all left out.
    if (r.Legal == 0 && excluded == 0) r.Best = RootScoreWithoutMoves(side, &board);
  }
  if (!(interrupted && StopSearch)) WriteChoice(r.Chosen, from, to, promotion);
  return r.Best;
}

void SearchRoutines::TreeRootAssignMoveOrderValues(int count, char side, int alpha, int beta, ChessBoard* board,
                                                   MoveGen* list, int) {
  if (count > MaxMovesInList) count = MaxMovesInList;
  const PVEntry& best = PrincipalVariation[0][0];
  const SquareSet enemyKing = KingOf(*board, side ^ 1);
  for (int i = 0; i < count; i++) {
    const SquareSet moveFrom = list->FromSquares[i], moveTo = list->ToSquares[i];
    if (moveFrom == 0 || moveTo == 0 || (moveTo & enemyKing)) {
      list->OrderValues[i] = NoScore;
      continue;
    }
    const int code = SquareIndex(moveFrom) * 64 + SquareIndex(moveTo);
    if (code == best.Move && list->Promotions[i] == best.Promotion) {
      list->OrderValues[i] = RootPVMoveValue;
      continue;
    }
    char mask = AllCastleRights;
    board->MakeMove(moveFrom, moveTo, list->Promotions[i], &mask);
    constexpr int OrderingDepth = 100;
    list->OrderValues[i] = -Quiesce(side ^ 1, alpha, beta, *board, OrderingDepth, board->CastleFlags, PollPly + 1);
    board->UndoMove(0);
  }
}
