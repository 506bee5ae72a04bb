// The xboard and console commands. Each handler reads its own arguments from the rest of the line
// and returns the code the caller acts on (see Commands.h).
#include "protocol/Commands.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include "board/ChessBoard.h"
#include "engine/Clock.h"
#include "engine/GameRecord.h"
#include "engine/MatchLog.h"
#include "engine/Status.h"
#include "eval/SEE.h"
#include "hash/TranspositionTables.h"
#include "protocol/BookOptions.h"
#include "protocol/CommandArgs.h"
#include "protocol/BoardEdit.h"
#include "protocol/MoveCheck.h"
#include "protocol/SearchOutput.h"
#include "search/MultiPvLines.h"
#include "search/SearchRoutines.h"
#include "search/Strength.h"
#include "tools/Fen.h"

CommandSession Commands;

bool CommandSession::TakePendingMove(char* word, int size) {
  if (!HasPendingMove || word == nullptr || size <= 0) return false;
  std::snprintf(word, static_cast<std::size_t>(size), "%s", PendingMove);
  HasPendingMove = 0;
  PendingMove[0] = '\0';
  return true;
}

bool GameSearchRunning() { return Commands.Searching != 0; }

namespace {

// Limits of the values the commands store.
constexpr int StartMaxDepth = 56;                    // depth limit of a fresh game
constexpr int AnalysisNodesPerSecond = 200001;       // first node-rate guess of an analysis
constexpr int AnalysisTimeLimit = 1209600000;        // two weeks in milliseconds: analyse until told
constexpr int PlannedPerMille = 900;                 // a fixed time per move plans nine tenths of it
constexpr int MsLeftPerStSecond = 60000;             // "st": the clock holds sixty moves' worth
constexpr int MsPerCentisecond = 10;
constexpr long long LargestClockMs = INT_MAX;
constexpr long long LargestStMs = INT_MAX / (MsLeftPerStSecond / MsPerSecond);
constexpr long long LargestSessionMoves = 10000;
constexpr long long LargestIncrementSeconds = 36000;
constexpr long long LargestSearchDepth = SearchLimits::DefaultDepthLimit;
constexpr long long LargestProtocolVersion = 1000;
constexpr int ArgumentSize = 64;                     // room for one numeric argument word
// The features, and the engine options a front end may set with "option NAME=VALUE".
constexpr const char* FeatureLine =
    "feature ping=1 setboard=1 playother=0 san=0 usermove=0 time=1 draw=0 sigint=0 sigterm=1 reuse=1 "
    "analyze=1 colors=0 memory=1 nps=1 myname=\"Nelk\" option=\"CaptureSearch -check %d\" "
    "option=\"MultiPV -spin %d 1 %d\" option=\"UCI_LimitStrength -check %d\" option=\"UCI_Elo -spin %d %d %d\" "
    "option=\"BookFile -file \" option=\"Best Book Move -check %d\" done=1\n";
constexpr const char* CaptureSearchOption = "CaptureSearch";
constexpr const char* ConsoleHelp =
    "Moves: e2e4, e7e8q (promotion), e1g1 (castling).\n"
    "go: the engine moves for the side to move   force: the engine stops moving   new: a new game\n"
    "undo: take back one move   remove: take back two   setboard FEN: set up a position\n"
    "edit: set up the board piece by piece   displayboard: show the board   quit: end\n"
    "st N: N seconds a move   level MOVES MINUTES INCREMENT: a game clock   sd N: search N plies at most\n";
// With no time control a console game would be answered at once at depth 1. A person at a console
// waits a few seconds without noticing; at this engine's speed that is a search of ten plies or
// more, close to its full strength.
constexpr int ConsoleDefaultSeconds = 5;
constexpr const char* MultiPvOption = "MultiPV";
constexpr const char* LimitStrengthOption = "UCI_LimitStrength";
constexpr const char* EloOption = "UCI_Elo";
constexpr const char* BookFileOption = "BookFile";
constexpr const char* BestBookMoveOption = "Best Book Move";

bool Console() { return !MainStatus.xboard; }

void Flush() { std::fflush(stdout); }

// The next word of the command's own line; false when the line has no more.
bool ReadArgument(char* argument) { return NextArgument(argument, ArgumentSize); }

bool ReadIntegerArgument(long long* value) {
  char argument[ArgumentSize];
  return ReadArgument(argument) && ParseInteger(argument, value);
}

// Commands that replace the position or the side to move end a running search without a move:
// its result would belong to a position that is gone. An analysis starts again on the new one.
char PositionChanged() {
  if (MainStatus.Analyze) {
    MainStatus.OpponentToMove = 0;
    return CommandActNow;
  }
  return Commands.Searching ? CommandActNow : CommandHandled;
}

void SaveFixedTime() {
  if (Commands.FixedTimeSaved) return;
  Commands.FixedTimeSaved = 1;
  Commands.SavedST = MainStatus.ST;
  Commands.SavedSTInMilliseconds = Search.STInMilliseconds;
}

// Leaving analysis gives the game back the fixed time it had (analysis replaced it by its limit).
void RestoreFixedTime() {
  if (!Commands.FixedTimeSaved) return;
  Commands.FixedTimeSaved = 0;
  MainStatus.ST = Commands.SavedST;
  Search.STInMilliseconds = Commands.SavedSTInMilliseconds;
}

void LeaveAnalysis() {
  MainStatus.Post = 0;
  MainStatus.Analyze = 0;
  RestoreFixedTime();
}

// A front end that asks for progress lines gets them at the analysis polls from now on as well.
// The answer comes at the next poll of the running analysis, a few milliseconds on, unless a
// command comes first: a client that sends "." and "exit" together (python-chess does) ends the
// analysis and has no use for a status line it would call unexpected. With no analysis running
// (it reached its depth limit, or none was started) there is no status to give.
char Stat01(char*) {
  Commands.AsksForStat01 = 1;
  if (Commands.Searching && MainStatus.Analyze) Commands.Stat01Due = 1;
  return CommandHandled;
}

// "?": move now. The search stops and plays the best move found so far; in analysis, which has no
// move to play, it ends the analysis instead.
char MoveNow(char*) {
  if (MainStatus.Analyze) {
    Search.AbortSearch();
    LeaveAnalysis();
    return CommandActNow;
  }
  if (Commands.Searching) Search.StopSearch = Search.TimeUp = 1;
  return CommandHandled;
}

char Ignore(char*) { return CommandHandled; }
char UnknownCommand(char* word);

// Commands whose arguments mean nothing to the engine: the rest of the line is dropped so that
// none of its words is taken for a command ("accepted setboard").
char IgnoreLine(char*) {
  char rest[CommandLineRestSize];
  RestOfCommandLine(rest, sizeof rest);
  return CommandHandled;
}

char Abort(char*) {
  MainBoard.InitRep();
  MainBoard.MaxDepth = StartMaxDepth;
  MainBoard.FiftyMoveCount = 0;
  MainBoard.SideToMove = 0;
  MainStatus.OpponentToMove = 1;
  MainStatus.GameInProgress = 1;
  MainStatus.initVars();
  MainStatus.Force = 0;   // a fresh game starts with the engine answering moves
  BeginGameRecord();
  return CommandActNow;
}

char Analyze(char*) {
  Status& s = MainStatus;
  RestoreFixedTime();
  SaveFixedTime();
  s.Analyze = 1;
  s.Post = 1;
  Commands.AsksForStat01 = Commands.Stat01Due = 0;   // a front end that wants them asks again in this analysis
  s.Force = 0;
  s.OpponentToMove = 0;
  s.GameInProgress = 1;
  s.NodesPerSecond = AnalysisNodesPerSecond;
  if (s.ST == 0) s.ST = AnalysisTimeLimit;
  else if (!Search.STInMilliseconds)
    s.ST = static_cast<int>(ClampArgument(static_cast<long long>(s.ST) * MsPerSecond, 1, AnalysisTimeLimit));
  return CommandActNow;
}

char Book(char*) {
  if (!MainStatus.Analyze) MainStatus.UseBook = MainStatus.UseBook ? 0 : 1;
  return CommandHandled;
}

char SetSide(int side) {
  MainBoard.SideToMove = static_cast<std::int8_t>(side);
  BeginGameRecord();
  return PositionChanged();
}

char Black(char*) { return SetSide(1); }
char White(char*) { return SetSide(0); }

char DisplayBoard(char*) {
  MainBoard.DisplayBoard();
  return CommandHandled;
}

char DumpSee(char*) {
  long long from = -1, to = -1;
  const bool read = ReadIntegerArgument(&from) && ReadIntegerArgument(&to);
  if (!read || from < 0 || from >= SquareCount || to < 0 || to >= SquareCount) return CommandHandled;
  const SquareSet fromSet = SquareBit(static_cast<int>(from)), toSet = SquareBit(static_cast<int>(to));
  const char side = MainBoard.PieceColor(toSet) ? 1 : 0;
  const int value = see.StaticExchangeEvaluation(side, fromSet, toSet, MainBoard);
  std::printf("SEE value = %d\n", value);
  Flush();
  return CommandHandled;
}

char Edit(char*) {
  SetupBoardFromEdit();
  BeginGameRecord();
  MainStatus.GameInProgress = 1;
  return PositionChanged();
}

char Exit(char*) {
  if (MainStatus.Analyze) {
    LeaveAnalysis();
    Search.AbortSearch();
  }
  return CommandActNow;
}

// Force mode ends a running search without a move: the engine must not move in it.
char Force(char*) {
  MainStatus.Force = 1;
  return Commands.Searching ? CommandActNow : CommandHandled;
}

char Go(char*) {
  MainStatus.Force = 0;
  MainStatus.OpponentToMove = 0;
  return CommandActNow;
}

// The rate of a node clock is no estimate of the wall clock's: leaving it starts the estimate afresh.
void SetNodeClock(int rate) {
  Status& s = MainStatus;
  if (rate == 0 && s.NodeClockRate > 0) s.NodesPerSecond = StartNodesPerSecond;
  s.NodeClockRate = rate;
}

// "level" and "st" are alternative time controls: the one sent last holds. An analysis keeps its
// own limit and finds no fixed time to give back when it ends.
void ForgetFixedTime() {
  if (Commands.FixedTimeSaved) {
    Commands.SavedST = 0;
    Commands.SavedSTInMilliseconds = 0;
    return;
  }
  MainStatus.ST = 0;
  Search.STInMilliseconds = 0;
}

// "level MOVES BASE INCREMENT": BASE in minutes ("1.5") or minutes:seconds, INCREMENT in seconds
// ("0.5"), both kept to the millisecond; TimeInc holds the whole seconds the log line shows. An
// argument that cannot be read leaves its field as it was. A new time control also ends a node
// clock: a front end that times by nodes sends "nps" after its time control.
char Level(char*) {
  Status& s = MainStatus;
  char moves[ArgumentSize], base[ArgumentSize], increment[ArgumentSize];
  if (!ReadArgument(moves) || !ReadArgument(base) || !ReadArgument(increment)) return CommandHandled;
  ForgetFixedTime();
  SetNodeClock(0);
  long long value = 0;
  if (ParseInteger(moves, &value)) s.MovesPerSession = static_cast<int>(ClampArgument(value, 0, LargestSessionMoves));
  if (ParseClockAsMs(base, &value)) s.TimeLeft = static_cast<int>(ClampArgument(value, 0, LargestClockMs));
  if (ParseSecondsAsMs(increment, &value)) {
    s.TimeIncMs = static_cast<int>(ClampArgument(value, 0, LargestIncrementSeconds * MsPerSecond));
    s.TimeInc = s.TimeIncMs / MsPerSecond;
  }
  LogPrintf("MovesPerSession %d TimeLeft %d TimeInc %d \n", s.MovesPerSession, s.TimeLeft, s.TimeInc);
  return CommandHandled;
}

char New(char*) {
  StartNewGame();
  return CommandActNow;
}

char NoPost(char*) {
  MainStatus.Post = 0;
  return CommandHandled;
}

char Post(char*) {
  MainStatus.Post = 1;
  return CommandHandled;
}

char OpponentTime(char*) {
  long long centiseconds = 0;
  if (ReadIntegerArgument(&centiseconds))
    LogPrintf(" %d\n", static_cast<int>(ClampArgument(centiseconds, INT_MIN, INT_MAX)));
  return CommandHandled;
}

// Answered at once: everything received before it has been handled, and a search in progress goes on.
char Ping(char*) {
  char argument[ArgumentSize];
  if (ReadArgument(argument)) {
    std::printf("pong %s\n", argument);
    Flush();
  }
  return CommandHandled;
}

char ProtocolVersion(char*) {
  long long version = 0;
  if (!ReadIntegerArgument(&version)) return CommandHandled;
  Commands.ProtocolVersion = static_cast<int>(ClampArgument(version, 1, LargestProtocolVersion));
  if (Commands.ProtocolVersion >= 2) {
    std::printf(FeatureLine, Search.CaptureSearchOn ? 1 : 0, static_cast<int>(Search.MultiPv), MaxMultiPv,
                Strength.Limited ? 1 : 0, static_cast<int>(Strength.Elo), StrengthLimits::MinElo, StrengthLimits::MaxElo,
                BookSettings.BestMove ? 1 : 0);
    Flush();
  }
  return CommandHandled;
}

// "option NAME=VALUE" for the options of the feature line; other names are ignored.
// A book file that cannot be used is an error the front end shows; no book file is used then.
void SetBookFile(const char* path) {
  char message[BookMessageSize];
  if (BookSettings.SetFile(path, message, sizeof message)) return;
  std::printf("Error (%s): option %s\n", message, BookFileOption);
  Flush();
}

char SetOption(char*) {
  char text[CommandLineRestSize];
  if (RestOfCommandLine(text, sizeof text) < 0) return CommandHandled;
  char* equals = std::strchr(text, '=');
  if (equals == nullptr) return CommandHandled;
  *equals = '\0';
  long long value = 0;
  if (std::strcmp(text, CaptureSearchOption) == 0 && ParseInteger(equals + 1, &value) && (value == 0 || value == 1))
    Search.SetCaptureSearch(value == 1);
  if (std::strcmp(text, MultiPvOption) == 0 && ParseInteger(equals + 1, &value) && value >= 1 && value <= MaxMultiPv)
    Search.MultiPv = static_cast<std::int32_t>(value);
  if (std::strcmp(text, LimitStrengthOption) == 0 && ParseInteger(equals + 1, &value) && (value == 0 || value == 1))
    Strength.Limited = static_cast<std::uint8_t>(value);
  if (std::strcmp(text, EloOption) == 0 && ParseInteger(equals + 1, &value) && value >= StrengthLimits::MinElo &&
      value <= StrengthLimits::MaxElo)
    Strength.Elo = static_cast<std::int32_t>(value);
  if (std::strcmp(text, BestBookMoveOption) == 0 && ParseInteger(equals + 1, &value) && (value == 0 || value == 1))
    BookSettings.BestMove = static_cast<std::uint8_t>(value);
  if (std::strcmp(text, BookFileOption) == 0) SetBookFile(equals + 1);
  return CommandHandled;
}

char Quit(char*) {
  MainStatus.KeepRunning = 0;
  MainStatus.GameInProgress = 0;
  Commands.QuitRequested = 1;
  if (Commands.Searching) Search.AbortSearch();
  return CommandQuit;
}

char SelfPlay(char*) {
  MainStatus.SelfPlay = 1;
  return CommandActNow;
}

// A position that cannot be played is kept, as set up, but refused: the engine neither accepts
// moves in it nor searches it until another position replaces it.
char SetBoard(char*) {
  char line[CommandLineRestSize];
  if (RestOfCommandLine(line, sizeof line) < 0) return CommandHandled;
  WriteLogFile(line);
  SetupBoard(line);
  BeginGameRecord();
  MainStatus.GameInProgress = 1;
  if (const char* error = MainBoard.SetupError()) {
    if (MainStatus.xboard) std::printf("tellusererror Illegal position\n");
    else std::printf("Illegal position: %s\n", error);
    Flush();
  }
  return PositionChanged();
}

void ClearBestMove() {
  MainBoard.BestFrom = 0;
  MainBoard.BestTo = 0;
}

// Reads the depth of "sd" and "sfd"; talks about it at the console.
void ReadMaxDepth(const char* word) {
  if (Console()) std::printf("setting MAXDEPTH\nscanstring %s\n", word);
  long long depth = 0;
  if (ReadIntegerArgument(&depth)) MainBoard.MaxDepth = static_cast<int>(ClampArgument(depth, 1, LargestSearchDepth));
  if (Console()) std::printf("MAXDEPTH %d\n", MainBoard.MaxDepth);
  Flush();
}

char SetDepth(char* word) {
  ReadMaxDepth(word);
  ClearBestMove();
  return CommandHandled;
}

char SetFixedDepth(char* word) {
  if (Console()) ReadMaxDepth(word);
  MainBoard.FixedDepth = MainBoard.MaxDepth;
  ClearBestMove();
  return CommandHandled;
}

// "st SECONDS": a fixed time per move. Whole seconds are kept as seconds; a fraction switches the
// field to milliseconds (the nine tenths that are planned) so that "st 0.5" does not become 0.
// "st": a fixed time per move, in whole seconds or a fraction of one.
void SetFixedTimeMs(long long ms) {
  Status& s = MainStatus;
  RestoreFixedTime();
  if (ms % MsPerSecond == 0) {
    s.ST = static_cast<int>(ms / MsPerSecond);
    Search.STInMilliseconds = 0;
    s.TimePerMove = s.ST * PlannedPerMille;
  } else {
    const long long planned = ms * PlannedPerMille / MsPerSecond;
    s.ST = static_cast<int>(planned > 0 ? planned : 1);
    Search.STInMilliseconds = 1;
    s.TimePerMove = s.ST;
  }
  s.TimeLeft = static_cast<int>(ms * (MsLeftPerStSecond / MsPerSecond));
}

char FixedTime(char*) {
  char argument[ArgumentSize];
  long long ms = 0;
  if (!ReadArgument(argument) || !ParseSecondsAsMs(argument, &ms) || ms < 0) return CommandHandled;
  SetFixedTimeMs(ClampArgument(ms, 0, LargestStMs));
  return CommandHandled;
}

// The console's own list of what it understands; a front end learns that from its protocol.
char Help(char* word) {
  if (!Console()) return UnknownCommand(word);
  std::printf("%s", ConsoleHelp);
  Flush();
  return CommandHandled;
}

// "nps N": the search times itself by its node count, N nodes to a second; 0 goes back to the wall
// clock. A limit "st S" then means S * N nodes at most.
char NodeRate(char*) {
  long long rate = 0;
  if (ReadIntegerArgument(&rate) && rate >= 0) SetNodeClock(static_cast<int>(ClampArgument(rate, 0, INT_MAX)));
  return CommandHandled;
}

char Time(char*) {
  long long centiseconds = 0;
  if (ReadIntegerArgument(&centiseconds))
    MainStatus.TimeLeft = static_cast<int>(ClampArgument(centiseconds, 0, LargestClockMs / MsPerCentisecond) *
                                           MsPerCentisecond);
  return CommandHandled;
}

char TraceFlag(char*) {
  MainStatus.Trace = MainStatus.Trace ? 0 : 1;
  return CommandHandled;
}

// A takeback the record cannot make is refused aloud: the front end has taken the moves back on
// its board, and a silent refusal would leave the two boards apart, the engine then playing for
// the wrong side.
char TakeBack(const char* word, int moves) {
  const TakeBackRefusal refusal = TakeBackMoves(moves);
  if (refusal == TakeBackRefusal::None) return PositionChanged();
  if (refusal == TakeBackRefusal::NotKept)
    std::printf("Error (only the last %d moves can be taken back): %s\n", TakeBackLimit, word);
  else
    std::printf("Error (not enough moves to take back): %s\n", word);
  Flush();
  return CommandHandled;
}

char Undo(char* word) { return TakeBack(word, 1); }

// Takes back the last move of each side; the same side is to move again.
char Remove(char* word) { return TakeBack(word, 2); }

char Xboard(char*) {
  MainStatus.xboard = 1;
  return CommandHandled;
}

// "memory N": the transposition table gets the N MiB (the pawn table's few MiB are left out of the
// account). A size that cannot be had keeps the table as it was.
char Memory(char*) {
  long long mebibytes = 0;
  if (!ReadIntegerArgument(&mebibytes)) return CommandHandled;
  const int size = static_cast<int>(ClampArgument(mebibytes, TTMinMiB, TTMaxMiB));
  if (!PositionCache.Resize(size)) {
    std::printf("Error (cannot allocate %d MiB; the table stays at %d MiB): memory\n", size, PositionCache.SizeMiB());
    Flush();
  }
  return CommandHandled;
}

struct Command {
  const char* Word;
  char (*Handle)(char* word);
};

// In the order the words are tested; compared whole and case-sensitively.
const Command CommandTable[] = {
    {".", Stat01},           {"?", MoveNow},          {"ClearGameInfo", Ignore}, {"InitGameInfo", Ignore},
    {"abort", Abort},        {"analyze", Analyze},    {"beep", Ignore},          {"bk", Book},
    {"black", Black},        {"bogus", Ignore},       {"displayboard", DisplayBoard},
    {"draw", Ignore},        {"dumpsee", DumpSee},    {"easy", Ignore},          {"edit", Edit},
    {"exit", Exit},          {"force", Force},        {"fullrand", Ignore},      {"go", Go},
    {"hard", Ignore},        {"help", Help},          {"hint", Ignore},          {"level", Level},
    {"name", IgnoreLine},
    {"new", New},            {"nopost", NoPost},      {"otim", OpponentTime},    {"ponder", Ignore},
    {"post", Post},          {"quit", Quit},          {"random", Ignore},        {"remove", Remove},
    {"selfplay", SelfPlay},  {"setboard", SetBoard},  {"Depth", SetDepth},       {"DEPTH", SetDepth},
    {"sd", SetDepth},        {"sfd", SetFixedDepth},  {"st", FixedTime},         {"time", Time},
    {"traceflag", TraceFlag}, {"undo", Undo},       {"white", White},          {"xboard", Xboard},
    // Protocol version 2.
    {"protover", ProtocolVersion}, {"ping", Ping},    {"accepted", IgnoreLine},  {"rejected", IgnoreLine},
    {"result", IgnoreLine},  {"computer", Ignore},    {"rating", IgnoreLine},    {"ics", IgnoreLine},
    {"option", SetOption},   {"memory", Memory},      {"nps", NodeRate},
};

// A move that arrives while the engine analyses ends the search and is played right after it; the
// analysis goes on from the new position. An illegal one is refused at once and the search goes on.
// While the engine thinks on its own move no move of the opponent can be due: it changes nothing.
char MoveDuringSearch(const char* word) {
  if (!MainStatus.Analyze) {
    std::printf("Illegal move (not your turn): %s\n", word);
    Flush();
    return CommandHandled;
  }
  CheckedMove move;
  if (!FindLegalMove(word, MainBoard, &move)) {
    std::printf("Illegal move: %s\n", word);
    Flush();
    return CommandHandled;
  }
  std::snprintf(Commands.PendingMove, sizeof Commands.PendingMove, "%s", word);
  Commands.HasPendingMove = 1;
  return CommandActNow;
}

}  // namespace

bool LooksLikeMove(const char* word) {
  if (word == nullptr) return false;
  return word[0] >= 'a' && word[0] <= 'h' && word[1] >= '0' && word[1] <= '8';
}

void ApplyConsoleDefaultTime() {
  const Status& s = MainStatus;
  if (!Console() || MainStatus.UCIMode || s.Analyze || s.ST != 0 || s.TimeLeft > 0 || s.FD != 0) return;
  SetFixedTimeMs(static_cast<long long>(ConsoleDefaultSeconds) * MsPerSecond);
  std::printf("No time control is set: thinking %d seconds a move (\"st N\" or \"level MOVES MINUTES INCREMENT\" "
              "sets one)\n", ConsoleDefaultSeconds);
  Flush();
}

void StartNewGame() {
  Status& s = MainStatus;
  Search.ClearHistory();
  MainBoard.InitRep();
  if (s.Analyze) LeaveAnalysis();
  s.initVars();
  s.OpponentToMove = 1;
  s.GameInProgress = 1;
  s.Force = 0;
  MainBoard.FiftyMoveCount = 0;
  MainBoard.SideToMove = 0;
  Search.STInMilliseconds = 0;
  Commands.HasPendingMove = 0;
  BeginGameRecord();
}

namespace {

// The answer XBoard reads to learn what an engine lacks; the rest of the line is the unknown
// command's own, and none of its words is taken for a command.
char UnknownCommand(char* word) {
  if (*word == '\0') return CommandHandled;
  std::printf("Error (unknown command): %s\n", word);
  Flush();
  return IgnoreLine(word);
}

char Dispatch(char* word) {
  for (const Command& command : CommandTable) {
    if (std::strcmp(word, command.Word) == 0) return command.Handle(word);
  }
  if (!LooksLikeMove(word)) return UnknownCommand(word);
  return Commands.Searching ? MoveDuringSearch(word) : CommandLooksLikeMove;
}

}  // namespace

char DoCommand(char* word) {
  if (word == nullptr) return CommandHandled;
  WriteLogFile(word);
  const bool fromMoveEntry = BeginCommandLine();
  const char code = Dispatch(word);
  EndCommandLine(fromMoveEntry);
  return code;
}
