#!/usr/bin/env bash
# Plays the engine against itself through the UCI dialogue with a clock kept here, as a match
# manager would: "go wtime/btime/winc/binc[/movestogo]", the wall time from "go" to "bestmove" taken
# off the mover's clock, the increment added after the move, a new session every movestogo moves.
# Prints one line per game (plies, time used per side, longest move, the least time left) and
# flags every game in which a side overstepped its clock.
# Usage: bench/uci_clock.sh [build-dir] [games-per-control] [control ...]
#   control = base_ms+inc_ms or base_ms+inc_ms/movestogo; default: a bullet-to-rapid set.
# Exits with 1 when any side lost on time.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac   # the games run in other directories
case $build in /*) ;; *) build=$PWD/$build ;; esac
games=${2:-2}
shift $(( $# > 2 ? 2 : $# ))
controls=("$@")
[ ${#controls[@]} -eq 0 ] && controls=(1000+100 3000+0 5000+50 10000+0 20000+0/10 60000+0)
max_plies=200
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build "$build" -j2 --target nelk >/dev/null || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openings=("$root"/bench/openings/*.fen)
now_ms() { date +%s%3N; }
losses=0

play_game() {   # base inc movestogo fen
  local base=$1 inc=$2 mtg=$3 fen=$4
  local dir
  dir=$(mktemp -d -p "$work")
  coproc ENGINE { cd "$dir" && exec "$build/nelk"; }
  local to=${ENGINE[1]} from=${ENGINE[0]} line
  echo "uci" >&"$to"
  while read -r -u "$from" line && [ "$line" != "uciok" ]; do :; done
  echo "ucinewgame" >&"$to"
  local clock=("$base" "$base") used=(0 0) worst=(0 0) least=("$base" "$base") moves="" ply=0 lost=""
  local side=0
  [ "$(echo "$fen" | awk '{print $2}')" = "b" ] && side=1
  while [ $ply -lt $max_plies ]; do
    local go="go wtime ${clock[0]} btime ${clock[1]} winc $inc binc $inc"
    if [ "$mtg" -gt 0 ]; then go="$go movestogo $(( mtg - (ply / 2) % mtg ))"; fi
    echo "position fen $fen${moves:+ moves$moves}" >&"$to"
    local start
    start=$(now_ms)
    echo "$go" >&"$to"
    local best=""
    while read -r -u "$from" line; do
      case $line in bestmove*) best=$(echo "$line" | awk '{print $2}'); break ;; esac
    done
    local dt=$(( $(now_ms) - start ))
    [ -z "$best" ] && { lost="engine ended at ply $ply"; break; }
    [ "$best" = "0000" ] && break
    used[$side]=$(( used[side] + dt ))
    [ $dt -gt "${worst[$side]}" ] && worst[$side]=$dt
    clock[$side]=$(( clock[side] - dt ))
    [ "${clock[$side]}" -lt "${least[$side]}" ] && least[$side]=${clock[$side]}
    if [ "${clock[$side]}" -lt 0 ]; then lost="side $side lost on time at ply $ply (move took $dt ms)"; break; fi
    clock[$side]=$(( clock[side] + inc ))
    if [ "$mtg" -gt 0 ] && [ $(( (ply / 2) % mtg )) -eq $(( mtg - 1 )) ] && [ $(( ply % 2 )) -eq 1 ]; then
      clock[0]=$(( clock[0] + base )); clock[1]=$(( clock[1] + base ))
    fi
    moves="$moves $best"
    ply=$(( ply + 1 ))
    side=$(( 1 - side ))
  done
  echo "quit" >&"$to"
  wait "$ENGINE_PID" 2>/dev/null
  printf '  plies %3d  used %6d/%6d ms  longest %5d/%5d ms  least left %6d/%6d ms  %s\n' \
    "$ply" "${used[0]}" "${used[1]}" "${worst[0]}" "${worst[1]}" "${least[0]}" "${least[1]}" "${lost:-ok}"
  [ -z "$lost" ]
}

for control in "${controls[@]}"; do
  base=${control%%+*}
  rest=${control#*+}
  inc=${rest%%/*}
  mtg=0
  [ "$rest" != "$inc" ] && mtg=${rest#*/}
  echo "Time control $control (ms, increment, moves per session)"
  for ((g = 0; g < games; g++)); do
    fen=$(head -n 1 "${openings[$(( g % ${#openings[@]} ))]}")
    play_game "$base" "$inc" "$mtg" "$fen" || losses=$((losses + 1))
  done
done
echo "Games lost on time: $losses"
[ "$losses" -eq 0 ]
