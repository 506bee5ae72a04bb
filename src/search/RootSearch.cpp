// The root search: one iteration over the root moves with a principal-variation scheme, the root's
// variation in row 0, progress lines, and the exits taken when the search is interrupted.
#include "search/SearchRoutines.h"

#include <cstdio>
#include "engine/Clock.h"
#include "engine/MatchLog.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "hash/TranspositionTables.h"
#include "hash/Zobrist.h"
#include "search/SearchEvents.h"
#include "search/SearchHost.h"
#include "search/TimeUnits.h"

namespace {

using namespace SearchScore;
using namespace SearchMargins;
using namespace NodeArgs;

constexpr int RootPVMoveValue = 30000;
constexpr int RootChildPly = 1;
// The flag word the root hands its children; like every move flag it is only passed on.
constexpr char RootChildFlags = FlagReduced;
constexpr int NoExit = 0;      // the move's searches ran to their end
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
  int Code() const { return MoveCode(FromIndex(), ToIndex()); }
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
  RootChoice Chosen;
  bool FiftyMovesDrawn = false;   // the root is drawn by the fifty-move rule: only a mate counts
};

// Stop flags end a root search unless it runs to a fixed depth or ponders. Asked afresh each time:
// a "ponderhit" turns a ponder search into a timed one in the middle of an iteration.
bool ObeyStop() { return !MainStatus.FD && !MainStatus.Pondering; }

RootChoice ChoiceFromEntry(const PVEntry& entry) {
  RootChoice c;
  c.From = SquareBit(MoveCodeFrom(entry.Move));
  c.To = SquareBit(MoveCodeTo(entry.Move));
  c.Promotion = entry.Promotion;
  return c;
}

void WriteChoice(const RootChoice& c, std::uint64_t* from, std::uint64_t* to, char* promotion) {
  if (!c.Valid()) return;
  *from = c.From;
  *to = c.To;
  *promotion = c.Promotion;
}

void ChoiceText(char* text, const RootChoice& c, int score) {
  Search.BuildPVText(text, score, c.From, c.To, c.Promotion);
}

// The root's line: the choice so far with the score of the move searched last.
SearchLine ChoiceLine(const RootState& r, const char* text) {
  return Search.ReportLine(r.Depth, r.V, text);
}

// The root loop was left before its end: report the choice so far with the score of the move
// being searched.
void ReportInterruption(const RootState& r, RootExit exit, const char* text) {
  if (Search.PvIndex > 1) return;   // a further line cut off is dropped; the best line stands
  RootInterruption interruption;
  interruption.Line = ChoiceLine(r, text);
  interruption.Exit = exit;
  interruption.LegalMoves = r.Legal;
  char bestText[MoveLineSize];
  Search.BestLine(&interruption.Best, bestText);
  SearchEvents::RootInterrupted(interruption);
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
  ReportInterruption(r, exit == EarlyExit ? RootExit::Early : RootExit::Late, text);
  return r.V;
}

void ReportCurrentMove(const RootState& r, const RootChoice& m) {
  RootMoveStart start;
  start.Depth = r.Depth;
  start.FromSquare = m.FromIndex();
  start.ToSquare = m.ToIndex();
  start.MoveNumber = r.Legal;
  start.Nodes = Search.TotalNodes();
  start.NodesPerSecond = MainStatus.NodesPerSecond;
  SearchEvents::RootMoveStarted(start);
}

// Searches one legal root move into r.V. The first move gets the full window; a later one a null
// window first (after a shallower look when reducible) and the full window only when it might
// raise alpha. Returns EarlyExit when the search was stopped before the move's last search.
int SearchRootMove(SearchRoutines& s, RootState& r, const ChessBoard& board, const RootMove& m) {
  const char opponent = static_cast<char>(r.Side ^ 1);
  const int fullDepth = r.Depth - 1 + m.GivesCheck;
  const char inCheck = static_cast<char>(m.GivesCheck);
  auto search = [&](int childAlpha, int childBeta, int childDepth, char childType, char childInCheck) {
    s.PrincipalVariation[RootChildPly][0].Move = RootChildPly;   // the child's variation starts empty
    return -s.Search(opponent, childAlpha, childBeta, board, childDepth, RootChildPly, NullMoveOk, m.ChildCastle,
                     childInCheck, m.Upper, m.Lower, childType, RootChildFlags, board.CurrentDepth, UnderRoot);
  };
  auto stopped = [&] { return s.StopSearch && ObeyStop(); };
  if (r.FiftyMovesDrawn) {
    r.V = m.GivesCheck && SearchRoutines::IsMated(opponent, board) ? MateScore - RootChildPly : DrawScore;
    s.PrincipalVariation[RootChildPly][0].Move = RootChildPly;
    return NoExit;
  }
  if (r.Depth + m.GivesCheck == 1) {
    s.PrincipalVariation[RootChildPly][0].Move = RootChildPly;
    r.V = -s.Quiesce(opponent, -r.Beta, -r.Alpha, board, 0, 0, RootChildPly);
    return r.Legal > 1 && stopped() ? EarlyExit : NoExit;
  }
  if (r.Legal == 1) {
    r.V = search(-r.Beta, -r.Alpha, fullDepth, PVNode, inCheck);
    return NoExit;
  }
  if (m.Reducible) {
    r.V = search(-r.Alpha - 1, -r.Alpha, r.Depth - RootReducedDepth, AllNode, NotInCheck);
    if (stopped()) return EarlyExit;
    if (r.V <= r.Alpha) return NoExit;
  }
  r.V = search(-r.Alpha - 1, -r.Alpha, fullDepth, AllNode, inCheck);
  if (stopped()) return EarlyExit;
  if (r.V >= r.Beta || r.V <= r.Alpha) return NoExit;
  r.V = search(-r.Beta, -r.Alpha, fullDepth, PVNode, inCheck);
  return NoExit;
}

// A move that scored better than every earlier one becomes the choice; above alpha it also
// becomes the root variation and is reported.
void AcceptBetterMove(SearchRoutines& s, RootState& r, const RootMove& m) {
  const Status& st = MainStatus;
  s.SecondBestScore = r.Best;
  r.Chosen = m.Move;
  if (s.PvIndex == 1 && r.Depth > FailLowMinDepth && (st.MovesPerSession == 0 || st.MovesPerSession > 2) &&
      r.V + FailLowMargin < s.PreviousScore && st.TimeLeft / 4 >= st.TimeIncMs)
    s.FailingLow = 1;
  r.Best = r.V;
  if (r.V <= r.Alpha) return;
  if (s.BestMoveChanges < 127) s.BestMoveChanges++;
  PVEntry* root = s.PrincipalVariation[0];
  root[0].Move = static_cast<std::uint16_t>(m.Move.Code());
  root[0].Promotion = m.Move.Promotion;
  s.PVLength = s.PrincipalVariation[RootChildPly][0].Move;
  if (s.PVLength > SearchLimits::PVColumns) s.PVLength = SearchLimits::PVColumns;
  for (int j = 1; j < s.PVLength; j++) root[j] = s.PrincipalVariation[RootChildPly][j];
  char text[MoveLineSize];
  ChoiceText(text, r.Chosen, r.V);
  if (r.Depth > SearchTime::IterationLogDepth)
    LogPrintf("ply %d  v %d  TimeLastPly %d  TotalNodes %lld  %s", r.Depth, r.V, st.ElapsedTime,
              static_cast<long long>(s.TotalNodes()), text);
  r.Alpha = r.V;
  s.BestLineScore = r.V;
  s.BestLineDepth = r.Depth;
  // A score at a narrowed beta is only a lower bound: the search again with the full window reports.
  if (r.V >= r.Beta && r.Beta < MateScore) return;
  SearchEvents::NewBestLine(ChoiceLine(r, text));
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

SearchLine SearchRoutines::ReportLine(int depth, int score, const char* text) const {
  SearchLine line{depth, score, MainStatus.ElapsedTime, TotalNodes(), text, ElapsedMs()};
  line.SelDepth = MainStatus.MaxPly > depth ? MainStatus.MaxPly : depth;
  line.HashFull = PositionCache.HashFullPermille();
  line.MultiPv = MultiPv > 1 ? PvIndex : 0;
  return line;
}

int SearchRoutines::ElapsedMs() const { return ClockNowMs() - MainStatus.StartTime; }

int SearchRoutines::ClockNowMs() const {
  const int rate = MainStatus.NodeClockRate;
  return rate > 0 ? NodeClockMs(TotalNodes(), rate) : NowMs();
}

void SearchRoutines::BestLine(BestKnownLine* best, char* text) {
  const RootChoice move = ChoiceFromEntry(PrincipalVariation[0][0]);
  best->Known = BestLineDepth > 0 && move.Valid();
  text[0] = '\0';
  if (!best->Known) return;
  ChoiceText(text, move, BestLineScore);
  best->Line = ReportLine(BestLineDepth, BestLineScore, text);
  if (MultiPv > 1) best->Line.MultiPv = 1;   // the best line known is always the first
}

int SearchRoutines::RootScoreWithoutMoves(char side, ChessBoard* board) {
  if (board->InCheck(board->KingOf(side), side)) return -MateScore;
  if (board->InCheck(board->KingOf(side ^ 1), side ^ 1)) return MateScore;
  return StalemateScore;
}

int SearchRoutines::SearchTreeRoot(char side, ChessBoard board, int alpha, int beta, int depth, std::uint64_t* from,
                                   std::uint64_t* to, char* promotion, char castle) {
  const Status& s = MainStatus;
  MoveGen list;
  list.MoveCount = 0;

  // Step 1. The opening book answers the first iteration.
  if (!s.Bench && s.UseBook && depth == 1) {
    const int bookIndex = BookMoveIndex(side, castle, MainBoard);
    const int count = bookIndex >= 0 ? list.GenerateAllMoves(side, &board, castle) : 0;
    if (bookIndex >= 0 && bookIndex < count && bookIndex < MaxMovesInList) {
      list.GetMove(bookIndex, from, to, promotion);
      BookMove = 1;
      BookMoveNumber = s.MoveNumber;
      return 0;
    }
  }
  SearchEvents::RootSearchStarted(depth);

  // Step 2. Until a move has been searched the choice is the last iteration's best move.
  RootState r;
  r.Side = side;
  r.Alpha = alpha;
  r.Beta = beta;
  r.Depth = depth;
  r.FiftyMovesDrawn = board.FiftyMovesCompleted();
  RootCompleted = 0;
  r.Chosen = ChoiceFromEntry(PrincipalVariation[0][0]);
  LogPrintf("Init Tree Root Search Choice From=%d  To=%d  Promo=%c\n", MoveCodeFrom(PrincipalVariation[0][0].Move),
            MoveCodeTo(PrincipalVariation[0][0].Move), PrincipalVariation[0][0].Promotion);
  const SquareSet enemiesBefore = board.PiecesOf(side ^ 1);
  const SquareSet enemyKing = board.KingOf(side ^ 1);
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
  bool leftEarly = false;
  for (int i = 0; i < r.Count && r.Best < beta; i++) {
    r.MoveIndex = i;
    if (TimeUp && ObeyStop()) {
      LogPrintf("Tree Root Search Interrupted at m=%d LegalMoves=%d NumMove=%d\n", i, r.Legal, r.Count);
      leftEarly = true;
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
    if (board.InCheck(board.KingOf(side), side) || (m.Move.To & enemyKing)) {
      board.UndoMove(0);
      continue;
    }
    // A UCI front end may restrict the root to some moves ("go searchmoves"); a further line of
    // play leaves out the moves of the lines before it.
    if (!FrontEndAllowsRootMove(m.Move.Code()) || LeftOutOfThisLine(m.Move.Code(), m.Move.Promotion)) {
      excluded++;
      board.UndoMove(0);
      continue;
    }
    Nodes++;
    r.Legal++;
    ReportCurrentMove(r, m.Move);
    m.GivesCheck = board.InCheck(enemyKing, side ^ 1) ? 1 : 0;
    m.Capture = board.PiecesOf(side ^ 1) != enemiesBefore;
    m.Reducible = depth > 2 && r.Legal > 2 && m.Move.Promotion == NoPromotion && !m.GivesCheck && !m.Capture &&
                  list.OrderValues[i] <= LMRMaxOrderValue && manyPieces;
    if (CaptureSearchOn)
      PathMoveKeys[0] = static_cast<std::int16_t>(ContinuationHistory::KeyOf(board, side, m.Move.To, SquareIndex(m.Move.To)));
    const int exit = SearchRootMove(*this, r, board, m);
    board.UndoMove(0);
    if (exit == EarlyExit) return InterruptedExit(EarlyExit, r, from, to, promotion);
    if (StopSearch && ObeyStop()) return InterruptedExit(LateExit, r, from, to, promotion);
    if (Aborted) {
      leftEarly = true;
      break;
    }
    if (r.V > r.Best) AcceptBetterMove(*this, r, m);
    else if (r.V > SecondBestScore) SecondBestScore = r.V;
  }

  // Step 5. The loop was left because of a flag: report the move being searched.
  const bool interrupted = Aborted || TimeUp || StopSearch;
  RootCompleted = leftEarly ? 0 : 1;
  if (interrupted) {
    char text[MoveLineSize];
    ChoiceText(text, r.Chosen, r.V);
    ReportInterruption(r, RootExit::Loop, text);
  }

  // Step 6. Without a legal move the root is mated or stalemated (known only after a full loop).
  if (!Aborted && !TimeUp) {
    // The moves left out count: a single move the front end allows is no forced move.
    LegalRootMoves = r.Legal + excluded;
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
  const SquareSet enemyKing = board->KingOf(side ^ 1);
  for (int i = 0; i < count; i++) {
    const SquareSet moveFrom = list->FromSquares[i], moveTo = list->ToSquares[i];
    if (moveFrom == 0 || moveTo == 0 || (moveTo & enemyKing)) {
      list->OrderValues[i] = NoScore;
      continue;
    }
    const int code = MoveCode(SquareIndex(moveFrom), SquareIndex(moveTo));
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
