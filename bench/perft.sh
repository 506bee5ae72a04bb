#!/bin/sh
# Builds the Release perft benchmark in its own directory and runs it.
# Usage: bench/perft.sh [build-dir]   (default: build-bench next to the sources)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac   # the games run in other directories
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_perft >/dev/null
"$build/bench_perft"
