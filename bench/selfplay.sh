#!/bin/sh
# Plays one self-play game at fixed depth 5 from each opening in bench/openings/ and checks it: the
# program must end normally, print no "Major Error"/"MAJOR ERROR" line, play only legal moves
# (replayed by bench_replay) and end the game by rule with a result that fits the final position.
# Usage: bench/selfplay.sh [build-dir] [depth]   (defaults: build-bench next to the sources, 5)
# Prints a line per game and a summary; exits with 1 when any game failed.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac   # the games run in other directories
depth=${2:-5}
game_limit=900   # seconds; a game that takes longer counts as failed
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build "$build" -j2 --target nelk bench_replay >/dev/null || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
for opening in "$root"/bench/openings/*.fen; do
  name=$(basename "$opening" .fen)
  dir="$work/$name"
  mkdir "$dir"
  cp "$opening" "$dir/start.fen"
  start=$(date +%s)
  (cd "$dir" && timeout "$game_limit" "$build/nelk" -sp -fd "$depth" -lpf start.fen </dev/null >game.txt 2>errors.txt)
  status=$?
  seconds=$(( $(date +%s) - start ))
  fault=""
  if [ "$status" -eq 124 ]; then
    fault="no end within ${game_limit}s"
  elif [ "$status" -ne 0 ]; then
    fault="exit status $status"
  elif grep -q -e "Major Error" -e "MAJOR ERROR" "$dir/game.txt" "$dir/match.log" 2>/dev/null; then
    fault="$(grep -h -m1 -e "Major Error" -e "MAJOR ERROR" "$dir/game.txt" "$dir/match.log")"
  fi
  check=$("$build/bench_replay" "$dir/start.fen" "$dir/game.txt")
  [ $? -ne 0 ] && [ -z "$fault" ] && fault="$check"
  if [ -z "$fault" ]; then
    passed=$((passed + 1))
    printf '%-20s %s  (%ss)\n' "$name" "$check" "$seconds"
  else
    failed=$((failed + 1))
    printf '%-20s FAILED: %s  [%s]  (%ss)\n' "$name" "$fault" "$check" "$seconds"
    mkdir -p "$root/build-selfplay-failures" && cp -r "$dir" "$root/build-selfplay-failures/"
  fi
done
echo "Self-play at depth $depth: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
