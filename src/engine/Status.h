#pragma once
// Run-time settings, game state and constant square masks of the engine.
#include <cstdint>
#include "board/Types.h"

constexpr std::int32_t StartNodesPerSecond = 1200000;   // the node-rate estimate before any measurement
constexpr std::int32_t DefaultMoveOverheadMs = 10;      // kept back from every timed move for the front end's lag

class Status {
public:
  std::int8_t Mimic = 0;                 // 0 off, 1 student, 2 oracle
  std::int32_t StartTime = 0;            // clock (ms) when the current search started
  std::int32_t MoveNumber = 1;           // ply number of the next move, from 1
  std::int32_t SearchDepth = 0;          // depth of the last completed iteration
  std::int32_t ElapsedTime = 0;          // estimated search time, whole seconds
  std::int32_t TimeInc = 0;              // increment per move, seconds
  std::int32_t TimePerMove = 0;          // budget for the current move, ms
  std::int32_t TimeLeft = 0;             // time left on the engine's clock, ms
  std::int32_t NodesPerSecond = StartNodesPerSecond; // node-rate estimate
  std::int32_t EmergencyTimeThreshold = 0; // ms
  std::uint8_t xboard = 0;               // xboard protocol in use
  std::uint8_t UCIMode = 0;              // UCI protocol in use
  std::uint8_t GameInProgress = 1;       // game loop runs while set
  std::uint8_t SelfPlay = 0;             // engine plays both sides
  std::int8_t FD = 0;                    // fixed search depth, 0 = none
  std::uint8_t OpponentToMove = 1;       // 1: next move comes from user/GUI
  std::uint8_t Kibitz = 0;               // "-kibitz"
  std::uint8_t PERFT = 0;                // perft mode
  std::uint8_t Bench = 0;                // benchmark to run, 0 none, 1..5
  std::uint8_t SATrain = 0;              // "-satrain"
  std::uint8_t DoTestSuite = 0;          // EPD test-suite mode
  std::uint8_t Post = 0;                 // thinking output
  std::uint8_t Force = 0;                // xboard force mode
  std::uint8_t UseBook = 1;              // consult the opening book
  std::uint8_t PEV = 0;                  // "-pev" evaluation dump mode
  std::uint8_t Analyze = 0;              // analysis mode
  std::uint8_t KeepRunning = 0;          // start another game at the end of one
  std::uint8_t Trace = 0;                // trace output
  std::uint8_t Pondering = 0;            // a UCI ponder search runs
  SquareSet FileA = 0, FileB = 0, FileC = 0, FileD = 0, FileE = 0, FileF = 0, FileG = 0, FileH = 0;
  SquareSet FilesGH = 0, FilesAB = 0, FilesFGH = 0, FilesABC = 0;
  // three-square pawn-chain diagonals
  SquareSet DiagF5D7 = 0, DiagC5E7 = 0, DiagF4D6 = 0, DiagC4E6 = 0;
  SquareSet DiagD2F4 = 0, DiagE2C4 = 0, DiagD3F5 = 0, DiagE3C5 = 0;
  SquareSet Rank1 = 0, Rank2 = 0, Rank3 = 0, Rank4 = 0, Rank5 = 0, Rank6 = 0, Rank7 = 0, Rank8 = 0;
  // six-square diagonals beside and on the long diagonals
  SquareSet DiagH2C7 = 0, DiagG2B7 = 0, DiagF2A7 = 0, DiagC2H7 = 0, DiagB2G7 = 0, DiagA2F7 = 0;
  SquareSet LightSquares = 0, DarkSquares = 0, Corners = 0, WhiteHalf = 0, BlackHalf = 0;
  std::int32_t MovesPerSession = 0;      // moves per session, 0 = whole game
  std::int32_t DefaultMovesPerSession = 50;
  std::int32_t ST = 0;                   // fixed time per move (seconds; ms from UCI movetime)
  std::int32_t MaxPly = 0;               // deepest ply reached in the current search
  // single squares of the trapped-piece patterns and draw tests
  SquareSet SqH8 = 0, SqH7 = 0, SqF7 = 0, SqG7 = 0, SqH6 = 0, SqF6 = 0, SqG6 = 0, SqA8 = 0;
  SquareSet SqA7 = 0, SqC7 = 0, SqA6 = 0, SqB7 = 0, SqC6 = 0, SqB6 = 0, SqH1 = 0, SqH2 = 0;
  SquareSet SqF2 = 0, SqG2 = 0, SqH3 = 0, SqF3 = 0, SqG3 = 0, SqA1 = 0, SqA2 = 0, SqC2 = 0;
  SquareSet SqB2 = 0, SqA3 = 0, SqC3 = 0, SqB3 = 0, SqB8 = 0, SqG8 = 0, SqB1 = 0, SqG1 = 0;
  // The increment as given (TimeInc keeps whole seconds for the log lines that show it).
  std::int32_t TimeIncMs = 0;            // increment per move, ms
  // xboard "nps N": the search's clock counts N nodes as a second instead of reading the wall clock.
  std::int32_t NodeClockRate = 0;        // nodes per second of the node clock, 0 = the wall clock
  // Milliseconds that every timed move leaves unused for the front end's and the system's lag
  // (UCI option "Move Overhead").
  std::int32_t MoveOverheadMs = DefaultMoveOverheadMs;

  void initVars();                       // resets game state, recomputes every mask
  void setPERFT(char v) { PERFT = static_cast<std::uint8_t>(v); }
  char getPERFT() const { return static_cast<char>(PERFT); }
  void setFD(char v) { FD = static_cast<std::int8_t>(v); }
  char getFD() const { return static_cast<char>(FD); }
  void setxboard(char v) { xboard = static_cast<std::uint8_t>(v); }
  char getxboard() const { return static_cast<char>(xboard); }
  void setDoTestSuite(char v) { DoTestSuite = static_cast<std::uint8_t>(v); }
  char getDoTestSuite() const { return static_cast<char>(DoTestSuite); }
  void InitMasks();                      // the constant masks only
};

extern Status MainStatus;
