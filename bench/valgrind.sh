#!/bin/sh
# A short UCI and a short xboard session under valgrind's memcheck: no invalid read or write, no
# use of an uninitialised value and no leak may be reported. (The transposition table allocated at
# start-up is reachable for the whole run; it shows as "still reachable", never as a leak.)
#   bench/valgrind.sh [BUILD_DIR]       default: build-valgrind (optimised, with debug information)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-valgrind}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac   # the games run in other directories
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target nelk >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
session() {
  name=$1
  log="$work/$name.valgrind"
  valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect,possible \
    --errors-for-leak-kinds=definite,indirect,possible --track-origins=yes --error-exitcode=99 \
    --log-file="$log" "$build/nelk" > "$work/$name.out" 2>&1 || true
  errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$log" | tail -n 1)
  definite=$(sed -n 's/.*definitely lost: \([0-9,]*\) bytes.*/\1/p' "$log" | tail -n 1)
  indirect=$(sed -n 's/.*indirectly lost: \([0-9,]*\) bytes.*/\1/p' "$log" | tail -n 1)
  possible=$(sed -n 's/.*possibly lost: \([0-9,]*\) bytes.*/\1/p' "$log" | tail -n 1)
  reachable=$(sed -n 's/.*still reachable: \([0-9,]*\) bytes.*/\1/p' "$log" | tail -n 1)
  # An engine move: UCI "bestmove e2e4", xboard "move e2e4" after "protover 2", else "1. ... e2e4".
  moves=$(grep -c -E '^bestmove |^move |^[0-9]+\. \.\.\. ' "$work/$name.out" || true)
  echo "$name session: $moves engine moves, errors ${errors:-?}, definitely lost ${definite:-0} bytes, indirectly lost ${indirect:-0}," \
       "possibly lost ${possible:-0}, still reachable ${reachable:-0} bytes"
  if [ "${errors:-1}" != "0" ]; then
    touch "$work/failed"   # a function at the end of a pipeline runs in a subshell
    grep -E "Invalid|uninitialised|lost in loss record" "$log" | head -n 20
    echo "full report: $log (kept in $root/build-valgrind-$name.log)"
    cp "$log" "$root/build-valgrind-$name.log"
  fi
}

# UCI: a short game with a few searches, options, a new game, ponder and infinite analysis stopped.
{
  printf 'uci\nsetoption name Ponder value true\nisready\nucinewgame\n'
  printf 'position startpos moves e2e4 e7e5 g1f3\ngo depth 3\n'
  printf 'position startpos moves e2e4 e7e5 g1f3 b8c6\ngo wtime 2000 btime 2000 winc 10 binc 10\n'
  printf 'position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1 moves e1g1\ngo movetime 300\n'
  printf 'go ponder wtime 1000 btime 1000\n'
  sleep 1
  printf 'ponderhit\n'
  sleep 2
  printf 'go infinite searchmoves a2a3 b2b4\n'
  sleep 1
  printf 'stop\nposition fen 8/8/8/8/8/8/8/8 w - - 0 1\ngo depth 2\nisready\nquit\n'
} | session uci

# xboard: a game with moves from both sides, time controls, edit mode, analysis and a bad position.
{
  printf 'xboard\nprotover 2\nnew\nlevel 40 0:05 0\npost\ntime 500\notim 500\ne2e4\n'
  sleep 2
  printf 'ping 1\nforce\nd2d4\nedit\n#\nKe1\nRh1\nc\nKe8\n.\nwhite\nsd 3\ngo\n'
  sleep 2
  printf 'new\nsetboard 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1\nanalyze\n'
  sleep 1
  printf 'exit\nsetboard 8/8/8/8/8/8/8/8 w - - 0 1\ngo\nnew\nst 1\ngo\n'
  sleep 2
  printf 'ping 2\nquit\n'
} | session xboard

[ ! -e "$work/failed" ]
