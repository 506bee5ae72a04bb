#pragma once
// Reading an xboard or console session line by line: move lines "<n>. ... <move>" and result lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "protocol/MoveCheck.h"
#include "support/GameBoard.h"
#include "support/RunEngine.h"
#include "support/Text.h"

namespace xboard_test {

using namespace nelktest;

constexpr int LineTimeoutMs = 20000;

inline std::size_t Cursor(const EngineProcess& engine) { return engine.Output().size() - engine.Pending().size(); }

// The next whole line of output, without its newline.
inline bool NextLine(EngineProcess& engine, std::string* line) {
  const std::size_t start = Cursor(engine);
  if (!engine.WaitFor("\n", LineTimeoutMs)) return false;
  *line = engine.Output().substr(start, Cursor(engine) - 1 - start);
  return true;
}

// An engine move line: exactly "<n>. ... <move>", the move in coordinates with a lower-case
// promotion letter.
inline bool ParseMoveLine(const std::string& line, int* number, std::string* move) {
  char text[16] = {};
  int from = 0, to = 0;
  char promotion = 0;
  if (std::sscanf(line.c_str(), "%d. ... %15s", number, text) != 2) return false;
  *move = text;
  return line == std::to_string(*number) + ". ... " + *move &&
         ParseMoveText(text, &from, &to, &promotion) && (move->size() == 4 || (*move)[4] == promotion);
}

inline bool IsResultLine(const std::string& line) {
  return line == "1-0 {White mates}" || line == "0-1 {Black mates}" || line == "1/2-1/2 {Stalemate}" ||
         line == "1/2-1/2 {Draw by 50 Move Rule}" || line == "1/2-1/2 {Draw by insufficient material}";
}

// Skips other lines (thinking output) up to a move line or a result line.
inline bool NextMoveOrResult(EngineProcess& engine, std::string* line) {
  int number = 0;
  std::string move;
  while (NextLine(engine, line))
    if (ParseMoveLine(*line, &number, &move) || IsResultLine(*line)) return true;
  return false;
}

}  // namespace xboard_test
