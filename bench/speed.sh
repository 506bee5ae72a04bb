#!/usr/bin/env bash
# The engine's speed figures in one run: perft 6 of the start position and perft 5 of "kiwipete"
# (moves made per second), "-bench -fd 9" (nodes per second and wall time), evaluations per second
# (bench_evalbench), the time to clear the tables ("ucinewgame" until "readyok", on a fresh engine
# and after a search) and the start-up time until "uciok". When Stockfish is installed
# (/usr/games/stockfish or on the PATH) its "go perft 6" wall time, start-up included, is taken in
# the same run, alternating with ours, and the ratio is printed.
# Every figure is the median of RUNS runs of wall-clock time. On a machine shared with other jobs
# these move with the load (it is printed first); compare changes by instruction counts instead:
#   valgrind --tool=callgrind build/nelk -perft -fd 5
# Usage: bench/speed.sh [build-dir] [runs]   (defaults: build-bench next to the sources, 5)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac   # the engine runs in another directory
runs=${2:-5}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target nelk bench_evalbench >/dev/null
nelk=$build/nelk
stockfish=$(command -v stockfish || true)
[ -z "$stockfish" ] && [ -x /usr/games/stockfish ] && stockfish=/usr/games/stockfish

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
echo "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -" >kiwipete.fen

now_us() { local t=${EPOCHREALTIME/[.,]/}; echo $((10#$t)); }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ms() { awk -v us="$1" 'BEGIN { printf "%.1f", us / 1000 }'; }
per_second() { awk -v n="$1" -v us="$2" 'BEGIN { printf "%.0f", (us > 0 ? n * 1e6 / us : 0) }'; }

# Runs a command, keeps its output in $work/out and prints its wall time in microseconds.
timed() {
  local start end
  start=$(now_us)
  "$@" >"$work/out" 2>&1
  end=$(now_us)
  echo $((end - start))
}

field_before() { grep "$1" "$work/out" | head -1 | awk '{ print $1 }'; }

stockfish_perft() { printf 'position startpos\ngo perft 6\nquit\n' | "$stockfish"; }

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) (shared: wall times vary with the load)"

# Perft 6 of the start position, alternating with Stockfish's when it is there.
ours=() theirs=() moves=0
for _ in $(seq "$runs"); do
  ours+=("$(timed "$nelk" -perft -fd 6)")
  moves=$(field_before "Total Nodes at Depth")
  if [ -n "$stockfish" ]; then
    theirs+=("$(timed stockfish_perft)")
    grep -q "Nodes searched: 119060324" "$work/out" || echo "warning: unexpected Stockfish perft output"
  fi
done
perft6=$(printf '%s\n' "${ours[@]}" | median)
echo "perft 6 start position: $moves moves, $(ms "$perft6") ms, $(per_second "$moves" "$perft6") moves/s"
if [ -n "$stockfish" ]; then
  sf=$(printf '%s\n' "${theirs[@]}" | median)
  echo "stockfish go perft 6:   $(ms "$sf") ms; ratio $(awk -v a="$perft6" -v b="$sf" 'BEGIN { printf "%.2f", a / b }')"
else
  echo "stockfish: not installed, no ratio"
fi

times=()
for _ in $(seq "$runs"); do times+=("$(timed "$nelk" -lpf kiwipete.fen -perft -fd 5)"); done
moves=$(field_before "Total Nodes at Depth")
t=$(printf '%s\n' "${times[@]}" | median)
echo "perft 5 kiwipete:       $moves moves, $(ms "$t") ms, $(per_second "$moves" "$t") moves/s"

times=()
for _ in $(seq "$runs"); do times+=("$(timed "$nelk" -bench -fd 9)"); done
nodes=$(grep "Bench signature" "$work/out" | awk '{ print $3 }')
t=$(printf '%s\n' "${times[@]}" | median)
echo "bench -fd 9:            $nodes nodes, $(ms "$t") ms wall, $(per_second "$nodes" "$t") nodes/s"

rates=()
for _ in $(seq "$runs"); do
  "$build/bench_evalbench" >"$work/out"
  rates+=("$(grep "pawn hash in use" "$work/out" | sed 's/.*s: *\([0-9]*\) evaluations.*/\1/')")
done
echo "evaluations:            $(printf '%s\n' "${rates[@]}" | median) evaluations/s (pawn hash in use)"

# Start-up and clearing through the UCI dialogue: the time from starting the engine until
# "uciok", then from sending "ucinewgame" until "readyok", once on the fresh engine and once
# after a search has filled part of the tables.
wait_for() { local line; while read -r -u "${ENGINE[0]}" line; do [ "$line" = "$1" ] && return 0; done; return 1; }
uci_timings() {
  local start up fresh searched
  start=$(now_us)
  coproc ENGINE { exec "$nelk"; }
  echo uci >&"${ENGINE[1]}"
  wait_for uciok
  up=$(now_us)
  printf 'ucinewgame\nisready\n' >&"${ENGINE[1]}"
  wait_for readyok
  fresh=$(now_us)
  printf 'position startpos\ngo depth 8\n' >&"${ENGINE[1]}"
  while read -r -u "${ENGINE[0]}" line; do case $line in bestmove*) break ;; esac; done
  searched=$(now_us)
  printf 'ucinewgame\nisready\n' >&"${ENGINE[1]}"
  wait_for readyok
  local done_at
  done_at=$(now_us)
  echo quit >&"${ENGINE[1]}"
  wait "$ENGINE_PID" 2>/dev/null || true
  echo "$((up - start)) $((fresh - up)) $((done_at - searched))"
}
startup=() fresh=() used=()
for _ in $(seq "$runs"); do
  read -r a b c < <(uci_timings)
  startup+=("$a") fresh+=("$b") used+=("$c")
done
echo "start-up to uciok:      $(ms "$(printf '%s\n' "${startup[@]}" | median)") ms"
echo "ucinewgame to readyok:  $(ms "$(printf '%s\n' "${fresh[@]}" | median)") ms on a fresh engine," \
     "$(ms "$(printf '%s\n' "${used[@]}" | median)") ms after a search"
