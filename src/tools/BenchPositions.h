#pragma once
// The built-in benchmark positions (FEN), searched in this order by Bench; Bench2 uses number 5.

constexpr int BenchPositionCount = 6;
constexpr int Bench2Position = 5;   // 1-based, like the labels and log lines

constexpr const char* BenchPositions[BenchPositionCount] = {
    "3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R5 w - - 0 0",
    "rnbqkb1r/p3pppp/1p6/2ppP3/3N4/2P5/PPP1QPPP/R1B1KB1R w KQkq - 0 0",
    "4b3/p3kp2/6p1/3pP2p/2pP1P2/4K1P1/P3N2P/8 w - - 0 0",
    "r3r1k1/ppqb1ppp/8/4p1NQ/8/2P5/PP3PPP/R3R1K1 b - - 0 0",
    "2r2rk1/1bqnbpp1/1p1ppn1p/pP6/N1P1P3/P2B1N1P/1B2QPP1/R2R2K1 b - - 0 0",
    "r1bqk2r/pp2bppp/2p5/3pP3/P2Q1P2/2N1B3/1PP3PP/R4RK1 b kq - 0 0",
};

// Progress labels Bench writes before each position; the last one ends the line.
constexpr const char* BenchLabels[BenchPositionCount] = {"1 ", "2 ", "3 ", "4 ", "5 ", "6\n"};
