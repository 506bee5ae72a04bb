#!/bin/sh
# The engine's speed benchmark: "nelk -bench -fd DEPTH" on the six built-in positions. Prints the
# statistics block; its "Total Nodes" (repeated as "Bench signature:") is the build's signature and
# must not change unless the search is meant to change, and NPS is the speed figure.
# Usage: bench/search.sh [build-dir] [depth]   (defaults: build-bench next to the sources, 9)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac   # the games run in other directories
depth=${2:-9}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target nelk >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$build/nelk" -bench -fd "$depth" | sed -n '/^Running benchmark/,$p'
