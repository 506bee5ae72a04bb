// Soak test: engine against engine through the real protocols. One nelk process speaks UCI, another
// speaks xboard; this referee (a third process) carries the moves between them, checks every move
// with the engine's own move generator, keeps both clocks and ends the games by the rules.
//   bench_soak_referee [--games N] [--engine PATH] [--base MS] [--increment MS] [--max-plies N]
// Prints games played, results, illegal moves, crashes, hangs, time forfeits, internal-error lines
// and the peak memory (VmHWM) of each engine process after the first and the last game. The exit
// status is 1 when any of the fault counts is not zero or memory grew by more than a tenth.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "board/ChessBoard.h"
#include "engine/GameLoop.h"
#include "hash/Zobrist.h"
#include "protocol/MoveCheck.h"
#include "testkit/robustness_checks.h"
#include "testkit/RunEngine.h"

namespace {

using EngineSession = nelktest::EngineProcess;
using nelktest::NowMs;

struct Options {
  int Games = 200;
  std::string Engine;
  int BaseMs = 2000;          // each side's clock at the start of a game
  int IncrementMs = 30;       // added after each of the side's moves
  int MaxPlies = 300;         // longer games are adjudicated drawn
  int GraceMs = 5000;         // beyond the clock: after this the engine is taken to hang
};

constexpr int ColourCount = 2;

struct Tally {
  int Games = 0, WhiteWins = 0, BlackWins = 0, Draws = 0, UciPoints2 = 0;   // points doubled
  int IllegalMoves = 0, Crashes = 0, Hangs = 0, TimeForfeits = 0, InternalErrors = 0;
  long long Plies = 0;
  long long ThinkMs[ColourCount] = {0, 0};     // by protocol: 0 UCI, 1 xboard
  long long Moves[ColourCount] = {0, 0};
  int Wins[ColourCount][ColourCount] = {};       // [protocol][colour]
};

constexpr int RepetitionsForDraw = 3;
constexpr int StartupTimeoutMs = 10000;
constexpr double AllowedMemoryGrowth = 0.10;
constexpr int ProgressEvery = 25;

// ---------------------------------------------------------------------------------------------
// The referee's board: every move checked against the legal moves before it is played.

class RefereeBoard {
public:
  RefereeBoard() { Reset(); }

  void Reset() {
    const ChessBoard saved = MainBoard;
    MainBoard.InitRep();
    MainBoard.Recount();
    board_ = MainBoard;
    MainBoard = saved;
    moves_.clear();
    hashes_.clear();
    RememberPosition();
  }

  char SideToMove() const { return board_.SideToMove; }
  const std::string& Moves() const { return moves_; }

  bool Play(const std::string& text) {
    CheckedMove move;
    if (!FindLegalMove(text.c_str(), board_, &move)) return false;
    robustness::PlayChecked(board_, move);
    const ChessBoard saved = MainBoard;
    MainBoard = board_;
    MainBoard.Recount();
    board_ = MainBoard;
    MainBoard = saved;
    moves_ += (moves_.empty() ? "" : " ") + text;
    RememberPosition();
    return true;
  }

  // The end of the game by the rules the engine itself applies, plus threefold repetition.
  GameEnd End() {
    const ChessBoard saved = MainBoard;
    MainBoard = board_;
    const GameEnd end = FindGameEnd();
    MainBoard = saved;
    return end;
  }

  bool ThreefoldRepetition() const {
    int same = 0;
    for (const auto& h : hashes_)
      if (h == hashes_.back()) same++;
    return same >= RepetitionsForDraw;
  }

private:
  void RememberPosition() {
    std::uint64_t upper = 0, lower = 0;
    genhashcode(board_.SideToMove, board_.CastleFlags, &upper, &lower, board_);
    hashes_.push_back({upper, lower});
  }

  ChessBoard board_;
  std::string moves_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> hashes_;
};

// ---------------------------------------------------------------------------------------------
// The two players.

enum class Outcome { Move, Crash, Hang, NoMove };

class Player {
public:
  Player(const std::string& program, bool uci) : program_(program), uci_(uci) {}
  virtual ~Player() = default;

  bool Start() {
    engine_.reset(new EngineSession({}, {}, program_));
    cursor_ = 0;
    return engine_->Started() && Handshake();
  }

  bool Uci() const { return uci_; }
  const char* Name() const { return uci_ ? "UCI" : "xboard"; }
  EngineSession& Engine() { return *engine_; }
  // The peak resident memory of the running process in KiB (VmHWM), 0 when it cannot be read.
  long PeakMemoryKb() const {
    const std::string path = "/proc/" + std::to_string(engine_->Pid()) + "/status";
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, file) != nullptr)
      if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::strtol(line + 6, nullptr, 10);
    std::fclose(file);
    return kb;
  }

  // The next whole output line (without its newline) within the time; false otherwise.
  bool NextLine(std::string* line, long long deadline) {
    const std::string& out = engine_->Output();
    engine_->WaitUntil([this](const std::string& o) { return o.find('\n', cursor_) != std::string::npos; },
                       static_cast<int>(deadline - NowMs() > 0 ? deadline - NowMs() : 0));
    const std::size_t end = out.find('\n', cursor_);
    if (end == std::string::npos) return false;
    *line = out.substr(cursor_, end - cursor_);
    if (!line->empty() && line->back() == '\r') line->pop_back();
    cursor_ = end + 1;
    return true;
  }

  bool WaitForLine(const std::string& wanted, int timeoutMs) {
    const long long deadline = NowMs() + timeoutMs;
    std::string line;
    while (NextLine(&line, deadline))
      if (line.compare(0, wanted.size(), wanted) == 0) return true;
    return false;
  }

  virtual void NewGame(int baseMs, int incrementMs) = 0;
  // Asks for the engine's move (the opponent's last move, if any, told first) and waits for it.
  virtual Outcome Move(const RefereeBoard& board, const std::string& opponentMove, const int clockMs[ColourCount],
                       int incrementMs, int waitMs, std::string* move) = 0;
  virtual void Quit() { engine_->SendRaw("quit\n"); }

protected:
  virtual bool Handshake() = 0;
  Outcome Lost() const { return engine_->Exited() ? Outcome::Crash : Outcome::Hang; }

  std::string program_;
  bool uci_;
  std::unique_ptr<EngineSession> engine_;
  std::size_t cursor_ = 0;
};

class UciPlayer : public Player {
public:
  explicit UciPlayer(const std::string& program) : Player(program, true) {}

  void NewGame(int, int) override { engine_->SendRaw("ucinewgame\nisready\n"); WaitForLine("readyok", StartupTimeoutMs); }

  Outcome Move(const RefereeBoard& board, const std::string&, const int clockMs[ColourCount], int incrementMs, int waitMs,
               std::string* move) override {
    const std::string moves = board.Moves().empty() ? "" : " moves " + board.Moves();
    engine_->SendRaw("position startpos" + moves + "\ngo wtime " + std::to_string(clockMs[0]) + " btime " +
                  std::to_string(clockMs[1]) + " winc " + std::to_string(incrementMs) + " binc " +
                  std::to_string(incrementMs) + "\n");
    const long long deadline = NowMs() + waitMs;
    std::string line;
    while (NextLine(&line, deadline)) {
      if (line.compare(0, 9, "bestmove ") != 0) continue;
      const std::size_t end = line.find(' ', 9);
      *move = line.substr(9, end == std::string::npos ? std::string::npos : end - 9);
      return *move == "0000" ? Outcome::NoMove : Outcome::Move;
    }
    return Lost();
  }

protected:
  bool Handshake() override {
    engine_->SendRaw("uci\n");
    if (!WaitForLine("uciok", StartupTimeoutMs)) return false;
    engine_->SendRaw("isready\n");
    return WaitForLine("readyok", StartupTimeoutMs);
  }
};

class XboardPlayer : public Player {
public:
  explicit XboardPlayer(const std::string& program) : Player(program, false) {}

  // The time control as a front end states it ("level 0 M:SS SECONDS"): the engine plans with the
  // increment it is told, not with the clock alone.
  void NewGame(int baseMs, int incrementMs) override {
    const int baseSeconds = baseMs / 1000;
    char level[64];
    std::snprintf(level, sizeof level, "level 0 %d:%02d %.3f\n", baseSeconds / 60, baseSeconds % 60, incrementMs / 1000.0);
    // Whatever the last game left (a result line, a move not yet read) is behind the pong.
    engine_->SendRaw("new\nforce\n" + std::string(level) + "ping " + std::to_string(++ping_) + "\n");
    WaitForLine("pong " + std::to_string(ping_), StartupTimeoutMs);
  }

  // Every turn in force mode: the opponent's move is played without a reply, then "go" makes the
  // engine move for the side to move with the clocks just given.
  Outcome Move(const RefereeBoard& board, const std::string& opponentMove, const int clockMs[ColourCount], int,
               int waitMs, std::string* move) override {
    const int own = board.SideToMove();
    std::string text = "force\n";
    if (!opponentMove.empty()) text += opponentMove + "\n";
    text += "time " + std::to_string(clockMs[own] / 10) + "\notim " + std::to_string(clockMs[own ^ 1] / 10) + "\ngo\n";
    engine_->SendRaw(text);
    static const std::regex form("^[0-9]+\\. \\.\\.\\. ([a-h][1-8][a-h][1-8][qrbn]?) ?$");
    const long long deadline = NowMs() + waitMs;
    std::string line;
    std::smatch m;
    while (NextLine(&line, deadline)) {
      if (line.compare(0, 5, "move ") == 0) {
        *move = line.substr(5);
        return Outcome::Move;
      }
      if (std::regex_match(line, m, form)) {
        *move = m[1];
        return Outcome::Move;
      }
    }
    return Lost();
  }

protected:
  bool Handshake() override {
    engine_->SendRaw("xboard\nprotover 2\n");
    if (!WaitForLine("feature", StartupTimeoutMs)) return false;
    engine_->SendRaw("ping 0\n");
    return WaitForLine("pong 0", StartupTimeoutMs);
  }

private:
  int ping_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Games.

enum class Result { WhiteWins, BlackWins, Draw };

struct GameRecord {
  Result Outcome = Result::Draw;
  bool Fault = false;   // an illegal move, a crash, a hang or a time forfeit ended it
};

Result WinFor(int side) { return side == 0 ? Result::WhiteWins : Result::BlackWins; }

bool GameOver(RefereeBoard& board, int plies, int maxPlies, Result* result) {
  switch (board.End()) {
    case GameEnd::WhiteMates: *result = Result::WhiteWins; return true;
    case GameEnd::BlackMates: *result = Result::BlackWins; return true;
    case GameEnd::None: break;
    default: *result = Result::Draw; return true;
  }
  *result = Result::Draw;
  return board.ThreefoldRepetition() || plies >= maxPlies;
}

GameRecord PlayGame(Player* players[ColourCount], const Options& o, Tally& t) {
  RefereeBoard board;
  int clock[ColourCount] = {o.BaseMs, o.BaseMs};
  players[0]->NewGame(o.BaseMs, o.IncrementMs);
  players[1]->NewGame(o.BaseMs, o.IncrementMs);
  std::string lastMove;
  GameRecord record;
  for (int plies = 0;; plies++) {
    if (GameOver(board, plies, o.MaxPlies, &record.Outcome)) return record;
    const int side = board.SideToMove();
    Player& p = *players[side];
    std::string move;
    const long long start = NowMs();
    const Outcome outcome = p.Move(board, lastMove, clock, o.IncrementMs, clock[side] + o.GraceMs, &move);
    const long long used = NowMs() - start;
    record.Outcome = WinFor(side ^ 1);
    record.Fault = true;
    if (outcome == Outcome::Crash) { t.Crashes++; std::printf("crash: %s engine, game %d\n", p.Name(), t.Games + 1); return record; }
    if (outcome == Outcome::Hang) { t.Hangs++; std::printf("hang: %s engine, game %d\n", p.Name(), t.Games + 1); return record; }
    if (outcome == Outcome::NoMove || !board.Play(move)) {
      t.IllegalMoves++;
      std::printf("illegal move \"%s\" by the %s engine after: %s\n", move.c_str(), p.Name(), board.Moves().c_str());
      return record;
    }
    if (used > clock[side]) {
      t.TimeForfeits++;
      std::printf("time forfeit: %s engine used %lld ms with %d ms left (game %d, ply %d)\n", p.Name(), used, clock[side],
                  t.Games + 1, plies + 1);
      return record;
    }
    record.Fault = false;
    const int protocol = p.Uci() ? 0 : 1;
    t.ThinkMs[protocol] += used;
    t.Moves[protocol]++;
    clock[side] += o.IncrementMs - static_cast<int>(used);
    lastMove = move;
    t.Plies++;
  }
}

void Count(const GameRecord& g, bool uciWhite, Tally& t) {
  t.Games++;
  if (g.Outcome == Result::WhiteWins) t.WhiteWins++;
  else if (g.Outcome == Result::BlackWins) t.BlackWins++;
  else t.Draws++;
  const bool uciWon = (g.Outcome == Result::WhiteWins) == uciWhite && g.Outcome != Result::Draw;
  if (g.Outcome != Result::Draw) {
    const int winnerColour = g.Outcome == Result::WhiteWins ? 0 : 1;
    t.Wins[uciWon ? 0 : 1][winnerColour]++;
  }
  t.UciPoints2 += g.Outcome == Result::Draw ? 1 : uciWon ? 2 : 0;
}

bool Parse(int argc, char** argv, Options* o) {
  o->Engine = nelktest::EngineBesideProgram(argv[0]);
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    const int value = std::atoi(argv[i + 1]);
    if (key == "--games") o->Games = value;
    else if (key == "--engine") o->Engine = argv[i + 1];
    else if (key == "--base") o->BaseMs = value;
    else if (key == "--increment") o->IncrementMs = value;
    else if (key == "--max-plies") o->MaxPlies = value;
    else return false;
  }
  return argc % 2 == 1 && o->Games > 0 && o->BaseMs > 0;
}

// A player whose process has gone is started again, so that one fault does not end the soak.
void Revive(Player& p) {
  if (!p.Engine().Exited()) return;
  std::printf("restarting the %s engine\n", p.Name());
  p.Start();
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, &o)) {
    std::fprintf(stderr, "usage: %s [--games N] [--engine PATH] [--base MS] [--increment MS] [--max-plies N]\n", argv[0]);
    return 2;
  }
  MainBoard.InitRep();
  initPStable();
  UciPlayer uci(o.Engine);
  XboardPlayer xboard(o.Engine);
  if (!uci.Start() || !xboard.Start()) {
    std::printf("cannot start %s\n", o.Engine.c_str());
    return 2;
  }
  Tally t;
  long memoryFirst[ColourCount] = {0, 0}, memoryLast[ColourCount] = {0, 0};
  const long long start = NowMs();
  for (int game = 0; game < o.Games; game++) {
    const bool uciWhite = game % 2 == 0;
    Player* players[ColourCount] = {uciWhite ? static_cast<Player*>(&uci) : &xboard,
                                  uciWhite ? static_cast<Player*>(&xboard) : &uci};
    const GameRecord g = PlayGame(players, o, t);
    Count(g, uciWhite, t);
    long* memory = game == 0 ? memoryFirst : memoryLast;
    memory[0] = uci.PeakMemoryKb();
    memory[1] = xboard.PeakMemoryKb();
    Revive(uci);
    Revive(xboard);
    if ((game + 1) % ProgressEvery == 0) {
      std::printf("after game %d: %lld plies, faults %d\n", game + 1, t.Plies,
                  t.IllegalMoves + t.Crashes + t.Hangs + t.TimeForfeits);
      std::fflush(stdout);
    }
  }
  if (o.Games == 1) { memoryLast[0] = memoryFirst[0]; memoryLast[1] = memoryFirst[1]; }
  uci.Quit();
  xboard.Quit();
  for (Player* p : {static_cast<Player*>(&uci), static_cast<Player*>(&xboard)}) {
    if (p->Engine().Wait(StartupTimeoutMs) != 0) {
      t.Crashes++;
      std::printf("%s engine: no clean exit after quit\n", p->Name());
    }
    if (robustness::InternalErrorIn(p->Engine().Output()) || robustness::SanitizerReportIn(p->Engine().Errors())) {
      t.InternalErrors++;
      std::printf("%s engine reported an internal error or a sanitizer finding\n", p->Name());
    }
  }
  std::printf("games played %d (White wins %d, Black wins %d, draws %d; UCI engine scored %.1f), %lld plies, %.1f s\n",
              t.Games, t.WhiteWins, t.BlackWins, t.Draws, t.UciPoints2 / 2.0, t.Plies,
              static_cast<double>(NowMs() - start) / 1000.0);
  for (int protocol = 0; protocol < ColourCount; protocol++)
    std::printf("%s engine: wins as White %d, as Black %d; %.1f ms per move\n", protocol ? "xboard" : "UCI",
                t.Wins[protocol][0], t.Wins[protocol][1],
                t.Moves[protocol] ? static_cast<double>(t.ThinkMs[protocol]) / static_cast<double>(t.Moves[protocol]) : 0.0);
  std::printf("illegal moves %d\ncrashes %d\nhangs %d\ntime forfeits %d\ninternal errors %d\n", t.IllegalMoves, t.Crashes,
              t.Hangs, t.TimeForfeits, t.InternalErrors);
  std::printf("peak memory UCI engine: %ld KiB after game 1, %ld KiB after game %d\n", memoryFirst[0], memoryLast[0], t.Games);
  std::printf("peak memory xboard engine: %ld KiB after game 1, %ld KiB after game %d\n", memoryFirst[1], memoryLast[1],
              t.Games);
  bool grew = false;
  for (int i = 0; i < ColourCount; i++)
    grew = grew || memoryLast[i] > static_cast<long>(static_cast<double>(memoryFirst[i]) * (1.0 + AllowedMemoryGrowth));
  const bool faults = t.IllegalMoves + t.Crashes + t.Hangs + t.TimeForfeits + t.InternalErrors > 0;
  return faults || grew ? 1 : 0;
}
