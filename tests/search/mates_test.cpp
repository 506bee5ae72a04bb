// Every position of the mates file is searched with single root searches of depth 1, 2, ... up to
// 2N + 3 plies (N the announced mate distance) until one chooses the recorded mating move with a
// mate score. (Iterative deepening would stop at the first mate it sees, which may be a longer one.)
// The depth each position needed is printed.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include "search/SearchTestSupport.h"

using namespace searchtest;

namespace {

struct MateRecord {
  std::string Fen;      // placement, side, castling, en passant
  int MateIn = 0;       // "dm"
  std::string Move;     // "c0", coordinate notation
};

bool ParseRecord(const std::string& line, MateRecord* r) {
  std::istringstream fields(line);
  std::string placement, side, castling, passant;
  if (!(fields >> placement >> side >> castling >> passant)) return false;
  r->Fen = placement + " " + side + " " + castling + " " + passant + " 0 1";
  const auto dm = line.find("dm ");
  const auto c0 = line.find("c0 \"");
  if (dm == std::string::npos || c0 == std::string::npos) return false;
  r->MateIn = std::atoi(line.c_str() + dm + 3);
  r->Move = line.substr(c0 + 4, 4);
  return r->MateIn > 0;
}

std::vector<MateRecord> ReadMates() {
  std::vector<MateRecord> records;
  std::ifstream in(std::string(NELK_TEST_DATA) + "/mates.epd");
  std::string line;
  while (std::getline(in, line)) {
    MateRecord r;
    if (ParseRecord(line, &r)) records.push_back(r);
  }
  return records;
}

}  // namespace

TEST(MatesFile, EveryMateIsFoundWithinTwoNPlusThreePlies) {
  const std::vector<MateRecord> records = ReadMates();
  ASSERT_EQ(records.size(), 32u) << "every line of the file is a mate record";
  int number = 0;
  for (const MateRecord& r : records) {
    ++number;
    SetPosition(r.Fen);
    const auto start = std::chrono::steady_clock::now();
    SearchResult result;
    for (int depth = 1; depth <= 2 * r.MateIn + 3; depth++) {
      result = SearchExactDepth(depth);
      if (result.Move == r.Move && result.Score > SearchScore::MateFound) break;
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("  mate %2d: dm %d  %s  found %s at depth %2d, score %d, %lld nodes, %.0f ms\n", number, r.MateIn,
                r.Move.c_str(), result.Move.c_str(), result.Depth, result.Score,
                static_cast<long long>(result.Nodes), ms);
    EXPECT_EQ(result.Move, r.Move) << "position " << number << ": " << r.Fen;
    EXPECT_GT(result.Score, SearchScore::MateFound) << "position " << number << ": " << r.Fen;
  }
}
