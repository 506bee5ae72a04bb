#include "engine/Status.h"
#include "engine/StatusMasks.h"

// Constant-initialised (every field has a constant default), so other translation units may use it
// during their own static initialisation.
Status MainStatus;

namespace {
constexpr int DefaultMovesPerSessionValue = 50;

void InitFileAndRankMasks(Status& s) {
  s.FileA = Masks::FileA; s.FileB = Masks::FileB; s.FileC = Masks::FileC; s.FileD = Masks::FileD;
  s.FileE = Masks::FileE; s.FileF = Masks::FileF; s.FileG = Masks::FileG; s.FileH = Masks::FileH;
  s.FilesGH = Masks::FilesGH; s.FilesAB = Masks::FilesAB;
  s.FilesFGH = Masks::FilesFGH; s.FilesABC = Masks::FilesABC;
  s.Rank1 = Masks::Rank1; s.Rank2 = Masks::Rank2; s.Rank3 = Masks::Rank3; s.Rank4 = Masks::Rank4;
  s.Rank5 = Masks::Rank5; s.Rank6 = Masks::Rank6; s.Rank7 = Masks::Rank7; s.Rank8 = Masks::Rank8;
}

void InitDiagonalMasks(Status& s) {
  using namespace StatusMasks;
  s.DiagF5D7 = DiagF5D7; s.DiagC5E7 = DiagC5E7; s.DiagF4D6 = DiagF4D6; s.DiagC4E6 = DiagC4E6;
  s.DiagD2F4 = DiagD2F4; s.DiagE2C4 = DiagE2C4; s.DiagD3F5 = DiagD3F5; s.DiagE3C5 = DiagE3C5;
  s.DiagH2C7 = DiagH2C7; s.DiagG2B7 = DiagG2B7; s.DiagF2A7 = DiagF2A7;
  s.DiagC2H7 = DiagC2H7; s.DiagB2G7 = DiagB2G7; s.DiagA2F7 = DiagA2F7;
}

void InitAreaMasks(Status& s) {
  s.LightSquares = Masks::LightSquares; s.DarkSquares = Masks::DarkSquares;
  s.Corners = Masks::Corners; s.WhiteHalf = Masks::WhiteHalf; s.BlackHalf = Masks::BlackHalf;
}

void InitSquareMasks(Status& s) {
  using namespace StatusMasks;
  s.SqH8 = SqH8; s.SqH7 = SqH7; s.SqF7 = SqF7; s.SqG7 = SqG7; s.SqH6 = SqH6; s.SqF6 = SqF6;
  s.SqG6 = SqG6; s.SqA8 = SqA8; s.SqA7 = SqA7; s.SqC7 = SqC7; s.SqA6 = SqA6; s.SqB7 = SqB7;
  s.SqC6 = SqC6; s.SqB6 = SqB6; s.SqH1 = SqH1; s.SqH2 = SqH2; s.SqF2 = SqF2; s.SqG2 = SqG2;
  s.SqH3 = SqH3; s.SqF3 = SqF3; s.SqG3 = SqG3; s.SqA1 = SqA1; s.SqA2 = SqA2; s.SqC2 = SqC2;
  s.SqB2 = SqB2; s.SqA3 = SqA3; s.SqC3 = SqC3; s.SqB3 = SqB3; s.SqB8 = SqB8; s.SqG8 = SqG8;
  s.SqB1 = SqB1; s.SqG1 = SqG1;
}
}  // namespace

void Status::InitMasks() {
  InitFileAndRankMasks(*this);
  InitDiagonalMasks(*this);
  InitAreaMasks(*this);
  InitSquareMasks(*this);
}

void Status::initVars() {
  InitMasks();
  OpponentToMove = 1;
  PERFT = 0; Bench = 0; SATrain = 0; Post = 0;
  // A UCI GUI sets its limits and book choice once; every "position" command re-initialises,
  // so these survive in UCI mode.
  if (UCIMode != 1) {
    UseBook = 1; TimePerMove = 0; MovesPerSession = 0;
    DefaultMovesPerSession = DefaultMovesPerSessionValue;
    MaxPly = 0; FD = 0; ST = 0;
  }
  if (Kibitz != 1) Kibitz = 0;
  Mimic = 0; DoTestSuite = 0; PEV = 0; SelfPlay = 0; Trace = 0;
  GameInProgress = 1;
  MoveNumber = 1;
  MaxPly = 0;
}
