#!/bin/sh
# Plays Nelk against an opponent with fastchess from the balanced openings of bench/openings (each
# opening with both colours; bench/make_openings.py writes the generated ones) and prints wins,
# losses, draws and the Elo difference with its error bar.
#
#   bench/match.sh OPPONENT [GAMES] [TC]
#
# OPPONENT: self (Nelk with the capture search against Nelk without it), base (the build BASE=path
# with the same arguments: a change against the last accepted build), sf1500 | sf1800 | sf2100 |
# sf2400 (Debian's stockfish with UCI_LimitStrength and that UCI_Elo), glaurung, toga2, fairymax (xboard),
# phalanx (xboard). GAMES defaults to 200 and TC to 10+0.1 (seconds + increment).
# SPRT=1 makes it a sequential test (elo0=0 elo1=10 alpha=0.05 beta=0.1): it stops once the
# change is shown to gain or not to, GAMES being the most it plays.
# Environment: NELK (default build/nelk), NELK_ARGS (default -qs: the engine under test plays with
# the capture search; set it empty for the default search), FASTCHESS (default: fastchess on PATH),
# CONCURRENCY (default 1: on a shared machine a second game at once steals time from both),
# PGNOUT (a file to keep the games in), NELK_ELO (Nelk plays with UCI_LimitStrength at this
# UCI_Elo; against sfNNNN with the same number this calibrates the rating).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
opponent=${1:?usage: bench/match.sh OPPONENT [GAMES] [TC]}
games=${2:-200}
tc=${3:-10+0.1}
nelk=$(realpath "${NELK:-build/nelk}")
nelk_args=${NELK_ARGS--qs}
fastchess=${FASTCHESS:-$(command -v fastchess || true)}
concurrency=${CONCURRENCY:-1}
nelk_elo=${NELK_ELO:-}
nelk_options=${nelk_elo:+option.UCI_LimitStrength=true option.UCI_Elo=$nelk_elo}

if [ -z "$fastchess" ] || [ ! -x "$fastchess" ]; then
  echo "fastchess not found: build it from https://github.com/Disservin/fastchess (make -j2) and set"
  echo "FASTCHESS=/path/to/fastchess (a copy of its source is in ../shared/tools/fastchess-src.tar.gz)."
  exit 2
fi
[ -x "$nelk" ] || { echo "no engine at $nelk: build it first (cmake --build build --target nelk)"; exit 2; }

need() { [ -x "$1" ] || { echo "$1 not found: apt-get install -y $2"; exit 2; }; }
case $opponent in
  self) other="cmd=$nelk name=nelk-default proto=uci" ;;
  base)
    base=$(realpath "${BASE:?set BASE to the build to test against}")
    [ -x "$base" ] || { echo "no engine at $base"; exit 2; }
    other="cmd=$base name=nelk-base proto=uci ${nelk_args:+args=$nelk_args}" ;;
  sf[0-9]*)
    need /usr/games/stockfish stockfish
    elo=${opponent#sf}
    other="cmd=/usr/games/stockfish name=stockfish-$elo proto=uci option.UCI_LimitStrength=true option.UCI_Elo=$elo option.Threads=1 option.Hash=64" ;;
  # Both would otherwise play from their own opening books; Glaurung would also start a second thread.
  glaurung)
    need /usr/games/glaurung glaurung
    other="cmd=/usr/games/glaurung name=glaurung proto=uci option.Threads=1 option.OwnBook=false" ;;
  toga2) need /usr/games/toga2 toga2; other="cmd=/usr/games/toga2 name=toga2 proto=uci option.OwnBook=false" ;;
  fairymax) need /usr/games/fairymax fairymax; other="cmd=/usr/games/fairymax name=fairymax proto=xboard" ;;
  phalanx) need /usr/games/phalanx phalanx; other="cmd=/usr/games/phalanx name=phalanx proto=xboard" ;;
  *) echo "unknown opponent $opponent"; exit 2 ;;
esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The named openings (one position a file), then the generated balanced ones (one a line).
{ for f in "$here"/openings/*.fen; do head -n 1 "$f"; done
  cat "$here"/openings/*.epd 2>/dev/null; } > "$work/openings.epd"
rounds=$(( (games + 1) / 2 ))
name="nelk${nelk_args:+$nelk_args}${nelk_elo:+-elo$nelk_elo}"
# Every engine writes match.log in its working directory: keep them in the scratch directory.
cd "$work"
# shellcheck disable=SC2086
"$fastchess" -engine cmd="$nelk" name="$name" proto=uci ${nelk_args:+args="$nelk_args"} $nelk_options \
  -engine $other -each tc="$tc" \
  -openings file=openings.epd format=epd order=sequential -rounds "$rounds" -games 2 -repeat \
  -concurrency "$concurrency" -recover ${PGNOUT:+-pgnout file="$PGNOUT" notation=uci} \
  ${SPRT:+-sprt elo0=0 elo1=10 alpha=0.05 beta=0.1} > fastchess.log 2>&1 || true
grep -c 'loses on time' fastchess.log | sed 's/^/time forfeits: /'
# fastchess names the engine a warning is about; the opponent's own are not Nelk's to mend.
grep -i 'warn' fastchess.log | grep -c "from $name\$" | sed 's/^/fastchess warnings about Nelk: /'
grep -i 'warn' fastchess.log | grep -v -c "from $name\$" | sed 's/^/fastchess warnings about the opponent: /'
awk '/^Results of/ {block = ""} {block = block $0 "\n"} END {printf "%s", block}' fastchess.log | \
  grep -E 'Results of|Elo:|Games:|Ptnml|LLR'
