#!/usr/bin/env bash
# Plays short games from fresh engine processes in both protocols and prints how deep each move was
# searched: the first searches of a process run on an untouched hash table, and when one of them is
# slow (page faults, a machine busy for a moment) the clock must not cut the rest of the game short.
# One process plays both sides of a game from one of bench/openings; each move request carries the
# mover's clock ("go wtime/btime/winc/binc" in UCI, "time"/"otim" then "go" in xboard, after
# "level"), and the wall time from the request to the move is taken off that clock, the increment
# added, as a match manager does. Every other game of each protocol has its process stopped
# (SIGSTOP) 20 ms after its first move request and continued a second later.
# Prints one line per game (protocol, whether paused, opening, first move's wall time in ms, clocks
# left in ms, the depth of every move) and then the moves searched to depth 3 (FRESH_SHALLOW) or
# less while the mover had more than a second left, per protocol, paused or not, and in all; moves
# whose depth the engine did not report are counted apart. Always exits 0: the figures are for
# reading.
#
# Usage: bench/fresh_games.sh [nelk-binary | build-dir]   (default: build/nelk of this tree)
# Environment:
#   FRESH_GAMES   games (= processes) per protocol (default 12; half of them paused)
#   FRESH_PLIES   plies per game (default 16)
#   FRESH_TC      base+increment per side in seconds (default 5+0.05)
#   FRESH_SHALLOW a move searched to this depth or less counts as cut short (default 3)
#   PYTHON_CHESS  directory holding the "chess" package (default ../shared/clients/python-chess)
# Needs python3. The games run one after another: one engine at a time.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
nelk=${1:-$root/build/nelk}
case $nelk in /*) ;; *) nelk=$PWD/$nelk ;; esac
[ -d "$nelk" ] && nelk=$nelk/nelk
pychess=${PYTHON_CHESS:-$root/../shared/clients/python-chess}

if [ ! -x "$nelk" ]; then
  echo "no engine at $nelk (build it: cmake --build build --target nelk)"; exit 0
fi
if ! PYTHONPATH="$pychess${PYTHONPATH:+:$PYTHONPATH}" python3 -c 'import chess' 2>/dev/null; then
  echo "python-chess not found in $pychess (set PYTHON_CHESS)"; exit 0
fi
PYTHONPATH="$pychess${PYTHONPATH:+:$PYTHONPATH}" python3 "$root/bench/fresh_games.py" "$nelk"
exit 0
