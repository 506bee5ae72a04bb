#pragma once
// The xboard and console command interpreter. It is called with one word at a time: by move entry
// for every word that is not a move, and by the search's input poll for every word that arrives
// while the engine thinks. A command's arguments follow it on the same line and are read by the
// interpreter itself (protocol/CommandArgs.h).
#include <cstdint>
#include "protocol/CommandArgs.h"

// Room for the rest of a command line ("setboard", "name", "result"); longer lines are cut.
constexpr int CommandLineRestSize = ArgumentLineSize;

// Result codes of DoCommand.
constexpr char CommandLooksLikeMove = 0;   // not a command, shaped like "e2e4": the caller checks it
constexpr char CommandActNow = 2;          // the game changed or the engine must act; a search aborts
constexpr char CommandQuit = 3;
constexpr char CommandHandled = 4;

// State of the dialogue with the front end that lives between commands.
class CommandSession {
public:
  std::int32_t ProtocolVersion = 1;        // 2 and more after "protover"
  std::uint8_t Searching = 0;              // the engine thinks on the game's position
  std::uint8_t QuitRequested = 0;          // "quit" or the end of input
  std::uint8_t HasPendingMove = 0;         // a move arrived while the engine was thinking
  char PendingMove[CommandWordSize] = {};
  // The fixed time per move before "analyze" replaced it with the analysis limit.
  std::uint8_t FixedTimeSaved = 0;
  std::int32_t SavedST = 0;
  std::uint8_t SavedSTInMilliseconds = 0;
  std::uint8_t AsksForStat01 = 0;          // the front end has sent "." (it reads "stat01:" lines)
  std::uint8_t Stat01Due = 0;              // a "." read in the analysis is answered at the next poll

  // Hands out a move kept from a search (once); false when there is none.
  bool TakePendingMove(char* word, int size);
};

extern CommandSession Commands;

// Handles one word; returns one of the codes above. Every word is logged first.
char DoCommand(char* word);

// True when the word has the shape of a coordinate move: a file letter, then a digit 0 to 8.
bool LooksLikeMove(const char* word);

// Sets up a new game on MainBoard from the initial position (the effect of "new").
void StartNewGame();

// A console game with no time control gets a default time per move (said once, set as "st" sets
// it); nothing changes when a time control, a fixed depth or another front end is in use.
void ApplyConsoleDefaultTime();
