#pragma once
// What the search tells its front end while it runs. The search reports events; the protocol layer
// defines these functions and decides there, from the front end and its settings, which line (UCI
// "info", xboard thinking, console, kibitz or none) each event becomes.
#include <cstdint>

// One line of the search: the root move's variation with its score. Scores are in the
// evaluation's unit; `PvText` is a move text as fillmovestring writes it (leading blank, trailing
// newline), or null for none.
struct SearchLine {
  int Depth = 0;
  int Score = 0;
  int ElapsedSeconds = 0;   // the search's estimate from its node count
  std::int64_t Nodes = 0;
  const char* PvText = nullptr;
  int ElapsedMs = 0;        // measured on the clock since the search started
  int SelDepth = 0;         // the deepest ply the iteration reached
  int HashFull = 0;         // thousandths of the table in use
  int MultiPv = 0;          // which of several lines of play this is (1 = best); 0 when only one is asked for
};

// The best line the search knows at some moment: the root variation with the score and the
// iteration it was found in. An interrupted iteration's own score is no result, so a front end that
// must only ever see results is shown this instead. Known is false before any root move was searched.
struct BestKnownLine {
  SearchLine Line;
  bool Known = false;
};

// Where the root search left its move loop before the loop's end.
enum class RootExit : char {
  Early,   // stopped during a null-window or reduced look at a later move
  Late,    // stopped during the move's last search
  Loop,    // the loop was left because a stop flag was set between moves
};

struct RootInterruption {
  SearchLine Line;       // the choice so far with the score of the move being searched
  RootExit Exit = RootExit::Loop;
  int LegalMoves = 0;    // legal root moves searched so far
  BestKnownLine Best;
};

struct RootMoveStart {
  int Depth = 0;
  int FromSquare = 0, ToSquare = 0;   // square indices
  int MoveNumber = 0;                 // 1-based among the legal moves searched
  std::int64_t Nodes = 0;
  int NodesPerSecond = 0;
};

// The move the search settles on, after its last iteration.
struct MoveChosen {
  SearchLine Line;
  int SearchDepth = 0;       // the depth the move counts as searched to (kibitz)
  int NodesPerSecond = 0;
  bool Aborted = false;      // a command ended the search: no move is played
  bool BookMove = false;
  bool Interrupted = false;  // the last iteration was cut off
  BestKnownLine Best;
};

// A poll of an analysis, which a front end may want a progress line of.
struct AnalysisPoll {
  int Centiseconds = 0;      // since the analysis started
  std::int64_t Nodes = 0;
  int Depth = 0;             // of the iteration in progress
  int MovesLeft = 0;         // root moves not yet searched in it
  int MoveCount = 0;
  bool CommandRead = false;  // the poll read a command
};

namespace SearchEvents {
void RootSearchStarted(int depth);                        // after the book had no move
void RootMoveStarted(const RootMoveStart& move);
void NewBestLine(const SearchLine& line);                 // a root move raised alpha
void RootInterrupted(const RootInterruption& interruption);
void IterationDone(const SearchLine& line, bool interrupted, const BestKnownLine& best);
void OtherLineDone(const SearchLine& line);                // MultiPV: a line after the best, at the iteration's end
void MoveFound(const MoveChosen& move);
void BookMovePlayed();
void NodeRateMeasured(int nodesPerSecond, int elapsedMs);
void AnalysisRate(int nodesPerSecond, int elapsedMs);        // the rate over the whole analysis so far
void AnalysisPolled(const AnalysisPoll& poll);
void TimeBudgetPlanned(int timePerMove, int timeLeft, int defaultMovesPerSession);   // sudden death
void AbortedByCommand(const char* command);
void Error(const char* text);
}  // namespace SearchEvents
