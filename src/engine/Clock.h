#pragma once
// Wall-clock milliseconds for search timing, node-rate measurement and the perft and benchmark figures.

// Milliseconds since the first call in this process (steady, never goes backwards).
int NowMs();
