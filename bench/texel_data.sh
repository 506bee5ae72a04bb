#!/bin/sh
# Plays Nelk with the capture search (-qs) against itself with fastchess from the balanced openings
# of bench/openings (each opening with both colours), keeps the games with their moves in UCI
# notation and fits the evaluation's term multipliers to them with "nelk -texel FILE -qs" (Texel's
# method); prints the tuner's table: games, positions, K, the error before and after the fit, and
# each term's multiplier with its mean size.
#
#   bench/texel_data.sh [GAMES] [TC]
#
# GAMES defaults to 400 and TC to 3+0.03 (seconds + increment).
# Environment: NELK (default build/nelk), FASTCHESS (default: fastchess on PATH), CONCURRENCY
# (default 2), PGNOUT (a file to keep the games in), OPENINGS (an EPD file of openings instead of
# the first line of each bench/openings file: the 20 there repeat once GAMES passes 40, and only
# the clocks then keep games from repeating too).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
games=${1:-400}
tc=${2:-3+0.03}
nelk=$(realpath "${NELK:-build/nelk}")
fastchess=${FASTCHESS:-$(command -v fastchess || true)}
concurrency=${CONCURRENCY:-2}
openings=${OPENINGS:+$(realpath "$OPENINGS")}
pgnout=${PGNOUT:+$(realpath -m "$PGNOUT")}

if [ -z "$fastchess" ] || [ ! -x "$fastchess" ]; then
  echo "fastchess not found: build it from https://github.com/Disservin/fastchess (make -j2) and set"
  echo "FASTCHESS=/path/to/fastchess (a copy of its source is in ../shared/tools/fastchess-src.tar.gz)."
  exit 2
fi
[ -x "$nelk" ] || { echo "no engine at $nelk: build it first (cmake --build build --target nelk)"; exit 2; }
[ -z "$openings" ] || [ -f "$openings" ] || { echo "no openings file at $OPENINGS"; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -n "$openings" ]; then cp "$openings" "$work/openings.epd"
else for f in "$here"/openings/*.fen; do head -n 1 "$f"; done > "$work/openings.epd"; fi
rounds=$(( (games + 1) / 2 ))
# Every engine writes match.log in its working directory: keep them in the scratch directory.
cd "$work"
"$fastchess" -engine cmd="$nelk" name=nelk-qs-1 proto=uci args=-qs \
  -engine cmd="$nelk" name=nelk-qs-2 proto=uci args=-qs -each tc="$tc" \
  -openings file=openings.epd format=epd order=sequential -rounds "$rounds" -games 2 -repeat \
  -concurrency "$concurrency" -recover -pgnout file=games.pgn notation=uci > fastchess.log 2>&1 || true
[ -s games.pgn ] || { echo "fastchess wrote no games; the end of its log:"; tail -n 20 fastchess.log; exit 1; }
grep -c 'loses on time' fastchess.log | sed 's/^/time forfeits: /'
[ -z "$pgnout" ] || cp games.pgn "$pgnout"
"$nelk" -texel games.pgn -qs | grep -v '^Nelk *$'
