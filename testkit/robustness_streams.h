#pragma once
// Random input streams for the robustness tests, deterministic by seed. A stream speaks one
// operating mode (UCI, xboard, console, or xboard with long board-editing sessions) and mixes valid
// commands with absurd arguments, garbage words, binary bytes, over-long lines, truncated and
// out-of-range moves, malformed FEN records and commands in the wrong state. It ends in one of three
// ways: "quit", the end of input somewhere in the middle of a line, or open (the driver then checks
// that the engine still answers).
#include <cstdint>
#include <iterator>
#include <string>

#include "board/ChessBoard.h"
#include "protocol/MoveCheck.h"
#include "protocol/UciMoves.h"
#include "GameBoard.h"

namespace robustness {

enum class Mode { Uci, Xboard, Console, Edit };
constexpr Mode AllModes[] = {Mode::Uci, Mode::Xboard, Mode::Console, Mode::Edit};

inline const char* ModeName(Mode mode) {
  constexpr const char* Names[] = {"uci", "xboard", "console", "edit"};
  return Names[static_cast<int>(mode)];
}

inline bool SpeaksUci(Mode mode) { return mode == Mode::Uci; }

enum class Ending { Quit, EndOfInput, Open };

struct Stream {
  Mode Kind = Mode::Uci;
  std::uint64_t Seed = 0;
  std::string Text;   // everything sent, the first word that chooses the mode included
  Ending End = Ending::Open;
};

// splitmix64: small, fast and the same everywhere.
class Random {
public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  int Between(int low, int high) { return low + Below(high - low + 1); }
  bool Percent(int p) { return Below(100) < p; }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) { return items[Below(static_cast<int>(N))]; }

private:
  std::uint64_t state_;
};

constexpr std::size_t OverLongLine = 100000;

constexpr const char* SoundFens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
    "8/P6k/8/8/8/8/6Kp/8 b - - 99 80",
    "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1",        // stalemate
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1",  // mate in one
    "k7/8/8/8/8/8/8/K7 w - - 0 1",            // bare kings
    "4k3/8/8/8/8/8/8/4K2R w K - 120 90",      // past the fifty-move rule
};

constexpr const char* BrokenFens[] = {
    "KKKKKKKK/kkkkkkkk/8/8/8/8/8/8 w KQkq - 0 1",
    "QQQQQQQQ/QQQQQQQQ/QQQQkQQQ/QQQQQQQQ/QQQQQQQQ/QQQQQQQQ/QQQQQQQQ/QQQQQQQK w KQkq e3 -5 0",
    "PPPPPPPP/pppppppp/8/4k3/8/8/PPPPPPPP/ppppKppp b - - 0 1",           // pawns on the back ranks
    "rnbqkbnr/pppppppp/8/8/8/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",    // ten ranks
    "rnbqkbnrr/ppppppppp/99/8/8/8/PPPPPPPP/RNBQKBNR x ZZZ e9 99999999999999999999 -3"};

// A FEN record that is often broken: fields missing or added, a king missing, kings doubled, too
// many pieces, ranks too long or too many, nonsense in every field.
inline std::string RandomFen(Random& r) {
  std::string fen = r.Pick(SoundFens);
  const int form = r.Below(12);
  const std::size_t first = fen.find(' ');
  if (form <= 1) return fen.substr(0, form == 0 ? first : fen.find(' ', first + 1));
  if (form == 2) return fen + " 7 extra fields 12 -";
  if (form == 3 || form == 4)
    for (char& c : fen) c = c == "Kk"[form - 3] ? "1q"[form - 3] : c;
  if (form >= 5 && form <= 9) return BrokenFens[form - 5];
  if (form == 10) fen = std::string(r.Between(1, 2000), "/8kK1pPqQ -"[r.Below(12)]);
  return fen;
}

constexpr const char* AbsurdNumbers[] = {
    "-5", "-1", "0", "-0", "+7", "1000000", "2147483647", "2147483648", "-2147483648", "-2147483649",
    "99999999999999999999999999", "1e9", "0x10", "abc", "3.5", "0:30", "1:", ":", "-0:30", "NaN", "12abc", "",
};

// Move text: a plausible move, a promotion, or something truncated, out of range or misspelt.
inline std::string RandomMove(Random& r) {
  static constexpr const char* Broken[] = {"e2", "e2e", "e9e4", "i2i4", "e0e1", "e7e8k", "e7e8qq", "a1a1", "E2E4",
                                           "e2-e4", "0000", "O-O", "h8h9q", "a", "e2e4e5", "b7b8Q", "e1g1"};
  if (r.Percent(30)) return r.Pick(Broken);
  std::string move;
  for (int i = 0; i < 4; i++) move += static_cast<char>(i % 2 ? '1' + r.Below(8) : 'a' + r.Below(8));
  return r.Percent(10) ? move + "qrbnQk"[r.Below(6)] : move;
}

// A line of play from the start position, all legal.
inline std::string RandomLegalLine(Random& r, int plies) {
  nelktest::GameBoard game;
  std::string line;
  for (int ply = 0; ply < plies; ply++) {
    const std::string move = game.LegalMove(r.Below(MaxMovesInList));
    if (move.empty()) break;
    game.Play(move);
    line += (line.empty() ? "" : " ") + move;
  }
  return line;
}

// Commands as templates whose holes are filled at random (Fill): %F a FEN record, %M a move, %L a
// legal line of play, %N a number (%I 0 or 1, %D a depth, %T a time, %A an absurd one: a fair
// share of the others are absurd too), %W a garbage word, %G "go" arguments, %O an option name, %E an edit
// session, %V or %X a word of the mode's vocabulary, %C a console time command.
constexpr const char* UciCommands[] = {
    "uci", "isready", "ucinewgame", "position startpos moves %L", "position fen %F", "position fen %F moves %M %M",
    "position startpos moves %M %M", "go%G", "go%G", "stop", "ponderhit", "setoption name %O value %B",
    "setoption name %O value %A", "setoption name %O", "position", "go searchmoves"};
constexpr const char* XboardCommands[] = {
    "%X", "%X", "%X", "level %N %I %I", "level %N 0:0%D %I", "st 0.2", "st 1", "st %A", "sd %D", "sfd %D", "time %T",
    "otim %T", "ping %N", "setboard %F", "setboard %F", "protover %D", "dumpsee %N %N", "%E", "%E", "name %W %W",
    "result 1-0 {White mates}", "accepted setboard", "%M", "%M"};
// At the console the engine reads nothing while it thinks about its own move, so a long time
// control would only make the stream last: its time commands keep the thinking short.
constexpr const char* ConsoleCommands[] = {
    "%X", "%X", "%X", "%C", "%C", "%C", "%C", "%C", "ping %N", "setboard %F", "setboard %F", "protover %D",
    "dumpsee %N %N", "%E", "%E", "name %W %W", "result 1-0 {White mates}", "%M", "%M", "%M", "%M", "%M"};
constexpr const char* ConsoleTimes[] = {"st 0.05", "sd 1", "sd 3", "sd %A", "otim 99999999999", "time -5"};
// Words that stand alone or read the next words as their arguments (%X; %V leaves out the first,
// as self-play would make a line of words last). "quit" is left out: it ends a stream only on purpose.
constexpr const char* UciWords[] = {"uci", "isready", "ucinewgame", "position", "startpos", "fen", "moves", "go",
                                    "wtime", "btime", "infinite", "ponder", "stop", "ponderhit", "setoption", "name",
                                    "value", "depth", "movetime", "searchmoves"};
constexpr const char* XboardWords[] = {
    "selfplay", "new", "force", "go", "?", ".", "white", "black", "post", "nopost", "analyze", "exit", "undo", "remove",
    "hard", "easy", "random", "draw", "bk", "hint", "computer", "displayboard", "abort", "ClearGameInfo", "bogus",
    "beep", "fullrand", "ponder", "xboard", "edit", "ping", "setboard", "sd", "otim", "level", "st", "time"};
constexpr int XboardWordCount = static_cast<int>(std::size(XboardWords));
constexpr int ConsoleWordCount = XboardWordCount - 3;   // the clock words left out
constexpr const char* GoArguments[] = {" wtime %T", " btime %T", " winc %T", " binc %T", " movestogo %N",
                                       " depth %D", " movetime %T", " nodes %N", " mate %D", " infinite",
                                       " ponder", " searchmoves %M %M"};
constexpr const char* Options[] = {"OwnBook", "SecondaryBook", "UCI_ShowCurrLine", "UCI_AnalyseMode", "Ponder",
                                   "Hash", "", "UCI_EngineAbout"};
constexpr const char* EditWords[] = {"#", "c", "%P%S", "%P%S", "%P%S", "x%S", "K%S", "%Pi9", "xi9", "%W"};
constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.?#-+/:;=_*";
constexpr int EditWordsInMode = 60, EditWordsElsewhere = 12;

inline std::string Fill(Random& r, Mode mode, const std::string& form);

// A number: small in the valid streams, absurd in a fair share of them.
inline std::string Number(Random& r, int low, int high) {
  return r.Percent(25) ? r.Pick(AbsurdNumbers) : std::to_string(r.Between(low, high));
}

inline std::string GarbageWord(Random& r) {
  std::string word;
  for (int i = r.Between(1, 12); i > 0; i--) word += Letters[r.Below(sizeof Letters - 1)];
  return word == "quit" ? "quiet" : word;
}

inline std::string EditSession(Random& r, Mode mode, int words) {
  std::string text = "edit\n";
  for (int i = 0; i < words; i++) text += Fill(r, mode, r.Pick(EditWords)) + (r.Percent(70) ? "\n" : " ");
  return text + (r.Percent(85) ? ".\n" : "");
}

inline std::string Hole(Random& r, Mode mode, char kind) {
  switch (kind) {
    case 'F': return RandomFen(r);
    case 'M': return RandomMove(r);
    case 'L': return RandomLegalLine(r, r.Below(40));
    case 'N': return Number(r, 0, 63);
    case 'I': return Number(r, 0, 1);
    case 'D': return Number(r, 1, 4);
    case 'T': return Number(r, 10, 500);
    case 'A': return r.Pick(AbsurdNumbers);
    case 'B': return r.Percent(50) ? "true" : "false";
    case 'W': return GarbageWord(r);
    case 'O': return r.Pick(Options);
    case 'P': return std::string(1, "PNBRQK"[r.Below(6)]);
    case 'S': return std::string{static_cast<char>('a' + r.Below(8)), static_cast<char>('1' + r.Below(8))};
    case 'E': return EditSession(r, mode, r.Below(mode == Mode::Edit ? EditWordsInMode : EditWordsElsewhere));
    case 'G': {
      std::string arguments;
      for (int i = r.Below(4); i > 0; i--) arguments += Fill(r, mode, r.Pick(GoArguments));
      return arguments;
    }
    case 'V':
    case 'X': {
      if (SpeaksUci(mode)) return r.Pick(UciWords);
      const int first = kind == 'V' ? 1 : 0;
      return XboardWords[first + r.Below((mode == Mode::Console ? ConsoleWordCount : XboardWordCount) - first)];
    }
    case 'C': return Fill(r, mode, r.Pick(ConsoleTimes));
    default: return std::string(1, kind);
  }
}

inline std::string Fill(Random& r, Mode mode, const std::string& form) {
  std::string text;
  for (std::size_t i = 0; i < form.size(); i++) text += form[i] == '%' ? Hole(r, mode, form[++i]) : std::string(1, form[i]);
  return text;
}

inline std::string ModeCommand(Random& r, Mode mode) {
  if (SpeaksUci(mode)) return Fill(r, mode, r.Pick(UciCommands));
  return Fill(r, mode, mode == Mode::Console ? r.Pick(ConsoleCommands) : r.Pick(XboardCommands));
}

inline std::string BinaryBytes(Random& r) {
  std::string bytes;
  for (int i = r.Between(1, 64); i > 0; i--) bytes += static_cast<char>(r.Below(256));
  for (char& c : bytes) c = c == '\n' ? '\x7f' : c;
  return bytes;
}

// A line of 100 000 characters or more: one word, words of the mode, a position, moves.
inline std::string OverLong(Random& r, Mode mode) {
  const char* forms[] = {"xxxxxxxxxx", "%V ", SpeaksUci(mode) ? " e2e4 e7e5 g1f3 b8c6" : " rnbqkbnr/pppppppp", "%M "};
  const int form = r.Below(4);
  std::string line = form != 2 ? "" : SpeaksUci(mode) ? "position startpos moves" : "setboard";
  while (line.size() < OverLongLine) line += Fill(r, mode, forms[form]);
  return line;
}

inline std::string Command(Random& r, Mode mode) {
  const int roll = r.Below(100);
  if (roll < 55) return ModeCommand(r, mode);
  if (roll < 65) return Fill(r, mode, r.Percent(50) ? "%M %M" : "%M");
  if (roll < 75) return Fill(r, mode, "%W %W");
  if (roll < 80) return Fill(r, mode, "%V %V %A");
  if (roll < 85) return BinaryBytes(r);
  if (roll < 87) return OverLong(r, mode);
  if (roll < 93) return r.Pick({"", "", " \t \r", "\r"});
  if (mode == Mode::Edit) return EditSession(r, mode, r.Below(EditWordsInMode));
  return ModeCommand(r, mode);
}

// One stream. The first word chooses the mode as the program reads it.
inline Stream MakeStream(Mode mode, std::uint64_t seed, int maxCommands = 24) {
  Random r(seed * 4 + static_cast<std::uint64_t>(mode));
  Stream s{mode, seed, SpeaksUci(mode) ? "uci\n" : "xboard\n", Ending::Open};
  if (mode == Mode::Console) s.Text = std::string(r.Pick({"hello", "play", "e2e4", "new"})) + "\nst 0.05\n";
  if (mode == Mode::Edit) s.Text += "new\nforce\n";
  for (int i = r.Between(1, maxCommands); i > 0; i--) s.Text += Command(r, mode) + "\n";
  const int end = r.Below(100);
  if (end < 15) {
    // xboard: "quit" must not be taken as an edit word or a missing argument ("level 40").
    s.End = Ending::Quit;
    s.Text += SpeaksUci(mode) ? "quit\n" : "\n. . . . . . . .\nquit\n";
  } else if (end < 35) {
    // The end of input at any point: inside a word, a line or an argument list.
    s.End = Ending::EndOfInput;
    s.Text.resize(static_cast<std::size_t>(r.Between(1, static_cast<int>(s.Text.size()))));
  }
  return s;
}

}  // namespace robustness
