#pragma once
// In-process drivers of the two command handlers, shared by the in-process robustness tests and the
// fuzz targets. They read standard input exactly as the engine's own loops do, hand every command to
// the handler, and check the game state after each one; a broken invariant or an illegal engine
// move goes to the caller's fault handler (which does not return).
#include <cstdio>
#include <string>

#include "board/ChessBoard.h"
#include "engine/GameLoop.h"
#include "engine/Status.h"
#include "hash/MoveHistory.h"
#include "hash/Zobrist.h"
#include "protocol/Commands.h"
#include "protocol/HumanMove.h"
#include "protocol/MoveCheck.h"
#include "protocol/UCIProtocol.h"
#include "protocol/UciWords.h"
#include "search/Input.h"
#include "search/SearchConstants.h"
#include "search/SearchRoutines.h"
#include "robustness_checks.h"

namespace robustness {

using FaultHandler = void (*)(const char* what, const std::string& detail);

// The start-up of the program without its banner, log file and protocol choice.
inline void StartEngineState() {
  MainStatus.initVars();
  MainStatus.xboard = 0;
  MainStatus.UCIMode = 0;
  MainBoard.InitRep();
  initPStable();
  MainBoard.InitRep();
  MainStatus.initVars();
  MainBoard.Recount();
  MoveList.Init();
}

inline void CheckState(FaultHandler fault, const std::string& after, bool kingsBefore, bool positionReplaced) {
  if (const char* what = GameStateFault(MainBoard, kingsBefore, positionReplaced)) fault(what, "after " + after);
}

inline std::string FirstUciWord(const char* line) {
  char word[UciWordSize];
  int position = 0;
  NextWord(line, &position, word, sizeof word);
  return word;
}

// The UCI dialogue: lines kept during a search first, then the next line of input, each dispatched
// and followed by the checks. Returns at the end of input (the engine would quit there) or when no
// more input is waiting (a fuzz input fed through a pipe that stays open).
inline void DriveUci(FaultHandler fault) {
  MainStatus.UCIMode = 1;
  MainStatus.xboard = 0;
  while ((UCI.DeferredCount > 0 || InputPending()) && UCI.NextCommandLine()) {
    const std::string command = FirstUciWord(UCI.CommandLine);
    const bool kingsBefore = MainBoard.HasOneKingEach();
    UCI.Dispatch(UCI.InSearch || UCI.State != UCIProtocol::WAITING);
    CheckState(fault, command, kingsBefore, command == "position" || command == "ucinewgame");
  }
}

struct XboardLimits {
  int ThinkDepth = 0;         // 0: the depth the engine's settings give
  int MaxEngineMoves = 1000;  // engine moves in one run of the driver (self-play is cut there)
};

// The depth limit of the engine's search as the game loop takes it.
inline int ThinkDepth(const XboardLimits& limits) {
  if (limits.ThinkDepth > 0) return limits.ThinkDepth;
  if (MainStatus.FD > 0) return MainStatus.FD;
  const int depth = MainBoard.MaxDepth;
  return depth <= 0 || depth > SearchLimits::DefaultDepthLimit ? SearchLimits::DefaultDepthLimit : depth;
}

class XboardDriver {
public:
  XboardDriver(FaultHandler fault, XboardLimits limits) : fault_(fault), limits_(limits) {}

  // Words until the end of input, "quit", or no more input waiting.
  void Run() {
    char word[CommandWordSize];
    while (!Commands.QuitRequested && InputPending() && ReadWord(word, sizeof word) >= 0) {
      const std::string command = word;
      const bool kingsBefore = MainBoard.HasOneKingEach();
      const char code = DoCommand(word);
      CheckState(fault_, command, kingsBefore, command == "setboard" || command == "edit");
      if (code == CommandLooksLikeMove) PlayOpponentMove(word);
      while (!Commands.QuitRequested && EngineToMove()) {
        const bool again = Think();
        CheckState(fault_, "the engine's move", kingsBefore, true);
        if (!again) break;
      }
    }
  }

private:
  // A legal move goes through move entry itself (as the pending move it takes first); move entry
  // must return at once, so force mode is lifted for the call.
  void PlayOpponentMove(const char* word) {
    CheckedMove move;
    if (!MainStatus.GameInProgress || !FindLegalMove(word, MainBoard, &move)) return;
    std::snprintf(Commands.PendingMove, sizeof Commands.PendingMove, "%s", word);
    Commands.HasPendingMove = 1;
    const std::uint8_t force = MainStatus.Force;
    MainStatus.Force = 0;
    const int result = HumanMove();
    MainStatus.Force = force;
    if (result != ResultMovePlayed && result != ResultFiftyMoveDraw) fault_("a legal move was not played:", word);
    if (!force) MainStatus.OpponentToMove = 0;
  }

  bool EngineToMove() const {
    const Status& s = MainStatus;
    if (!s.GameInProgress) return false;
    return s.Analyze || s.SelfPlay || (!s.Force && !s.OpponentToMove);
  }

  // The engine's turn as the game loop takes it; its move must be legal. False when the engine is
  // not to think again before the next word (an analysis looks once per word; a game has ended).
  bool Think() {
    if (++engineMoves_ > limits_.MaxEngineMoves || (!MainStatus.Analyze && FindGameEnd() != GameEnd::None)) {
      MainStatus.SelfPlay = 0;
      MainStatus.OpponentToMove = 1;
      return false;
    }
    const ChessBoard before = MainBoard;
    const bool analysing = MainStatus.Analyze;
    MainStatus.OpponentToMove = 1;
    if (MainStatus.xboard) MoveList.RetractMove();
    SquareSet from = 0, to = 0;
    char promotion = NoPromotion;
    Commands.Searching = 1;
    const int score = Search.ProgressiveDeepening(MainBoard, static_cast<char>(ThinkDepth(limits_)), &from, &to, &promotion);
    Commands.Searching = 0;
    if (Search.Aborted || from == 0 || to == 0 || score == -MateScore || score == StalemateScore) {
      BeginGameRecord();
      MainStatus.SelfPlay = 0;
      return false;
    }
    char text[MoveTextMaxLength + 1];
    MoveToText(from, to, promotion, text);
    CheckedMove move;
    if (!FindLegalMove(text, before, &move)) fault_("the engine chose an illegal move:", text);
    if (analysing) {
      MainBoard = before;
      BeginGameRecord();
      return false;
    }
    MakeGUIMove(from, to, promotion, score);
    CompleteGameMove(before, from, to, static_cast<char>(AllCastleRights));
    return true;
  }

  FaultHandler fault_;
  XboardLimits limits_;
  int engineMoves_ = 0;
};

}  // namespace robustness
