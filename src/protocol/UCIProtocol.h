#pragma once
// The UCI protocol handler. The dialogue runs in UCICore's read-dispatch loop; while a search runs,
// the search's input poll hands each line to UCIPrep again, so the handler is re-entered from
// inside the search that an outer call started. A re-entered call never reads input itself and
// never starts a search: it answers at once ("isready"), changes the running search ("ponderhit",
// "stop") or keeps the line for when the search is over ("position", "go", "ucinewgame",
// "setoption").
#include <cstdint>
#include "board/ChessBoard.h"
#include "movegen/MoveGen.h"

// Room for one command line. A game of 2000 plies sent as "position startpos moves ..." needs about
// 10 KB; the rest is margin. Longer lines are cut (and a cut move list stops at its last whole move).
constexpr int UciLineSize = 32768;
constexpr int UciVersionSize = 40;
// Lines that arrive during a search and are carried out after it.
constexpr int UciDeferredLines = 8;

class UCIProtocol {
public:
  // Values of State.
  static constexpr std::uint8_t WAITING = 0;     // no search: the loop reads the next command
  static constexpr std::uint8_t SEARCHING = 1;   // timed or fixed-depth search
  static constexpr std::uint8_t PONDERING = 2;   // "go ponder" until "ponderhit" or "stop"
  static constexpr std::uint8_t INFINITE = 3;    // "go infinite" until "stop"

  char CommandLine[UciLineSize] = {};   // the command being processed, zero-terminated
  std::int32_t FromSquare = 0;          // squares (0 = a1 .. 63 = h8) of the move MakeMoves applies
  std::int32_t ToSquare = 0;
  char Promo = NoPromotion;             // promotion character of the engine's chosen move
  std::int8_t MoveSide = 0;             // side to move after the move MakeMoves applies
  std::uint8_t State = WAITING;
  std::uint64_t FromMask = 0;           // one-bit sets of FromSquare and ToSquare
  std::uint64_t ToMask = 0;
  char Version[UciVersionSize] = "VEDiR w64adv";   // sent behind the engine name
  std::uint8_t Running = 1;             // the match loop re-enters the dialogue while set
  std::uint8_t PonderOption = 0;        // option "Ponder": name the expected reply behind the best move
  std::uint8_t ShowCurrLine = 1;        // option "UCI_ShowCurrLine": root search prints "info currmove"

  std::uint8_t AnalyseOption = 0;       // option "UCI_AnalyseMode"
  std::uint8_t InSearch = 0;            // a search started by "go" is running
  std::uint8_t StopRequested = 0;       // a command ended the running search; send the move now
  // "go searchmoves": move codes (MoveCode) the root search may play; none = every move.
  std::uint16_t SearchMoves[MaxMovesInList] = {};
  std::int32_t SearchMoveCount = 0;
  char DeferredLines[UciDeferredLines][UciLineSize] = {};
  std::int32_t DeferredCount = 0;

  // Entry point of the match loop: hands "uci" (the word that chose the protocol) to UCIPrep.
  // Returns only if the dialogue loop ever does, with false: no further match.
  bool RunSession();
  // Handles one command line; the result tells a running search whether to go on (1) or abort (2).
  char UCIPrep(char* text);
  // Dispatches CommandLine, then (outside a search) reads and dispatches line after line.
  int UCICore();
  // Replays the move list starting at `text` on MainBoard; returns the number of moves applied.
  int ProcessMoves(char* text);
  // Applies one move ("e2e4", "e7e8q") to MainBoard; false (nothing changed) unless it is legal.
  bool MakeMoves(char* text);
  // True when the root search may play the move with this move code ("go searchmoves").
  bool RootMoveAllowed(int moveCode) const;

  // Steps of the dialogue (one concern each).
  int Dispatch(bool busy);
  void SendIdentity();
  void SendReadyOk();
  void SetPosition();
  void StartNewGame();
  void SetOption();
  void ResizeHash(const char* value);
  void Go();
  void RunSearch();
  [[noreturn]] void Quit();
  bool NextCommandLine();
  bool RefuseCutLine(char* line);   // true (and the line emptied) when it was too long to hold
  void Defer();
  char StopSearchFor(const char* logText);
  void WaitForStop();
  void SendBestMove(int score, const ChessBoard& root, std::uint64_t from, std::uint64_t to, char promotion);
  void ReportError(const char* text);
  void SetMoveOverhead(const char* value);
  void SetMultiPv(const char* value);
  void SetElo(const char* value);
  void SetBookFile();
};

extern UCIProtocol UCI;

