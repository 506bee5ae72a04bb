#pragma once
// Wall-clock milliseconds for search timing, node-rate measurement and the perft and benchmark figures.

// Milliseconds since the first call in this process (steady, never goes backwards).
int NowMs();

// Where NowMs reads its time: the steady wall clock by default. Tests put a clock of their own in
// its place to make time pass as they choose (a search that crawls, a process that was paused);
// nullptr puts the wall clock back.
using ClockSource = int (*)();
void SetClockSource(ClockSource source);
