#include "tools/PgnGames.h"

#include <cerrno>
#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

// Where a word of the move text ends (a '}' stays inside: a stray one makes the word unreadable).
bool EndsWord(char c) { return IsBlank(c) || c == '{' || c == ';' || c == '(' || c == ')'; }

bool IsTagNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// A tag line, [Name "Value"], with \" and \\ inside the value standing for " and \.
bool ReadTag(const char* p, std::string* name, std::string* value) {
  p = SkipBlanks(p + 1);   // past the '['
  while (IsTagNameChar(*p)) name->push_back(*p++);
  p = SkipBlanks(p);
  if (name->empty() || *p != '"') return false;
  for (++p; *p != '"'; ++p) {
    if (*p == '\0') return false;
    if (*p == '\\' && (p[1] == '"' || p[1] == '\\')) ++p;
    value->push_back(*p);
  }
  return *SkipBlanks(p + 1) == ']';
}

void SetError(PgnGame* game, const std::string& error) {
  if (game->Error.empty()) game->Error = error;
}

void ReadTagLine(const char* line, int lineNumber, PgnGame* game) {
  std::string name, value;
  if (!ReadTag(line, &name, &value)) {
    SetError(game, "the tag on line " + std::to_string(lineNumber) + " cannot be read");
    return;
  }
  if (name == "FEN") game->Fen = value;
  if (name == "Result") game->Result = value;
}

bool IsResultToken(const std::string& word) {
  return word == "1-0" || word == "0-1" || word == "1/2-1/2" || word == "*";
}

// "12." and "12..." are dropped, "12.e2e4" keeps its move.
std::string WithoutMoveNumber(const std::string& word) {
  std::size_t i = 0;
  while (i < word.size() && word[i] >= '0' && word[i] <= '9') ++i;
  if (i == 0 || i == word.size() || word[i] != '.') return word;
  while (i < word.size() && word[i] == '.') ++i;
  return word.substr(i);
}

}  // namespace

bool PgnReader::ReadLine() {
  read_ = ReadTextLine(file_, line_, sizeof line_);
  const int error = errno;
  if (read_ == TextLine::EndOfFile) return false;
  ++lineNumber_;
  if (read_ == TextLine::NotText) {
    failure_ = "line " + std::to_string(lineNumber_) + " holds a NUL byte: this is no text file";
  } else if (read_ == TextLine::ReadError) {
    failure_ = "reading failed at line " + std::to_string(lineNumber_) + ": " + std::strerror(error);
  }
  return failure_.empty();
}

void PgnReader::AddLine(PgnGame* game) {
  if (read_ == TextLine::TooLong)
    SetError(game, "line " + std::to_string(lineNumber_) + " is longer than " + std::to_string(PgnLineSize) +
                       " characters");
  if (game->MoveText.size() + std::strlen(line_) + 1 > PgnMaxMoveText) {
    SetError(game, "its move text is longer than " + std::to_string(PgnMaxMoveText) + " characters");
    return;
  }
  game->MoveText.append(line_).push_back('\n');
}

bool PgnReader::Next(PgnGame* game) {
  *game = PgnGame{};
  bool started = false, inMoves = false;
  for (;;) {
    if (!pending_ && !ReadLine()) return started && failure_.empty();
    pending_ = false;
    const char* text = SkipBlanks(line_);
    const bool tag = *text == '[';
    if (tag && inMoves) {
      pending_ = true;   // the next game's first tag
      return true;
    }
    if (*text == '\0' && read_ != TextLine::TooLong) continue;
    if (!started) {
      started = true;
      game->Number = ++games_;
      game->FirstLine = lineNumber_;
    }
    if (tag && read_ != TextLine::TooLong) {
      ReadTagLine(text, lineNumber_, game);
    } else {
      inMoves = true;
      AddLine(game);
    }
  }
}

bool PgnMoveText::SkipSeparators() {
  while (at_ < text_.size()) {
    const char c = text_[at_];
    if (c == '{') {
      const std::size_t end = text_.find('}', at_);
      if (end == std::string::npos) return false;
      at_ = end + 1;
    } else if (c == ';') {
      const std::size_t end = text_.find('\n', at_);
      at_ = end == std::string::npos ? text_.size() : end + 1;
    } else if (c == '(') {
      ++variationDepth_;
      ++at_;
    } else if (c == ')') {
      if (variationDepth_ == 0) return false;
      --variationDepth_;
      ++at_;
    } else if (IsBlank(c)) {
      ++at_;
    } else {
      break;
    }
  }
  return true;
}

// The word at at_, which SkipSeparators left on a character that starts one.
std::string PgnMoveText::Word() {
  const std::size_t start = at_;
  while (at_ < text_.size() && !EndsWord(text_[at_])) ++at_;
  return text_.substr(start, at_ - start);
}

PgnToken PgnMoveText::Next(std::string* move) {
  for (;;) {
    if (!SkipSeparators()) return PgnToken::Broken;
    if (at_ >= text_.size()) return variationDepth_ > 0 ? PgnToken::Broken : PgnToken::End;
    const std::string word = WithoutMoveNumber(Word());
    if (variationDepth_ > 0 || word.empty() || word[0] == '$') continue;
    if (IsResultToken(word)) return PgnToken::End;
    *move = word;
    return PgnToken::Move;
  }
}

bool PgnResultScore(const std::string& result, float* score) {
  if (result == "1-0") *score = 1.0f;
  else if (result == "0-1") *score = 0.0f;
  else if (result == "1/2-1/2") *score = 0.5f;
  else return false;
  return true;
}
