// Random command streams against the engine, as many as wanted:
//   bench_robustness [--streams N] [--seed S] [--mode uci|xboard|console|edit|all]
//                    [--where process|engine|both] [--engine PATH] [--timeout MS] [--dump DIR]
// Stream i uses seed S + i and the modes in turn. "process" drives the handlers inside a child of
// this program with the board checked after every command; "engine" sends the stream to the nelk
// program (default: the one beside this program) and then expects an answer or a clean exit.
// "--dump DIR" writes each stream to DIR/MODE-SEED.txt: `nelk < DIR/MODE-SEED.txt` replays it.
// Prints every failure with the seed that reproduces it, then "streams run N, failures F".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "testkit/robustness_runner.h"

namespace {

struct Options {
  long Streams = 100;
  unsigned long long Seed = 1;
  std::vector<robustness::Mode> Modes{std::begin(robustness::AllModes), std::end(robustness::AllModes)};
  bool InProcess = true;
  bool InEngine = true;
  std::string Engine;
  int TimeoutMs = 60000;
  std::string DumpDir;
};

bool ParseMode(const char* text, Options* o) {
  if (std::strcmp(text, "all") == 0) return true;
  for (robustness::Mode m : robustness::AllModes) {
    if (std::strcmp(text, robustness::ModeName(m)) == 0) {
      o->Modes = {m};
      return true;
    }
  }
  return false;
}

bool ParseWhere(const char* text, Options* o) {
  o->InProcess = std::strcmp(text, "process") == 0 || std::strcmp(text, "both") == 0;
  o->InEngine = std::strcmp(text, "engine") == 0 || std::strcmp(text, "both") == 0;
  return o->InProcess || o->InEngine;
}

bool Parse(int argc, char** argv, Options* o) {
  o->Engine = nelktest::EngineBesideProgram(argv[0]);
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    const char* value = argv[i + 1];
    if (key == "--streams") o->Streams = std::strtol(value, nullptr, 10);
    else if (key == "--seed") o->Seed = std::strtoull(value, nullptr, 10);
    else if (key == "--mode") { if (!ParseMode(value, o)) return false; }
    else if (key == "--where") { if (!ParseWhere(value, o)) return false; }
    else if (key == "--engine") o->Engine = value;
    else if (key == "--timeout") o->TimeoutMs = static_cast<int>(std::strtol(value, nullptr, 10));
    else if (key == "--dump") o->DumpDir = value;
    else return false;
  }
  return argc % 2 == 1 && o->Streams >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, &o)) {
    std::fprintf(stderr, "usage: %s [--streams N] [--seed S] [--mode uci|xboard|console|edit|all] "
                         "[--where process|engine|both] [--engine PATH] [--timeout MS] [--dump DIR]\n", argv[0]);
    return 2;
  }
  robustness::StartEngineState();
  const long long start = nelktest::NowMs();
  long runs = 0, failures = 0;
  for (long i = 0; i < o.Streams; i++) {
    const robustness::Mode mode = o.Modes[static_cast<std::size_t>(i) % o.Modes.size()];
    const robustness::Stream stream = robustness::MakeStream(mode, o.Seed + static_cast<unsigned long long>(i));
    if (!o.DumpDir.empty())
      std::ofstream(o.DumpDir + "/" + robustness::ModeName(mode) + "-" + std::to_string(stream.Seed) + ".txt",
                    std::ios::binary) << stream.Text;
    std::vector<robustness::Verdict> verdicts;
    if (o.InProcess) verdicts.push_back(robustness::RunStreamInProcess(stream, o.TimeoutMs));
    if (o.InEngine) verdicts.push_back(robustness::RunStreamInEngine(o.Engine, stream, o.TimeoutMs));
    bool failed = false;
    for (const robustness::Verdict& v : verdicts) {
      if (v.Passed) continue;
      failed = true;
      std::printf("FAIL %s\n", v.Reason.c_str());
    }
    runs++;
    if (failed) failures++;
    std::fflush(stdout);
  }
  std::printf("streams run %ld, failures %ld (%.1f s)\n", runs, failures,
              static_cast<double>(nelktest::NowMs() - start) / 1000.0);
  return failures == 0 ? 0 : 1;
}
