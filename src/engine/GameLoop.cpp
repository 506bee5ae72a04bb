// The game loop of console and xboard play.
#include "engine/GameLoop.h"

#include <cstdint>
#include <cstdio>
#include "board/ChessBoard.h"
#include "engine/GameRecord.h"
#include "engine/MatchLog.h"
#include "engine/MoveText.h"
#include "engine/Status.h"
#include "hash/MoveHistory.h"
#include "hash/TranspositionTables.h"
#include "protocol/Commands.h"
#include "protocol/HumanMove.h"
#include "protocol/MoveCheck.h"
#include "search/SearchRoutines.h"

namespace {

// A search that ends without a move and without a command behind it is repeated this often before
// the engine waits for the front end instead.
constexpr int MaxSearchRetries = 2;

struct GameLoopState {
  int LastScore = 0;          // score of the engine's last search
  int SearchRetries = 0;      // searches in a row that ended without a move
};

GameLoopState Game;

bool Console() { return !MainStatus.xboard; }

// The piece code fillmovestring names a promotion by, for the match log.
char PromotionCode(char promotion, char side) {
  const int offset = side ? BlackPawnCode : WhitePawnCode;
  switch (PromotionLetter(promotion)) {
    case 'q': return static_cast<char>(WhiteQueenCode + offset);
    case 'r': return static_cast<char>(WhiteRookCode + offset);
    case 'b': return static_cast<char>(WhiteBishopCode + offset);
    case 'n': return static_cast<char>(WhiteKnightCode + offset);
    default: return promotion;
  }
}

// The depth limit of the engine's search: a fixed depth, else the "sd" limit.
char SearchDepthLimit() {
  if (MainStatus.FD > 0) return MainStatus.FD;
  const int depth = MainBoard.MaxDepth;
  if (depth <= 0 || depth > SearchLimits::DefaultDepthLimit) return SearchLimits::DefaultDepthLimit;
  return static_cast<char>(depth);
}

// At the console the board is shown after every move; then the rules may end the game.
void AfterGameMove() {
  if (Console()) {
    std::printf("Game Score %d\n", Game.LastScore);
    MainBoard.DisplayBoard();
  }
  if (MainStatus.Analyze) return;
  const GameEnd end = FindGameEnd();
  if (end != GameEnd::None) AnnounceGameEnd(end);
}

void OpponentTurn() {
  PositionCache.AgeTranspositionTables();
  Search.ClearHistory();
  const int result = HumanMove();
  if (result != ResultMovePlayed && result != ResultFiftyMoveDraw) return;
  MainStatus.OpponentToMove = 0;
  AfterGameMove();
}

// Runs the search on the game position; true when it played its move on MainBoard.
bool Think(SquareSet* from, SquareSet* to, char* promotion, int* score) {
  // Under xboard the search enters the root position into the repetition history itself.
  if (MainStatus.xboard) MoveList.RetractMove();
  Commands.Searching = 1;
  PositionCache.ProvideAllPages();   // what start-up and idle moments left, not out of the search's clock
  *score = Search.ProgressiveDeepening(MainBoard, SearchDepthLimit(), from, to, promotion);
  Commands.Searching = 0;
  const bool played =
      !Search.Aborted && *from != 0 && *to != 0 && *score != -MateScore && *score != StalemateScore;
  EndGameSearch(played);
  return played;
}

void EngineMoved(const ChessBoard& before, SquareSet from, SquareSet to, char promotion, int score) {
  Game.LastScore = score;
  Game.SearchRetries = 0;
  MainBoard.BestFrom = from;
  MainBoard.BestTo = to;
  MainBoard.BestPromotion = promotion;
  MakeGUIMove(from, to, promotion, score);
  CompleteGameMove(before, from, to, AllCastleRights);
  AfterGameMove();
}

// A search that ended without a move: after a command the front end decides what comes next;
// otherwise the engine tries again, a few times.
void NoEngineMove() {
  if (Search.Aborted) {
    MainStatus.SelfPlay = 0;
    return;
  }
  if (++Game.SearchRetries <= MaxSearchRetries) {
    MainStatus.OpponentToMove = 0;
    return;
  }
  Game.SearchRetries = 0;
  MainStatus.SelfPlay = 0;
}

// A position the engine cannot play (a king missing, or one that could be taken) is not searched:
// the engine waits for the front end to set up another one.
bool RefusePosition() {
  const char* error = MainBoard.SetupError();
  if (error == nullptr) return false;
  std::printf("ERROR: %s; no move searched\n", error);
  std::fflush(stdout);
  MainStatus.OpponentToMove = 1;
  MainStatus.SelfPlay = 0;
  return true;
}

void EngineTurn() {
  Status& s = MainStatus;
  const bool analysing = s.Analyze;
  if (RefusePosition()) return;
  if (!analysing) {
    const GameEnd end = FindGameEnd();
    if (end != GameEnd::None) {
      AnnounceGameEnd(end);
      return;
    }
  }
  ApplyConsoleDefaultTime();
  const ChessBoard before = MainBoard;
  s.OpponentToMove = 1;   // commands arriving during the search may change this
  SquareSet from = 0, to = 0;
  char promotion = NoPromotion;
  int score = 0;
  const bool played = Think(&from, &to, &promotion, &score);
  // Analysis shows lines but plays nothing, even when it runs out of things to search.
  if (analysing) {
    if (played) MainBoard = before;
    // An analysis that ended on its own (nothing to search, a mate found) has nothing to redo until
    // the front end speaks: listen instead of searching the same position again and again.
    if (!Search.Aborted && MainStatus.Analyze) OpponentTurn();
    return;
  }
  if (played) EngineMoved(before, from, to, promotion, score);
  else NoEngineMove();
}

}  // namespace

void MakeGUIMove(SquareSet from, SquareSet to, char promotion, int score) {
  const Status& s = MainStatus;
  const int fromSquare = SquareIndex(from), toSquare = SquareIndex(to);
  if (s.MoveNumber >= 0 && s.MoveNumber < MaxGameMoves)
    FTMoveList[s.MoveNumber] = static_cast<std::uint32_t>(MoveCode(fromSquare, toSquare));
  char move[MoveTextMaxLength + 1];
  MoveToText(from, to, promotion, move);
  // Protocol version 2 has the "move" command; an older front end reads the move behind the number.
  if (Commands.ProtocolVersion >= 2) std::printf("move %s\n", move);
  else std::printf("%d. ... %s \n", (s.MoveNumber + 1) / 2, move);
  char text[MoveTextSize];
  fillmovestring(text, score, static_cast<char>(fromSquare), static_cast<char>(toSquare),
                 PromotionCode(promotion, MainBoard.SideToMove), 0);
  LogPrintf("Move Made: %d %d %d %lld %s", Search.CompletedDepth, score / ScoreDivisor, 0,
            static_cast<long long>(Search.TotalNodes()), text);
  std::fflush(stdout);
}

GameEnd FindGameEnd() {
  ChessBoard& b = MainBoard;
  if (b.SetupError() != nullptr) return GameEnd::None;
  const char side = b.SideToMove;
  if (!HasLegalMove(b, side, b.CastleFlags)) {
    if (b.InCheck(b.KingOf(side), side)) return side ? GameEnd::WhiteMates : GameEnd::BlackMates;
    return GameEnd::Stalemate;
  }
  switch (b.CheckDraw(0)) {
    case ResultMaterialDraw: return GameEnd::InsufficientMaterial;
    case ResultFiftyMoveDraw: return GameEnd::FiftyMoves;
    default: return GameEnd::None;
  }
}

void AnnounceGameEnd(GameEnd end) {
  const bool console = Console();
  const char* text = nullptr;
  switch (end) {
    case GameEnd::WhiteMates: text = console ? "White mates!" : "1-0 {White mates}"; break;
    case GameEnd::BlackMates: text = console ? "Black mates!" : "0-1 {Black mates}"; break;
    case GameEnd::Stalemate: text = console ? "Stalemate" : "1/2-1/2 {Stalemate}"; break;
    case GameEnd::FiftyMoves: text = "1/2-1/2 {Draw by 50 Move Rule}"; break;
    case GameEnd::InsufficientMaterial: text = "1/2-1/2 {Draw by insufficient material}"; break;
    case GameEnd::None: return;
  }
  std::printf("%s\n", text);
  std::fflush(stdout);
  WriteLogFile(text);
  MainStatus.GameInProgress = 0;
}

void PlayGameLoop() {
  Status& s = MainStatus;
  if (s.UCIMode) return;
  BeginGameRecord();
  Commands.QuitRequested = 0;
  while (!Commands.QuitRequested) {
    if (!s.GameInProgress) {
      // At the console the game's end is the program's; a front end starts the next game itself.
      if (Console()) break;
      HumanMove();
      continue;
    }
    if (s.SelfPlay) s.OpponentToMove = 0;
    if (s.OpponentToMove) OpponentTurn();
    else EngineTurn();
  }
}
