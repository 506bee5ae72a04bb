// Several lines of play per iteration: after the best line, the root is searched again for each
// further line with the moves of the lines before it left out.
#include "search/MultiPvLines.h"

#include <cstdio>
#include "board/Bitboard.h"
#include "engine/MatchLog.h"
#include "engine/Status.h"
#include "search/SearchEvents.h"
#include "search/SearchRoutines.h"
#include "search/Strength.h"

MultiPvLines OtherLines;
MultiPvLines CompleteLines;

namespace {

// What a further root search changes of the best line's state, put back after it: the root
// variation and its score, and the iteration's facts that the clock and the easy-move rule read.
struct BestLineState {
  PVEntry Root[SearchLimits::PVColumns];
  std::int32_t PVLength, BestLineScore, BestLineDepth, SecondBestScore, LegalRootMoves;
  std::int32_t RootMoveIndex, RootMoveCount;
  std::int8_t BestMoveChanges;
  std::uint8_t FailingLow, RootCompleted;
};
BestLineState Saved;   // static: the search allocates nothing

void Save(const SearchRoutines& s) {
  for (int i = 0; i < SearchLimits::PVColumns; i++) Saved.Root[i] = s.PrincipalVariation[0][i];
  Saved.PVLength = s.PVLength;
  Saved.BestLineScore = s.BestLineScore;
  Saved.BestLineDepth = s.BestLineDepth;
  Saved.SecondBestScore = s.SecondBestScore;
  Saved.LegalRootMoves = s.LegalRootMoves;
  Saved.RootMoveIndex = s.RootMoveIndex;
  Saved.RootMoveCount = s.RootMoveCount;
  Saved.BestMoveChanges = s.BestMoveChanges;
  Saved.FailingLow = s.FailingLow;
  Saved.RootCompleted = s.RootCompleted;
}

void Restore(SearchRoutines& s) {
  for (int i = 0; i < SearchLimits::PVColumns; i++) s.PrincipalVariation[0][i] = Saved.Root[i];
  s.PVLength = Saved.PVLength;
  s.BestLineScore = Saved.BestLineScore;
  s.BestLineDepth = Saved.BestLineDepth;
  s.SecondBestScore = Saved.SecondBestScore;
  s.LegalRootMoves = Saved.LegalRootMoves;
  s.RootMoveIndex = Saved.RootMoveIndex;
  s.RootMoveCount = Saved.RootMoveCount;
  s.BestMoveChanges = Saved.BestMoveChanges;
  s.FailingLow = Saved.FailingLow;
  s.RootCompleted = Saved.RootCompleted;
}

// A further line that scored above the best line: its variation, kept from its own search.
struct PromotedLine {
  PVEntry Root[SearchLimits::PVColumns];
  std::int32_t PVLength, Score, Depth;
  std::uint64_t From, To;
  char Promotion;
  bool Found;
};
PromotedLine Promoted;   // static, as the saved state

void KeepAsBest(const SearchRoutines& s, int score, std::uint64_t from, std::uint64_t to, char promotion) {
  for (int i = 0; i < SearchLimits::PVColumns; i++) Promoted.Root[i] = s.PrincipalVariation[0][i];
  Promoted.PVLength = s.PVLength;
  Promoted.Score = score;
  Promoted.Depth = s.BestLineDepth;
  Promoted.From = from;
  Promoted.To = to;
  Promoted.Promotion = promotion;
  Promoted.Found = true;
}

// The variation the next iteration starts from, the ponder move and the best line known are the
// promoted line's.
void InstallBest(SearchRoutines& s) {
  for (int i = 0; i < SearchLimits::PVColumns; i++) s.PrincipalVariation[0][i] = Promoted.Root[i];
  s.PVLength = Promoted.PVLength;
  s.BestLineScore = Promoted.Score;
  s.BestLineDepth = Promoted.Depth;
}

}  // namespace

void MultiPvLines::Add(int depth, int score, SquareSet from, SquareSet to, char promotion, const char* text) {
  if (Count >= MaxMultiPv || from == 0 || to == 0) return;
  PvLine& line = Lines[Count++];
  line.Depth = depth;
  line.Score = score;
  line.Move = static_cast<std::uint16_t>(MoveCode(SquareIndex(from), SquareIndex(to)));
  line.Promotion = promotion;
  std::snprintf(line.Text, sizeof line.Text, "%s", text != nullptr ? text : "\n");
}

void MultiPvLines::CopyFrom(const MultiPvLines& other) {
  Count = other.Count;
  for (int i = 0; i < Count; i++) Lines[i] = other.Lines[i];
}

bool MultiPvLines::Starts(int moveCode, char promotion) const {
  for (int i = 0; i < Count; i++)
    if (Lines[i].Move == moveCode && Lines[i].Promotion == promotion) return true;
  return false;
}

// Insertion sort: a few lines, and equal scores keep the order they were found in.
void MultiPvLines::SortByScore() {
  for (int i = 1; i < Count; i++) {
    for (int j = i; j > 0 && Lines[j].Score > Lines[j - 1].Score; j--) {
      const PvLine line = Lines[j];
      Lines[j] = Lines[j - 1];
      Lines[j - 1] = line;
    }
  }
}

bool SearchRoutines::LeftOutOfThisLine(int moveCode, char promotion) const {
  return PvIndex > 1 && OtherLines.Starts(moveCode, promotion);
}

// A further line cut off by the clock or a command is dropped: the lines shown are whole ones.
// The root search reduces its later moves, so a further line, searched first and whole, may score
// above the best line: it is then the better move, and the best line shown and played.
int SearchRoutines::SearchOtherLines(const ChessBoard& board, int depth, int v, std::uint64_t* from,
                                     std::uint64_t* to, char* promotion, char* text) {
  OtherLines.Clear();
  if (MultiPv <= 1) return v;
  OtherLines.Add(depth, v, *from, *to, *promotion, text);
  Save(*this);
  Promoted.Found = false;
  bool complete = true;
  for (PvIndex = 2; PvIndex <= MultiPv && OtherLines.Count == PvIndex - 1; PvIndex++) {
    std::uint64_t lineFrom = 0, lineTo = 0;
    char linePromotion = NoPromotion;
    const int score = SearchTreeRoot(board.SideToMove, board, -MateScore, MateScore, depth, &lineFrom, &lineTo,
                                     &linePromotion, board.CastleFlags);
    if (StopSearch || TimeUp || Aborted || !RootCompleted) {
      complete = false;
      break;
    }
    if (score <= SearchScore::NoScore) break;   // no root move is left
    char lineText[MoveLineSize];
    BuildPVText(lineText, score, lineFrom, lineTo, linePromotion);
    OtherLines.Add(depth, score, lineFrom, lineTo, linePromotion, lineText);
    if (score > (Promoted.Found ? Promoted.Score : v)) KeepAsBest(*this, score, lineFrom, lineTo, linePromotion);
  }
  PvIndex = 1;
  Restore(*this);
  OtherLines.SortByScore();
  if (complete) CompleteLines.CopyFrom(OtherLines);
  if (!Promoted.Found) return v;
  InstallBest(*this);
  *from = Promoted.From;
  *to = Promoted.To;
  *promotion = Promoted.Promotion;
  std::snprintf(text, MoveLineSize, "%s", OtherLines.Lines[0].Text);
  return Promoted.Score;
}

// The lines after the first, numbered from 2, best first.
void SearchRoutines::ReportOtherLines() {
  for (int i = 1; i < OtherLines.Count; i++) {
    const PvLine& pv = OtherLines.Lines[i];
    SearchLine line = ReportLine(pv.Depth, pv.Score, pv.Text);
    line.MultiPv = i + 1;
    SearchEvents::OtherLineDone(line);
  }
}

bool SearchRoutines::BeginLimitedStrength() {
  const Status& s = MainStatus;
  if (!Strength.Limited || Strength.FullStrength() || s.Analyze || s.Pondering || s.Bench || s.FD) return false;
  SavedNodeLimit = NodeLimit;
  SavedMultiPv = MultiPv;
  SavedCaptureSearch = CaptureSearchOn;
  const std::int64_t cap = Strength.NodeCap();
  NodeLimit = NodeLimit > 0 && NodeLimit < cap ? NodeLimit : cap;
  if (MultiPv < StrengthLimits::Lines) MultiPv = StrengthLimits::Lines;
  SetCaptureSearch(true);   // the engine's best search, weakened by the means above only
  LogPrintf("Strength limited to Elo %d: at most %lld nodes, weakness %d\n", Strength.Elo,
            static_cast<long long>(NodeLimit), Strength.Weakness());
  return true;
}

void SearchRoutines::EndLimitedStrength() {
  NodeLimit = SavedNodeLimit;
  MultiPv = SavedMultiPv;
  SetCaptureSearch(SavedCaptureSearch != 0);
}

// The lines of the last iteration that found them all, when the move about to be played leads them.
void SearchRoutines::ChooseLimitedStrengthMove(std::uint64_t* from, std::uint64_t* to, char* promotion, int* score) {
  const MultiPvLines& lines = CompleteLines;
  if (*from == 0 || *to == 0 || lines.Count <= 1) return;
  const int played = MoveCode(SquareIndex(*from), SquareIndex(*to));
  if (lines.Lines[0].Move != played || lines.Lines[0].Promotion != *promotion) return;
  int centipawns[MaxMultiPv];
  for (int i = 0; i < lines.Count; i++) centipawns[i] = lines.Lines[i].Score / ScoreDivisor;
  const int chosen = Strength.ChooseLine(centipawns, lines.Count);
  if (chosen == 0) return;
  const PvLine& line = lines.Lines[chosen];
  LogPrintf("Limited strength plays line %d (%d) instead of line 1 (%d)\n", chosen + 1, centipawns[chosen],
            centipawns[0]);
  *from = SquareBit(MoveCodeFrom(line.Move));
  *to = SquareBit(MoveCodeTo(line.Move));
  *promotion = line.Promotion;
  *score = line.Score;
}
