#pragma once
// Reading games from a PGN file: the tags a game needs (FEN, Result) and its move text, which
// PgnMoveText then walks move by move. The moves themselves are left to the caller (they are in
// UCI coordinates, as fastchess writes them with "-pgnout notation=uci").
#include <cstddef>
#include <cstdio>
#include <string>
#include "tools/TextFile.h"

constexpr int PgnLineSize = 4096;                // longest line read, line end excluded
constexpr std::size_t PgnMaxMoveText = 1 << 20;  // far more than the longest game's move text

struct PgnGame {
  int Number = 0;          // 1 for the file's first game
  int FirstLine = 0;       // line of the file where the game starts
  std::string Fen;         // the FEN tag, empty when the game starts from the usual position
  std::string Result;      // the Result tag as written, empty when there is none
  std::string MoveText;    // everything after the tags, its lines joined by '\n'
  std::string Error;       // why the game cannot be used (a bad tag, an overlong line), empty if none
};

// Games one after the other from an open file. A line starting with '[' after a game's move text
// starts the next game, even inside a comment: a comment left open loses its own game only.
class PgnReader {
public:
  explicit PgnReader(std::FILE* file) : file_(file) {}
  // The next game into *game; false at the end of the file or when it cannot be read any further
  // (Failure() then tells why).
  bool Next(PgnGame* game);
  // Why reading stopped before the end of the file ("line 12 holds a NUL byte"), empty if it did not.
  const std::string& Failure() const { return failure_; }

private:
  bool ReadLine();
  void AddLine(PgnGame* game);

  std::FILE* file_;
  char line_[PgnLineSize + 1] = {};
  TextLine read_ = TextLine::EndOfFile;
  int lineNumber_ = 0;
  int games_ = 0;
  bool pending_ = false;     // line_ holds the first tag of the next game
  std::string failure_;
};

// What PgnMoveText found next.
enum class PgnToken {
  Move,     // a move (any word that is no move number, comment, annotation or result)
  End,      // a result token ("1-0", "0-1", "1/2-1/2", "*") or the end of the text
  Broken    // a comment or variation left open, or a ')' without its '('
};

// Walks a game's move text: {comments}, "; comments" to the end of the line, (variations), $NAGs
// and move numbers ("12.", "12...") are passed over.
class PgnMoveText {
public:
  explicit PgnMoveText(const std::string& text) : text_(text) {}
  // The next move into *move.
  PgnToken Next(std::string* move);

private:
  bool SkipSeparators();
  std::string Word();

  std::string text_;   // a copy: the text given may be a temporary
  std::size_t at_ = 0;
  int variationDepth_ = 0;
};

// The game's result for White from a Result tag: 1, 0.5 or 0; false for "*" or anything else.
bool PgnResultScore(const std::string& result, float* score);
