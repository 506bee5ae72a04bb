#include "tools/TexelTuner.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include "board/ChessBoard.h"
#include "eval/PositionEvaluate.h"
#include "search/SearchRoutines.h"
#include "tools/Fen.h"
#include "tools/PgnGames.h"
#include "tools/TextFile.h"

namespace {

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr std::size_t ShownMoveLength = 16;   // how much of a bad move is quoted back
constexpr int BoardFiles = 8;

// A word from the file, fit to be quoted in a message: short and printable.
std::string Quoted(const std::string& word) {
  std::string shown = word.substr(0, ShownMoveLength);
  for (char& c : shown) c = (c > ' ' && c < 127) ? c : '?';
  return "\"" + shown + "\"";
}

bool FitsTerm(int value) {
  return value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
}

// A capture (en passant included: a pawn changing files) or a promotion.
bool TakesOrPromotes(const ChessBoard& board, const TexelMove& move) {
  const char side = board.SideToMove;
  const bool pawnChangesFile = board.IsPawn(side, move.From) &&
                               SquareIndex(move.From) % BoardFiles != SquareIndex(move.To) % BoardFiles;
  return (move.To & board.PiecesOf(side ^ 1)) || pawnChangesFile || move.Promotion != NoPromotion;
}

bool InCheck(const ChessBoard& board) { return board.InCheck(board.KingOf(board.SideToMove), board.SideToMove); }

// The part of a term that the middlegame side of the taper weighs; the parts the evaluation adds
// untapered are shared out by the phase as well. The rest of the term is its endgame share.
int MiddlegameShare(const EvalTrace& trace, int term) {
  const int weight = EvalTables::MaxPhase - trace.Phase;
  int share = (trace.Direct[term] * weight) / EvalTables::MaxPhase;
  for (int block = 0; block < TaperBlocks; ++block) share += (trace.Mg[term][block] * weight) / EvalTables::MaxPhase;
  return share;
}

// The traced evaluation of the position as the search would make it (after its draw test, which
// also sets the flags the evaluation reads). False when the search would not evaluate it (a draw by
// rule) or a value does not fit the compact record.
bool TracePosition(const ChessBoard& position, float outcome, TexelPosition* record) {
  ChessBoard board = position;
  if (board.CheckDraw(0) != 0) return false;
  EvalTrace trace;
  PE.TraceEval(&board, board.SideToMove, &trace, -MateScore, MateScore);
  if (trace.LazyExit != 0) return false;
  int sum = 0;
  for (int term = 0; term < EvalTermCount; ++term) {
    const int value = trace.TermValue(static_cast<EvalTerm>(term));
    const int middle = MiddlegameShare(trace, term), end = value - middle;
    if (!FitsTerm(middle) || !FitsTerm(end)) return false;
    record->Terms[TexelParameter(term, 0)] = static_cast<std::int16_t>(middle);
    record->Terms[TexelParameter(term, 1)] = static_cast<std::int16_t>(end);
    sum += value;
  }
  if (!FitsTerm(trace.Result - sum)) return false;
  record->Rest = static_cast<std::int16_t>(trace.Result - sum);
  record->Outcome = outcome;
  return true;
}

struct Candidate {
  int Ply;                 // plies played before the position
  TexelPosition Position;
};

// Plays a game's moves from its start position and keeps its quiet positions in *kept. Returns
// why the game cannot be used, or an empty text.
std::string ReplayGame(const PgnGame& game, ChessBoard board, float outcome, std::vector<Candidate>* kept) {
  PgnMoveText moves(game.MoveText);
  std::string move;
  int ply = 0;
  for (PgnToken token; (token = moves.Next(&move)) != PgnToken::End; ++ply) {
    if (token == PgnToken::Broken) return "its move text leaves a comment or variation open";
    const ChessBoard before = board;
    TexelMove played;
    if (!PlayTexelMove(&board, move.c_str(), &played))
      return "move " + std::to_string(ply + 1) + " " + Quoted(move) + " is not a legal move in UCI notation";
    Candidate candidate{ply, {}};
    if (ply >= TexelOpeningPlies && !InCheck(before) && !TakesOrPromotes(before, played) &&
        TracePosition(before, outcome, &candidate.Position))
      kept->push_back(candidate);
  }
  if (InCheck(board) && SearchRoutines::IsMated(board.SideToMove, board)) {
    while (!kept->empty() && kept->back().Ply >= ply - TexelMatePlies) kept->pop_back();
  }
  return "";
}

// The game's start position, or why it cannot be played.
std::string StartPosition(const PgnGame& game, ChessBoard* board) {
  SetupBoard(game.Fen.empty() ? StartFen : game.Fen.c_str());
  if (const char* error = MainBoard.SetupError()) return "its FEN cannot be played: " + std::string(error);
  MainBoard.Recount();
  *board = MainBoard;
  return "";
}

// The positions of one game into *positions, or why it is skipped.
std::string ReadGame(const PgnGame& game, TexelPositions* positions) {
  if (!game.Error.empty()) return game.Error;
  float outcome = 0;
  if (!PgnResultScore(game.Result, &outcome))
    return game.Result.empty() ? "it has no Result tag" : "its result " + Quoted(game.Result) + " is unknown";
  ChessBoard board;
  std::string error = StartPosition(game, &board);
  std::vector<Candidate> kept;
  if (error.empty()) error = ReplayGame(game, board, outcome, &kept);
  if (!error.empty()) return error;
  for (const Candidate& candidate : kept) {
    if (positions->size() < TexelMaxPositions) positions->push_back(candidate.Position);
  }
  return "";
}

}  // namespace

bool CollectTexelPositions(std::FILE* file, TexelPositions* positions, TexelGameCounts* counts) {
  PgnReader reader(file);
  PgnGame game;
  while (positions->size() < TexelMaxPositions && reader.Next(&game)) {
    ++counts->Read;
    const std::string error = ReadGame(game, positions);
    if (error.empty()) continue;
    ++counts->Skipped;
    std::printf("ERROR: game %d (line %d): %s; skipped\n", game.Number, game.FirstLine, error.c_str());
  }
  if (!reader.Failure().empty()) {
    std::printf("ERROR: %s\n", reader.Failure().c_str());
    return false;
  }
  if (positions->size() >= TexelMaxPositions)
    std::printf("The first %zu positions are kept; the rest of the file is not read.\n", TexelMaxPositions);
  return true;
}

namespace {

// Mean absolute value of each term in centipawns.
std::array<double, TexelParameterCount> MeanSizes(const TexelPositions& positions) {
  std::array<double, TexelParameterCount> sizes{};
  if (positions.empty()) return sizes;
  for (const TexelPosition& position : positions) {
    for (int term = 0; term < TexelParameterCount; ++term) sizes[term] += std::abs(position.Terms[term]);
  }
  for (double& size : sizes) size /= static_cast<double>(positions.size()) * ScoreDivisor;
  return sizes;
}

void PrintTerms(const TexelPositions& positions, const TermWeights& weights, const TermMask& fitted) {
  const std::array<double, TexelParameterCount> sizes = MeanSizes(positions), shares = ActiveShares(positions);
  std::printf("%-28s %10s %10s %10s %10s %9s\n", "term", "middlegame", "mean |cp|", "endgame", "mean |cp|", "non-zero");
  for (int term = 0; term < EvalTermCount; ++term) {
    const int middle = TexelParameter(term, 0), end = TexelParameter(term, 1);
    const char* note = IsFixedTerm(term) ? "  fixed" : (fitted[middle] || fitted[end] ? "" : "  rare, not fitted");
    std::printf("%-28s %10.3f %10.2f %10.3f %10.2f %8.1f%%%s\n", EvalTermNames[term], weights[middle], sizes[middle],
                weights[end], sizes[end], 100.0 * std::max(shares[middle], shares[end]), note);
  }
}

void FitAndReport(const TexelPositions& positions) {
  const double k = FitScale(positions);
  const double before = TexelError(positions, UnitWeights(), k);
  TermWeights weights = UnitWeights();
  const TermMask fitted = FittedTerms(positions);
  const double after = FitWeights(positions, k, fitted, &weights);
  std::printf("K %.4f\n", k);
  std::printf("mean squared error %.6f with every multiplier 1, %.6f fitted\n", before, after);
  PrintTerms(positions, weights, fitted);
}

}  // namespace

int RunTexelTuner(const char* path) {
  std::FILE* file = OpenTextFile(path);
  if (file == nullptr) return TexelFileErrorStatus;
  TexelPositions positions;
  TexelGameCounts counts;
  const bool complete = CollectTexelPositions(file, &positions, &counts);
  std::fclose(file);
  if (!complete) return TexelFileErrorStatus;
  std::printf("games %d read, %d skipped\n", counts.Read, counts.Skipped);
  std::printf("positions %zu (from ply %d on, quiet, not in check)\n", positions.size(), TexelOpeningPlies);
  if (positions.empty()) {
    std::printf("no positions: nothing to fit\n");
    return 0;
  }
  FitAndReport(positions);
  return 0;
}
