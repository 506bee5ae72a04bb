#pragma once
// Reading the numeric arguments of xboard and console commands. Every function accepts exactly the
// form it names (no trailing characters) and never overflows: magnitudes beyond ArgumentLimit are
// cut to it, so callers only have to clamp the result into the field's own range.

constexpr long long ArgumentLimit = 1000000000000LL;

// "[+|-]digits". False for anything else (empty text, "12x", "1.5", a null pointer).
bool ParseInteger(const char* text, long long* value);

// Seconds as "[+|-]digits[.digits]" ("2", "0.5", ".25", "1.") into milliseconds, truncating beyond
// the third decimal.
bool ParseSecondsAsMs(const char* text, long long* ms);

// A clock base as front ends send it: whole minutes ("5") or minutes and seconds ("0:30", "1:05"),
// into milliseconds. Negative values are not accepted.
bool ParseClockAsMs(const char* text, long long* ms);

// Clamps into [low, high].
long long ClampArgument(long long value, long long low, long long high);
