#!/bin/sh
# Soak test: engine against engine through the real protocols (one nelk speaking UCI, one speaking
# xboard), refereed by bench_soak_referee, which checks every move with the engine's own generator.
#   bench/soak.sh [GAMES] [BUILD_DIR] [extra referee options]
# Defaults: 200 games, build dir build-soak (Release). Prints games played, illegal moves, crashes,
# hangs, time forfeits, internal errors and each engine's peak memory after the first and the last
# game; exits 1 when any fault count is not zero or memory grew.
set -e
games=${1:-200}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build-soak}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac   # the games run in other directories
[ $# -ge 2 ] && shift 2 || shift $#
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target nelk bench_soak_referee >/dev/null
"$build/bench_soak_referee" --games "$games" --engine "$build/nelk" "$@"
