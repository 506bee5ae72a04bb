#!/bin/sh
# Fuzzes one entry point of the engine with libFuzzer for a number of seconds:
#   bench/fuzz.sh fen|uci|xboard|polyglot SECONDS [extra libFuzzer options]
# Builds the targets with clang (address and undefined-behaviour sanitizers) into build-fuzz, keeps
# the growing corpus in build-fuzz/corpus-TARGET (started from fuzz/seeds/TARGET) and writes inputs
# that crash, hang or break an invariant to build-fuzz/artifacts-TARGET/. Prints the run count and
# the number of faults found; the exit status is 1 when there was one.
# Reproduce a fault: build-fuzz/fuzz_TARGET build-fuzz/artifacts-TARGET/crash-...
set -e
target=${1:?usage: bench/fuzz.sh fen|uci|xboard|polyglot SECONDS}
seconds=${2:?usage: bench/fuzz.sh fen|uci|xboard|polyglot SECONDS}
shift 2
case "$target" in fen|uci|xboard|polyglot) ;; *) echo "unknown target $target" >&2; exit 2 ;; esac
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
command -v clang++ >/dev/null || { echo "bench/fuzz.sh needs clang (apt-get install -y clang)" >&2; exit 2; }
cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2 --target "fuzz_$target" >/dev/null
corpus="$build/corpus-$target"
artifacts="$build/artifacts-$target"
mkdir -p "$corpus" "$artifacts"
log="$build/fuzz-$target.log"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The engine writes its match log into the working directory: keep it out of the tree.
cd "$work"
status=0
dict_option=""   # a binary format (the book) has no words to suggest
[ -f "$root/fuzz/$target.dict" ] && dict_option="-dict=$root/fuzz/$target.dict"
"$build/fuzz_$target" "$corpus" "$root/fuzz/seeds/$target" ${dict_option:+"$dict_option"} \
  -max_total_time="$seconds" -max_len=4096 -timeout=20 -rss_limit_mb=4096 -close_fd_mask=1 \
  -artifact_prefix="$artifacts/" -print_final_stats=1 "$@" >"$log" 2>&1 || status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
echo "fuzz target $target: ${seconds}s, ${runs:-0} runs, $(ls "$corpus" | wc -l) corpus entries, exit status $status"
if [ "$status" -ne 0 ]; then
  echo "fault found; log: $log"
  grep -E 'NELK INVARIANT BROKEN|^SUMMARY|ERROR:|Test unit written' "$log" | head -n 10
  exit 1
fi
echo "faults found: 0"
