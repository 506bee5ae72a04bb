// Every line of the perft suite at every depth it lists: leaf and total counts are ground truth.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "movegen/MoveListText.h"
#include "movegen/Perft.h"

namespace {

struct DepthCounts {
  int Depth;
  std::uint64_t Leaf;
  std::uint64_t Total;
};

struct SuiteLine {
  std::string Id;
  std::string Fen;
  std::vector<DepthCounts> Counts;
};

// "fen ;D1 20 20 ;D2 400 420 ;id startpos ;c comment"
SuiteLine ParseLine(const std::string& text) {
  SuiteLine line;
  std::stringstream fields(text);
  std::string field;
  std::getline(fields, line.Fen, ';');
  while (std::getline(fields, field, ';')) {
    std::istringstream words(field);
    std::string tag;
    words >> tag;
    if (tag == "id") words >> line.Id;
    if (tag.size() < 2 || tag[0] != 'D') continue;
    DepthCounts counts{std::stoi(tag.substr(1)), 0, 0};
    words >> counts.Leaf >> counts.Total;
    line.Counts.push_back(counts);
  }
  return line;
}

std::vector<SuiteLine> LoadSuite() {
  std::vector<SuiteLine> suite;
  std::ifstream file(NELK_TEST_DATA "/perft-suite.epd");
  std::string text;
  while (std::getline(file, text))
    if (!text.empty() && text[0] != '#') suite.push_back(ParseLine(text));
  return suite;
}

class PerftSuite : public ::testing::TestWithParam<SuiteLine> {};

TEST_P(PerftSuite, LeafAndTotalCountsAtEveryDepth) {
  const SuiteLine& line = GetParam();
  ASSERT_FALSE(line.Counts.empty()) << line.Fen;
  for (const DepthCounts& expected : line.Counts) {
    LoadPosition(line.Fen.c_str());
    PerfT perft;
    perft.PerformanceTest(MainBoard.SideToMove, expected.Depth, MainBoard, MainBoard.CastleFlags);
    EXPECT_EQ(perft.LeafNodes, expected.Leaf) << line.Id << " depth " << expected.Depth;
    EXPECT_EQ(perft.TotalNodes, expected.Total) << line.Id << " depth " << expected.Depth;
  }
}

std::string LineName(const ::testing::TestParamInfo<SuiteLine>& info) {
  std::string name = info.param.Id;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(SuiteFile, PerftSuite, ::testing::ValuesIn(LoadSuite()), LineName);

// A suite file that silently lost lines would make the test above pass on nothing.
TEST(PerftSuiteFile, HoldsEveryPosition) {
  const std::vector<SuiteLine> suite = LoadSuite();
  EXPECT_EQ(suite.size(), 25u);
  for (const SuiteLine& line : suite) EXPECT_FALSE(line.Id.empty()) << line.Fen;
}

}  // namespace
