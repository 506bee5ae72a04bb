#pragma once
// Fixed texts of the UCI dialogue: what the engine sends and what it writes to the match log.

namespace UciText {

constexpr const char* IdName = "id name Nelk ";            // followed by UCIProtocol::Version
constexpr const char* IdAuthor = "id author The Nelk developers";
constexpr const char* Options[] = {
    "option name UCI_AnalyseMode type check default false",
    "option name OwnBook type check default false",
    "option name SecondaryBook type check default false",
    "option name UCI_ShowCurrLine type check default true",
    "option name Ponder type check default false",
};
// Sent after the about option: the table's size in MiB (its current size as the default), then the
// rest.
constexpr const char* HashOptionFormat = "option name Hash type spin default %d min %d max %d";
constexpr const char* MoreOptions[] = {
    "option name Clear Hash type button",
    "option name CaptureSearch type check default false",
    "option name Move Overhead type spin default 10 min 0 max 5000",
    "option name MultiPV type spin default 1 min 1 max 64",
    "option name UCI_LimitStrength type check default false",
    "option name UCI_Elo type spin default 1600 min 1350 max 1900",
    "option name BookFile type string default <empty>",
    "option name Best Book Move type check default false",
};
constexpr const char* AboutOption = "option name UCI_EngineAbout type string default ";
constexpr const char* About = "Nelk, a bitboard chess engine that searches with alpha-beta and iterative deepening";
constexpr const char* UciOk = "uciok";
constexpr const char* ReadyOk = "readyok";
constexpr const char* NoMove = "0000";              // the best move of a position without legal moves

// Option names and the value that switches a check option on.
constexpr const char* OwnBook = "OwnBook";
constexpr const char* SecondaryBook = "SecondaryBook";
constexpr const char* ShowCurrLine = "UCI_ShowCurrLine";
constexpr const char* AnalyseMode = "UCI_AnalyseMode";
constexpr const char* Ponder = "Ponder";
constexpr const char* Hash = "Hash";
constexpr const char* ClearHash = "Clear Hash";
constexpr const char* CaptureSearch = "CaptureSearch";
constexpr const char* MoveOverhead = "Move Overhead";
constexpr const char* MultiPv = "MultiPV";
constexpr const char* LimitStrength = "UCI_LimitStrength";
constexpr const char* Elo = "UCI_Elo";
constexpr const char* BookFile = "BookFile";
constexpr const char* BestBookMove = "Best Book Move";
constexpr const char* True = "true";

// Match log.
constexpr const char* LogUciOk = "Sent uciok\n";
constexpr const char* LogReadyOk = "Sent readyok\n";
constexpr const char* LogSearchFinished = "Received the NelkSearchFinished message - a search has finished\n";
constexpr const char* LogSearchFinishedRule = "===========================================================\n";
constexpr const char* LogStop = "Received stop and Aborting Ponder\n";
constexpr const char* LogNewGameWhileBusy = "Received ucinewgame while doing something other than WAITING\n";
constexpr const char* LogCommandWhileBusy = "Received a new position or search while doing something other than WAITING\n";
constexpr const char* LogNewGame = "Processing ucinewgame\n";
constexpr const char* LogReturning = "State != WAITING so returning 1\n";

}  // namespace UciText

// Settings that the dialogue gives the engine.
namespace UciSettings {
constexpr int DefaultNodesPerSecond = 800000;      // node-rate estimate of a new game and of analysis
constexpr int AnalyseNodesPerSecond = 200005;      // "UCI_AnalyseMode" switched on
constexpr int AnalysisMilliseconds = 1209600000;   // two weeks: an analysis has no time limit
constexpr int MillisecondsPerSecond = 1000;
constexpr int MoveTimeToTimeLeft = 60;             // "movetime": the clock is taken as 60 such moves
constexpr int MaxDepth = 100;                      // deepest "go depth" the iterations can reach
constexpr int MaxMoveOverheadMs = 5000;            // "Move Overhead" from 0 to this
}  // namespace UciSettings
