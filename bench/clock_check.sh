#!/usr/bin/env bash
# Times single searches under the clock settings that are easiest to overrun: for each case a fresh
# engine gets a middlegame position and one search request, and the wall time from sending the
# request to receiving the move is printed (minimum, mean and maximum over the runs, in ms), next
# to the most the clock allows for that move.
# Usage: bench/clock_check.sh [build-dir | nelk-binary] [runs-per-case]
#   A build directory is built first (target nelk); a binary is used as it is.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-$root/build-bench}
runs=${2:-5}
case $target in /*) ;; *) target=$PWD/$target ;; esac
if [ -d "$target" ]; then
  cmake -S "$root" -B "$target" -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
  cmake --build "$target" -j2 --target nelk >/dev/null || exit 1
  engine=$target/nelk
else
  engine=$target
fi
[ -x "$engine" ] || { echo "no engine at $engine" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openings=("$root"/bench/openings/*.fen)
timeout_s=20

now_us() { echo "${EPOCHREALTIME/./}"; }

# One search: protocol (uci|xboard), the set-up lines, the request line, a pattern (extended
# regular expression) for the reply line, and optionally a request to answer first (so that the
# engine has measured its node rate, as in a game). Prints the milliseconds from the request to
# the reply, or "lost" when none came.
time_one() {
  local protocol=$1 setup=$2 request=$3 reply=$4 warmup=${5:-}
  local dir line start end
  dir=$(mktemp -d -p "$work")
  coproc ENGINE { cd "$dir" && exec "$engine" 2>/dev/null; }
  local to=${ENGINE[1]} from=${ENGINE[0]}
  if [ "$protocol" = uci ]; then
    printf 'uci\n' >&"$to"
    while read -r -t "$timeout_s" -u "$from" line && [ "$line" != uciok ]; do :; done
    if [ -n "$warmup" ]; then
      printf '%s\n%s\n' "$setup" "$warmup" >&"$to"
      while read -r -t "$timeout_s" -u "$from" line && ! [[ $line =~ $reply ]]; do :; done
      setup=${setup#ucinewgame$'\n'}
    fi
    printf '%s\nisready\n' "$setup" >&"$to"
    while read -r -t "$timeout_s" -u "$from" line && [ "$line" != readyok ]; do :; done
  else
    printf 'xboard\nprotover 2\n%s\nping 1\n' "$setup" >&"$to"
    while read -r -t "$timeout_s" -u "$from" line && [ "$line" != "pong 1" ]; do :; done
  fi
  start=$(now_us)
  printf '%s\n' "$request" >&"$to"
  local got=""
  while read -r -t "$timeout_s" -u "$from" line; do
    if [[ $line =~ $reply ]]; then got=1; break; fi
  done
  end=$(now_us)
  printf 'quit\n' >&"$to" 2>/dev/null
  wait "$ENGINE_PID" 2>/dev/null
  if [ -n "$got" ]; then echo $(( (end - start) / 1000 )); else echo lost; fi
}

# One case: label, allowed ms, protocol, set-up (with FEN for the position), request, reply pattern,
# optional warm-up request.
run_case() {
  local label=$1 allowed=$2 protocol=$3 setup=$4 request=$5 reply=$6 warmup=${7:-}
  local min=999999 max=0 sum=0 n=0 lost=0 g fen ms
  for ((g = 0; g < runs; g++)); do
    fen=$(head -n 1 "${openings[$(( g % ${#openings[@]} ))]}")
    ms=$(time_one "$protocol" "${setup//FEN/$fen}" "$request" "$reply" "$warmup")
    if [ "$ms" = lost ]; then lost=$((lost + 1)); continue; fi
    n=$((n + 1)); sum=$((sum + ms))
    [ "$ms" -lt "$min" ] && min=$ms
    [ "$ms" -gt "$max" ] && max=$ms
  done
  [ $n -eq 0 ] && min=0
  printf '%-44s allowed %6s  min %6d  mean %6d  max %6d ms%s\n' "$label" "$allowed" "$min" \
    $(( n > 0 ? sum / n : 0 )) "$max" "$([ $lost -gt 0 ] && echo "  NO MOVE in $lost runs")"
}

uci_case() { run_case "uci: $1" "$2" uci "ucinewgame
position fen FEN" "$1" '^bestmove '; }
# The same after a first move searched with the given request (the node rate is then measured).
uci_case_after() { run_case "uci: $1 (after $3)" "$2" uci "ucinewgame
position fen FEN" "$1" '^bestmove ' "$3"; }
xb_case() { run_case "xboard: $1 / $2" "$3" xboard "new
force
setboard FEN
$1
$2" go '^(move |[0-9]+\. \.\.\. )'; }

echo "Engine: $engine   runs per case: $runs"
uci_case "go wtime 100 winc 1000" 100
uci_case "go wtime 100" 100
uci_case "go wtime 300 winc 100" 300
uci_case "go wtime 1000" 1000
uci_case "go wtime 2000 movestogo 1" 2000
uci_case "go wtime 5000 movestogo 2" 5000
uci_case "go wtime 60000 winc 1000" 60000
uci_case "go movetime 100" 100
uci_case "go movetime 500" 500
uci_case "go depth 6" -
uci_case_after "go wtime 100 winc 1000" 100 "go movetime 1400"
uci_case_after "go wtime 1000" 1000 "go movetime 1400"
uci_case_after "go wtime 2000 movestogo 1" 2000 "go movetime 1400"
uci_case_after "go movetime 500" 500 "go movetime 1400"
xb_case "level 0 0:05 0" "time 300" 3000
xb_case "level 0 1 1" "time 10" 100
xb_case "level 40 5 0" "time 200" 2000
xb_case "level 1 0:02 0" "time 200" 2000
xb_case "st 1" "time 100000" 1000
