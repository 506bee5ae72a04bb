#pragma once
// Random input streams for the robustness tests, deterministic by seed. A stream speaks one
// operating mode (UCI, xboard, console, or xboard with long board-editing sessions) and mixes valid
// commands with absurd arguments, garbage words, binary bytes, over-long lines, truncated and
// out-of-range moves, malformed FEN records and commands in the wrong state. It ends in one of three
// ways: "quit", the end of input somewhere in the middle of a line, or open (the driver then checks
// that the engine still answers).
#include <cstdint>
#include <string>
#include <vector>

#include "board/ChessBoard.h"
#include "movegen/MoveGen.h"
#include "protocol/MoveCheck.h"
#include "tools/Fen.h"
#include "robustness_checks.h"

namespace robustness {

enum class Mode { Uci, Xboard, Console, Edit };
constexpr Mode AllModes[] = {Mode::Uci, Mode::Xboard, Mode::Console, Mode::Edit};

inline const char* ModeName(Mode mode) {
  switch (mode) {
    case Mode::Uci: return "uci";
    case Mode::Xboard: return "xboard";
    case Mode::Console: return "console";
    case Mode::Edit: return "edit";
  }
  return "?";
}

inline bool SpeaksUci(Mode mode) { return mode == Mode::Uci; }

enum class Ending { Quit, EndOfInput, Open };

struct Stream {
  Mode Kind = Mode::Uci;
  std::uint64_t Seed = 0;
  std::string Text;                // everything sent, the first word that chooses the mode included
  Ending End = Ending::Open;
  int ReadyRequests = 0;           // UCI: lines that ask "isready" (each is answered once)
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

constexpr int OverLongLine = 100000;

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

// A FEN record that is often broken: fields missing or added, kings missing or doubled, too many
// pieces, ranks too long or too many, nonsense in every field.
inline std::string RandomFen(Random& r) {
  std::string fen = r.Pick(SoundFens);
  switch (r.Below(12)) {
    case 0: fen = fen.substr(0, fen.find(' ')); break;                                  // placement only
    case 1: fen = fen.substr(0, fen.find(' ', fen.find(' ') + 1)); break;               // two fields
    case 2: fen += " 7 extra fields 12 -"; break;
    case 3: for (char& c : fen) if (c == 'K') c = '1'; break;                            // no white king
    case 4: for (char& c : fen) if (c == 'k') c = 'q'; break;                            // no black king
    case 5: fen = "KKKKKKKK/kkkkkkkk/8/8/8/8/8/8 w KQkq - 0 1"; break;
    case 6: fen = "QQQQQQQQ/QQQQQQQQ/QQQQkQQQ/QQQQQQQQ/QQQQQQQQ/QQQQQQQQ/QQQQQQQQ/QQQQQQQK w KQkq e3 -5 0"; break;
    case 7: fen = "PPPPPPPP/pppppppp/8/4k3/8/8/PPPPPPPP/ppppKppp b - - 0 1"; break;          // pawns on the back ranks
    case 8: fen = "rnbqkbnr/pppppppp/8/8/8/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"; break;    // ten ranks
    case 9: fen = "rnbqkbnrr/ppppppppp/99/8/8/8/PPPPPPPP/RNBQKBNR x ZZZ e9 99999999999999999999 -3"; break;
    case 10: fen = std::string(r.Between(1, 2000), "/8kK1pPqQ -"[r.Below(12)]); break;
    default: break;   // sound
  }
  return fen;
}

constexpr const char* AbsurdNumbers[] = {
    "-5", "-1", "0", "-0", "+7", "1000000", "2147483647", "2147483648", "-2147483648", "-2147483649",
    "99999999999999999999999999", "1e9", "0x10", "abc", "3.5", "0:30", "1:", ":", "-0:30", "NaN", "12abc", "",
};

inline std::string AbsurdNumber(Random& r) { return r.Pick(AbsurdNumbers); }

inline std::string SquareText(Random& r) {
  std::string s(1, static_cast<char>('a' + r.Below(8)));
  return s + static_cast<char>('1' + r.Below(8));
}

// Move text: a plausible move, a promotion, or something truncated, out of range or misspelt.
inline std::string RandomMove(Random& r) {
  static constexpr const char* Broken[] = {"e2", "e2e", "e9e4", "i2i4", "e0e1", "e7e8k", "e7e8qq", "a1a1", "E2E4",
                                           "e2-e4", "0000", "O-O", "h8h9q", "a", "e2e4e5", "b7b8Q", "e1g1"};
  if (r.Percent(30)) return r.Pick(Broken);
  std::string move = SquareText(r) + SquareText(r);
  if (r.Percent(10)) move += "qrbnQk"[r.Below(6)];
  return move;
}

// A line of play from the start position, all legal, found with the engine's own generator.
inline std::string RandomLegalLine(Random& r, int plies) {
  const ChessBoard saved = MainBoard;
  MainBoard.InitRep();
  ChessBoard board = MainBoard;
  MainBoard = saved;
  std::string line;
  for (int ply = 0; ply < plies; ply++) {
    MoveGen list;
    ChessBoard scratch = board;
    const int count = list.GenerateAllMoves(board.SideToMove, &scratch, board.CastleFlags);
    if (count <= 0) break;
    const int i = r.Below(count < MaxMovesInList ? count : MaxMovesInList);
    const int from = SquareIndex(list.FromSquares[i]), to = SquareIndex(list.ToSquares[i]);
    std::string text{static_cast<char>('a' + from % 8), static_cast<char>('1' + from / 8),
                     static_cast<char>('a' + to % 8), static_cast<char>('1' + to / 8)};
    if (list.Promotions[i] != NoPromotion) text += 'q';
    CheckedMove move;
    if (!FindLegalMove(text.c_str(), board, &move)) continue;   // pseudo-legal only: try another
    PlayChecked(board, move);
    line += (line.empty() ? "" : " ") + text;
  }
  return line;
}

inline std::string GarbageWord(Random& r) {
  static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.?#-+/:;=_*";
  std::string word;
  for (int i = r.Between(1, 12); i > 0; i--) word += Letters[r.Below(sizeof Letters - 1)];
  return word == "quit" ? "quiet" : word;
}

inline std::string BinaryBytes(Random& r) {
  std::string bytes;
  for (int i = r.Between(1, 64); i > 0; i--) {
    char c = static_cast<char>(r.Below(256));
    if (c == '\n') c = '\x7f';
    bytes += c;
  }
  return bytes;
}

// Words of the mode's own vocabulary, "quit" excepted (it ends a stream only on purpose).
inline std::string VocabularyWord(Random& r, Mode mode) {
  static constexpr const char* Uci[] = {"uci", "isready", "ucinewgame", "position", "startpos", "fen", "moves",
                                        "go", "wtime", "btime", "infinite", "ponder", "stop", "ponderhit",
                                        "setoption", "name", "value", "depth", "movetime", "searchmoves"};
  static constexpr const char* Xboard[] = {"new", "force", "go", "edit", ".", "?", "level", "st", "sd", "time",
                                           "otim", "ping", "setboard", "white", "black", "analyze", "exit", "undo",
                                           "remove", "post", "nopost", "bk", "hard", "easy", "random", "draw"};
  if (SpeaksUci(mode)) return r.Pick(Uci);
  const std::string word = r.Pick(Xboard);
  // The console's thinking stays short (see XboardCommand): no time control from stray words.
  if (mode == Mode::Console && (word == "level" || word == "st" || word == "time")) return "post";
  return word;
}

inline std::string OverLong(Random& r, Mode mode) {
  std::string line;
  switch (r.Below(4)) {
    case 0: line.assign(OverLongLine, 'x'); break;
    case 1:
      while (line.size() < OverLongLine) line += VocabularyWord(r, mode) + " ";
      break;
    case 2:
      line = SpeaksUci(mode) ? "position startpos moves" : "setboard";
      while (line.size() < OverLongLine) line += SpeaksUci(mode) ? " e2e4 e7e5 g1f3 b8c6" : " rnbqkbnr/pppppppp";
      break;
    default:
      while (line.size() < OverLongLine) line += RandomMove(r) + " ";
      break;
  }
  return line;
}

// A search limit: small in the valid streams, absurd in a fair share of them.
inline std::string Limit(Random& r, int low, int high) {
  return r.Percent(25) ? AbsurdNumber(r) : std::to_string(r.Between(low, high));
}

inline std::string UciGo(Random& r) {
  std::string line = "go";
  static constexpr const char* Keys[] = {"wtime", "btime", "winc", "binc", "movestogo", "depth", "movetime", "nodes",
                                         "mate", "infinite", "ponder", "searchmoves"};
  for (int i = r.Below(4); i > 0; i--) {
    const std::string key = r.Pick(Keys);
    line += " " + key;
    if (key == "infinite" || key == "ponder") continue;
    if (key == "searchmoves") {
      for (int m = r.Below(4); m > 0; m--) line += " " + RandomMove(r);
    } else if (key == "depth" || key == "mate") {
      line += " " + Limit(r, 1, 4);
    } else if (key == "movestogo") {
      line += " " + Limit(r, 1, 40);
    } else if (key == "nodes") {
      line += " " + Limit(r, 1, 20000);
    } else {
      line += " " + Limit(r, 10, 300);
    }
  }
  return line;
}

inline std::string UciCommand(Random& r, int* readyRequests) {
  static constexpr const char* Options[] = {"OwnBook", "SecondaryBook", "UCI_ShowCurrLine", "UCI_AnalyseMode",
                                            "Ponder",  "Hash",          "",                 "UCI_EngineAbout"};
  switch (r.Below(12)) {
    case 0: return "uci";
    case 1: ++*readyRequests; return "isready";
    case 2: return "ucinewgame";
    case 3: return "position startpos moves " + RandomLegalLine(r, r.Below(40));
    case 4: return "position fen " + RandomFen(r) + (r.Percent(50) ? " moves " + RandomMove(r) + " " + RandomMove(r) : "");
    case 5: return "position startpos moves " + RandomMove(r) + " " + RandomMove(r);
    case 6: case 7: return UciGo(r);
    case 8: return "stop";
    case 9: return "ponderhit";
    case 10: {
      const std::string value = r.Percent(50) ? (r.Percent(50) ? "true" : "false") : AbsurdNumber(r);
      return std::string("setoption name ") + r.Pick(Options) + (r.Percent(80) ? " value " + value : "");
    }
    default: return r.Percent(50) ? "position" : "go searchmoves";
  }
}

inline std::string EditWord(Random& r) {
  switch (r.Below(8)) {
    case 0: return "#";
    case 1: return "c";
    case 2: return std::string(1, "PNBRQK"[r.Below(6)]) + SquareText(r);
    case 3: return "x" + SquareText(r);
    case 4: return std::string(1, "PNBRQKx"[r.Below(7)]) + (r.Percent(50) ? "i9" : "");
    case 5: return "K" + SquareText(r);
    case 6: return GarbageWord(r);
    default: return std::string(1, "PNBRQ"[r.Below(5)]) + SquareText(r);
  }
}

inline std::string EditSession(Random& r, int words) {
  std::string text = "edit\n";
  for (int i = 0; i < words; i++) text += EditWord(r) + (r.Percent(70) ? "\n" : " ");
  return text + (r.Percent(85) ? ".\n" : "");
}

inline std::string XboardCommand(Random& r, Mode mode) {
  static constexpr const char* Plain[] = {"new", "force", "go", "?", ".", "white", "black", "post", "nopost",
                                          "analyze", "exit", "undo", "remove", "hard", "easy", "random", "draw",
                                          "bk", "hint", "computer", "displayboard", "abort", "selfplay",
                                          "ClearGameInfo", "bogus", "beep", "fullrand", "ponder", "xboard"};
  // At the console the engine reads nothing while it thinks about its own move, so a long time
  // control would only make the stream last; its time commands keep the thinking short.
  if (mode == Mode::Console && r.Percent(25)) {
    static constexpr const char* ShortThinking[] = {"st 0.05", "sd 1", "sd 3", "otim 99999999999", "time -5"};
    return r.Pick(ShortThinking);
  }
  const int kind = r.Below(16);
  if (mode == Mode::Console && kind >= 2 && kind <= 5) return RandomMove(r);
  if (mode == Mode::Console && kind == 13) return "sd";   // "level" would read the next numbers as its clock
  switch (kind) {
    case 0: case 1: return r.Pick(Plain);
    case 2: return "level " + Limit(r, 0, 40) + " " + (r.Percent(50) ? Limit(r, 0, 1) : "0:0" + std::to_string(r.Between(1, 5))) +
                   " " + Limit(r, 0, 1);
    case 3: return "st " + (r.Percent(75) ? std::string(r.Percent(50) ? "0.2" : "1") : AbsurdNumber(r));
    case 4: return std::string(r.Percent(70) ? "sd " : "sfd ") + Limit(r, 1, 4);
    case 5: return std::string(r.Percent(50) ? "time " : "otim ") + Limit(r, 10, 500);
    case 6: return "ping " + Limit(r, 0, 100000);
    case 7: return "setboard " + RandomFen(r);
    case 8: return "protover " + Limit(r, 1, 2);
    case 9: return "dumpsee " + Limit(r, 0, 63) + " " + Limit(r, 0, 63);
    case 10: return EditSession(r, r.Below(mode == Mode::Edit ? 60 : 12));
    case 11: return "name " + GarbageWord(r) + " " + GarbageWord(r);
    case 12: return r.Percent(50) ? "result 1-0 {White mates}" : "accepted setboard";
    case 13: return r.Percent(50) ? "level" : (r.Percent(50) ? "st" : "sd");   // arguments missing
    default: return RandomMove(r);
  }
}

inline std::string Command(Random& r, Mode mode, int* readyRequests) {
  const int roll = r.Below(100);
  if (roll < 55) return SpeaksUci(mode) ? UciCommand(r, readyRequests) : XboardCommand(r, mode);
  if (roll < 65) return RandomMove(r) + (r.Percent(50) ? " " + RandomMove(r) : "");
  if (roll < 75) return GarbageWord(r) + " " + GarbageWord(r);
  if (roll < 80) return VocabularyWord(r, mode) + " " + VocabularyWord(r, mode) + " " + AbsurdNumber(r);
  if (roll < 85) return BinaryBytes(r);
  if (roll < 87) return OverLong(r, mode);
  if (roll < 93) return r.Percent(50) ? "" : (r.Percent(50) ? " \t \r" : "\r");
  if (mode == Mode::Edit) return EditSession(r, r.Below(40));
  return SpeaksUci(mode) ? UciCommand(r, readyRequests) : XboardCommand(r, mode);
}

// One stream. The first word chooses the mode as the program reads it.
inline Stream MakeStream(Mode mode, std::uint64_t seed, int maxCommands = 24) {
  Random r(seed * 4 + static_cast<std::uint64_t>(mode));
  Stream s;
  s.Kind = mode;
  s.Seed = seed;
  static constexpr const char* Greetings[] = {"hello", "play", "e2e4", "new"};
  s.Text = SpeaksUci(mode) ? "uci\n" : (mode == Mode::Console ? std::string(r.Pick(Greetings)) + "\n" : "xboard\n");
  if (mode == Mode::Edit) s.Text += "new\nforce\n";
  // At the console the engine reads nothing while it thinks about its own move: streams keep its
  // thinking short so that a stream ends in seconds, not in the minutes of a real game.
  if (mode == Mode::Console) s.Text += "st 0.05\n";
  for (int i = r.Between(1, maxCommands); i > 0; i--) s.Text += Command(r, mode, &s.ReadyRequests) + "\n";
  const int end = r.Below(100);
  if (end < 15) {
    // xboard: "quit" must not be taken as an edit word or a missing argument ("level 40").
    s.End = Ending::Quit;
    s.Text += SpeaksUci(mode) ? "quit\n" : "\n. . . . . . . .\nquit\n";
  } else if (end < 35) {
    // The end of input at any point: inside a word, a line or an argument list.
    s.End = Ending::EndOfInput;
    s.Text.resize(static_cast<std::size_t>(r.Between(1, static_cast<int>(s.Text.size()))));
    s.ReadyRequests = 0;   // not all of them may have been sent
  }
  return s;
}

}  // namespace robustness
