// Totals and printing of the evaluation breakdown.
#include "eval/EvalTrace.h"

int EvalTrace::TermValue(EvalTerm term) const {
  int value = Direct[term];
  for (int block = 0; block < TaperBlocks; ++block) value += Taper(Mg[term][block], Eg[term][block]);
  return value;
}

int EvalTrace::TaperRounding(int block) const {
  int middle = 0, end = 0, separate = 0;
  for (int term = 0; term < EvalTermCount; ++term) {
    middle += Mg[term][block];
    end += Eg[term][block];
    separate += Taper(Mg[term][block], Eg[term][block]);
  }
  return Taper(middle, end) - separate;
}

int EvalTrace::Total() const {
  int total = 0;
  for (int term = 0; term < EvalTermCount; ++term) total += TermValue(static_cast<EvalTerm>(term));
  for (int block = 0; block < TaperBlocks; ++block) total += TaperRounding(block);
  return total;
}

namespace {
constexpr const char* LazyExitText[] = {"", "  (lazy exit after the first stage: later terms skipped)\n",
                                        "  (lazy exit after the second stage: mobility and piece terms skipped)\n"};
}

void EvalTrace::Print(std::FILE* out) const {
  std::fprintf(out, "Evaluation, White's view, %s to move; ", Side ? "Black" : "White");
  if (Phase > 0) std::fprintf(out, "phase %d (1 middlegame .. 24 endgame)\n", Phase);
  else std::fprintf(out, "no phase (pawnless ending scored by the kings)\n");
  std::fprintf(out, "score = untapered part + (middlegame x (24 - phase) + endgame x phase) / 24\n");
  std::fprintf(out, "%-28s %10s %10s %10s\n", "term", "middlegame", "endgame", "score");
  for (int term = 0; term < EvalTermCount; ++term) {
    int middle = 0, end = 0;
    for (int block = 0; block < TaperBlocks; ++block) {
      middle += Mg[term][block];
      end += Eg[term][block];
    }
    const int value = TermValue(static_cast<EvalTerm>(term));
    std::fprintf(out, "%-28s %10d %10d %10d\n", EvalTermNames[term], middle, end, value);
  }
  int rounding = 0;
  for (int block = 0; block < TaperBlocks; ++block) rounding += TaperRounding(block);
  std::fprintf(out, "%-28s %10s %10s %10d\n", "taper rounding", "", "", rounding);
  if (LazyExit > 0 && LazyExit < 3) std::fputs(LazyExitText[LazyExit], out);
  std::fprintf(out, "%-28s %10s %10s %10d\n", "total", "", "", Total());
  std::fflush(out);
}
