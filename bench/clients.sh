#!/usr/bin/env bash
# Drives the engine with real client programs, as users meet it, and counts what they complain
# about: python-chess in both protocols (play, analyse, an analysis ended by "stop", ping, ponder,
# root moves, node limits, three lines of play, a mate analysed to a depth, options, a whole game on
# a clock), a short fastchess match, two XBoard games under Xvfb and cutechess-cli matches in each
# protocol. It also measures how fast "stop" and "isready" are answered in the states of a UCI
# search.
# python-chess logs every engine line it cannot place at WARNING or above: each such record is a
# warning, each failed step (an exception or a time-out) an error. fastchess lines with "warning" in
# them are counted likewise. The machine is shared, so the figures are counts, not timings.
# cutechess-cli plays CUTECHESS_GAMES games with Nelk speaking UCI and as many with it speaking
# xboard, at 5+0.05 against Fairy-Max or Glaurung (each opening of bench/openings with both colours,
# fresh engine processes every game, one game at a time). Per protocol it prints the score, the lines
# in which cutechess complains about Nelk (an illegal move, a stalled connection, a disconnection, a
# loss on time, a warning naming it), and the depth of each of Nelk's moves as read from the move
# comments of the games' PGN, with the count of moves searched no deeper than 3 plies: a clock that
# hands out too little time shows there first. The complaints about Nelk go into the total.
#
# Usage: bench/clients.sh [nelk-binary]   (default: build/nelk of this tree)
# Environment:
#   CLIENTS_ONLY  run only these sections, comma-separated: latency, python-chess, fastchess, xboard,
#                 cutechess (default: all of them); e.g. CLIENTS_ONLY=cutechess bench/clients.sh
#   PYTHON_CHESS  directory holding the "chess" package (default ../shared/clients/python-chess)
#   FASTCHESS     the fastchess binary (default: fastchess on PATH, else ../fastchess/fastchess);
#                 to build it: tar xzf ../shared/tools/fastchess-src.tar.gz && make -j2 in its folder
#   MATCH_GAMES   games of the fastchess match (default 4), MATCH_TC its time control (default 2+0.05)
#   CUTECHESS     the cutechess-cli binary (default: cutechess-cli on PATH, else
#                 ../tools/cutechess/build/cutechess-cli); to build it (Qt 6: apt-get install -y
#                 qt6-base-dev libqt6svg6-dev), in the empty folder ../tools/cutechess:
#                   tar xzf ../../shared/tools/cutechess-src.tar.gz --strip-components=1 &&
#                   cmake -S . -B build -DWITH_TESTS=OFF && cmake --build build -j2 --target cli
#   CUTECHESS_GAMES     games per protocol (default 20)
#   CUTECHESS_OPPONENT  fairymax (xboard, the default) or glaurung (UCI): apt-get install -y fairymax
#                       glaurung; both land in /usr/games
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
nelk=${1:-$root/build/nelk}
case $nelk in /*) ;; *) nelk=$PWD/$nelk ;; esac
pychess=${PYTHON_CHESS:-$root/../shared/clients/python-chess}
fastchess=${FASTCHESS:-$(command -v fastchess || echo "$root/../fastchess/fastchess")}
games=${MATCH_GAMES:-4}
tc=${MATCH_TC:-2+0.05}
cutechess=${CUTECHESS:-$(command -v cutechess-cli || echo "$root/../tools/cutechess/build/cutechess-cli")}
cute_games=${CUTECHESS_GAMES:-20}
cute_opponent=${CUTECHESS_OPPONENT:-fairymax}
only=${CLIENTS_ONLY:-}
# wanted SECTION: whether the section is to run (every one does unless CLIENTS_ONLY names some)
wanted() { [ -z "$only" ] || case ",$only," in *",$1,"*) true ;; *) false ;; esac; }

if [ ! -x "$nelk" ]; then echo "no engine at $nelk (build it: cmake --build build --target nelk)"; exit 1; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1   # every run of the engine writes match.log here

cat > clients.py <<'EOF'
import logging, signal, sys, time
import chess, chess.engine

STEP_SECONDS = 90   # a step that takes longer has hung: it fails and the engine is started afresh

class Hung(Exception):
    pass

def on_alarm(signum, frame):
    raise Hung(f"no answer within {STEP_SECONDS} s")

signal.signal(signal.SIGALRM, on_alarm)

class Counter(logging.Handler):
    def __init__(self):
        super().__init__(logging.WARNING)
        self.count = 0
    def emit(self, record):
        self.count += 1
        print("  warning:", record.getMessage()[:300], flush=True)

counter = Counter()
logging.basicConfig(level=logging.WARNING, handlers=[counter])
errors = 0
engine_path, protocol = sys.argv[1], sys.argv[2]

def step(name, action):
    global errors
    started = time.monotonic()
    signal.alarm(STEP_SECONDS)
    try:
        action()
        signal.alarm(0)
        print(f"  {name}: ok ({time.monotonic() - started:.2f} s)", flush=True)
        return True
    except Exception as e:   # a time-out, a refused option, an engine that went away
        signal.alarm(0)
        errors += 1
        print(f"  {name}: FAILED {type(e).__name__}: {str(e)[:300]}", flush=True)
        return False

def restart():
    global engine
    signal.alarm(10)
    try:
        engine.close()
    except Exception:
        pass
    signal.alarm(0)
    engine = popen()

def popen():
    opener = chess.engine.SimpleEngine.popen_uci if protocol == "uci" else chess.engine.SimpleEngine.popen_xboard
    return opener(engine_path, timeout=15)

engine = popen()
start = chess.Board()
italian = chess.Board("r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3")

def play():
    r = engine.play(start, chess.engine.Limit(time=0.3))
    assert r.move in start.legal_moves, r

def analyse():
    info = engine.analyse(italian, chess.engine.Limit(depth=6))
    assert "score" in info and info.get("pv"), info

def analysis_stop():
    with engine.analysis(italian) as analysis:
        time.sleep(0.7)
        analysis.stop()
        best = analysis.wait()
    assert best.move in italian.legal_moves, best

def ping():
    for _ in range(3):
        engine.ping()

def ponder():
    board = chess.Board()
    for _ in range(6):
        r = engine.play(board, chess.engine.Limit(time=0.2), ponder=True)
        board.push(r.move)
        reply = r.ponder if r.ponder in board.legal_moves else next(iter(board.legal_moves))
        board.push(reply)   # the expected reply: the next play is a "ponderhit"

def root_moves():
    single = [chess.Move.from_uci("a2a3")]
    r = engine.play(start, chess.engine.Limit(depth=5), root_moves=single, info=chess.engine.INFO_ALL)
    assert r.move == single[0], r
    assert r.info.get("depth", 0) >= 5, r.info
    pair = [chess.Move.from_uci("h2h3"), chess.Move.from_uci("g2g4")]
    info = engine.analyse(start, chess.engine.Limit(depth=4), root_moves=pair)
    assert info["pv"][0] in pair, info

def nodes():
    for count in (1000, 20000, 200000):
        r = engine.play(italian, chess.engine.Limit(nodes=count))
        assert r.move in italian.legal_moves, r

def multipv():
    infos = engine.analyse(italian, chess.engine.Limit(depth=5), multipv=3)
    assert len(infos) == 3, infos
    firsts = [info["pv"][0] for info in infos]
    assert len(set(firsts)) == 3, firsts
    scores = [info["score"].relative.score(mate_score=100000) for info in infos]
    assert scores == sorted(scores, reverse=True), scores

def mate_analysis():
    # Mate in one on the back rank, read as a mate. An xboard analysis is ended by the client at its
    # depth limit, so it must get there; a UCI "go depth" may end at the mate.
    board = chess.Board("6k1/5ppp/8/8/8/8/5PPP/1R4K1 w - - 0 1")
    info = engine.analyse(board, chess.engine.Limit(depth=4))
    assert protocol == "uci" or info.get("depth", 0) >= 4, info
    assert info["score"].relative == chess.engine.Mate(1), info["score"]
    info = engine.analyse(chess.Board("6k1/5ppp/8/8/8/8/5PPP/1R4K1 b - - 0 1"), chess.engine.Limit(depth=3))
    assert not info["score"].is_mate(), info["score"]   # Black makes room for its king

def options():
    if protocol == "uci":
        engine.configure({"Hash": 32})
        engine.configure({"Clear Hash": None})
    else:
        engine.configure({"memory": 32})
    assert engine.play(start, chess.engine.Limit(time=0.2)).move in start.legal_moves

def whole_game():
    board = chess.Board()
    clock = [8.0, 8.0]
    increment = 0.1
    while not board.is_game_over(claim_draw=True) and board.ply() < 160:
        side = 0 if board.turn == chess.WHITE else 1
        limit = chess.engine.Limit(white_clock=clock[0], black_clock=clock[1], white_inc=increment, black_inc=increment)
        began = time.monotonic()
        r = engine.play(board, limit)
        clock[side] -= time.monotonic() - began
        assert clock[side] > 0, f"lost on time at ply {board.ply()}"
        clock[side] += increment
        board.push(r.move)
    print(f"    {board.ply()} plies, {board.result(claim_draw=True)}, clocks left {clock[0]:.1f} s / {clock[1]:.1f} s")

steps = [("play", play), ("analyse", analyse), ("analysis with stop", analysis_stop), ("ping", ping),
         ("ponder", ponder), ("root moves", root_moves), ("node limits", nodes), ("multipv", multipv),
         ("mate analysis", mate_analysis), ("options", options),
         ("whole game", whole_game)]
for name, action in steps:
    if protocol == "xboard" and name in ("root moves", "multipv"):
        continue   # python-chess offers neither over xboard
    if not step(name, action):   # the engine may be stuck in the failed step: the next ones get a new one
        restart()
signal.alarm(10)
try:
    engine.quit()
    signal.alarm(0)
except Exception as e:
    errors += 1
    print("  quit: FAILED", e)
print(f"python-chess {protocol}: {counter.count} warnings, {errors} errors")
EOF

# Milliseconds from "stop" (or "isready") to "bestmove" (or "readyok"), sent at moments of a search
# from its very start on; the median and the largest of the trials.
cat > latency.py <<'EOF'
import os, select, subprocess, sys, time
engine = sys.argv[1]

def trial(go, delay, command, reply):
    p = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, bufsize=0)
    seen = b""
    def send(line): p.stdin.write((line + "\n").encode())
    def wait(pattern, limit=30.0):
        nonlocal seen
        end = time.monotonic() + limit
        while pattern not in seen and time.monotonic() < end:
            if select.select([p.stdout], [], [], 0.01)[0]:
                chunk = os.read(p.stdout.fileno(), 65536)
                if not chunk: break
                seen += chunk
        found = pattern in seen
        seen = seen[seen.find(pattern) + len(pattern):] if found else b""
        return found
    send("uci"); wait(b"uciok"); send("isready"); wait(b"readyok")
    send("position startpos moves e2e4"); send(go)
    time.sleep(delay)
    start = time.monotonic(); send(command)
    ms = (time.monotonic() - start) * 1000 if wait(reply.encode()) else float("inf")
    send("stop"); wait(b"bestmove", 5); send("quit"); p.wait()
    return ms

for go in ("go infinite", "go ponder wtime 60000 btime 60000", "go depth 40", "go wtime 600000 btime 600000"):
    for command, reply in (("stop", "bestmove"), ("isready", "readyok")):
        ms = sorted(trial(go, delay, command, reply) for delay in (0, 0, 0, 0.02, 0.05, 0.1, 0.3, 0.6, 1.0))
        print(f"  {go:36s} {command:8s} median {ms[len(ms) // 2]:6.1f} ms  largest {ms[-1]:6.1f} ms", flush=True)
EOF
if wanted latency; then
  echo "latency of stop and isready (9 trials each, sent 0 to 1 s into the search):"
  python3 latency.py "$nelk"
fi

total=0
if ! wanted python-chess; then
  :
elif ! PYTHONPATH=$pychess python3 -c 'import chess.engine' 2>/dev/null; then
  echo "python-chess not found in $pychess (set PYTHON_CHESS)"
else
  for protocol in uci xboard; do
    echo "python-chess, $protocol:"
    PYTHONPATH=$pychess timeout 1200 python3 clients.py "$nelk" "$protocol" > "py-$protocol.log" 2>&1
    cat "py-$protocol.log"
    summary=$(grep "^python-chess $protocol:" "py-$protocol.log")
    if [ -z "$summary" ]; then echo "  the client script itself failed"; total=$((total + 1)); continue; fi
    set -- $summary
    total=$((total + $3 + $5))
  done
fi

if ! wanted fastchess; then
  :
elif [ ! -x "$fastchess" ]; then
  echo "fastchess not found at $fastchess: set FASTCHESS, or build it with"
  echo "  tar xzf $root/../shared/tools/fastchess-src.tar.gz && cd fastchess* && make -j2"
else
  for f in "$root"/bench/openings/*.fen; do head -n 1 "$f"; done > openings.epd
  echo "fastchess: $games games at $tc"
  "$fastchess" -engine cmd="$nelk" name=nelk-a -engine cmd="$nelk" name=nelk-b -each proto=uci tc="$tc" \
    -openings file=openings.epd format=epd order=sequential -rounds $(( (games + 1) / 2 )) -games 2 \
    -concurrency 1 -recover > fastchess.log 2>&1
  fast=$(grep -c '[Ww]arning' fastchess.log)
  grep '[Ww]arning' fastchess.log | head -20 | sed 's/^/  /'
  echo "  time forfeits: $(grep -c 'loses on time' fastchess.log)"
  grep -E '^(Results of|Elo|Games)' fastchess.log | tail -3 | sed 's/^/  /'
  echo "fastchess: $fast warnings"
  total=$((total + fast))
fi
# XBoard itself, headless: two games against Fairy-Max at 0:10 + 0.1 s. Its debug file names the
# engine of every line; lines of Nelk's ("first") that XBoard calls an error or illegal are counted.
if ! wanted xboard; then
  :
elif ! command -v xvfb-run > /dev/null || [ ! -x /usr/games/xboard ] || [ ! -x /usr/games/fairymax ]; then
  echo "XBoard not checked: apt-get install -y xboard xvfb fairymax"
else
  mkdir xboard && cd xboard || exit 1
  PATH=$PATH:/usr/games xvfb-run -a xboard -fcp "$nelk" -fd "$PWD" -scp fairymax -mm -mg 2 -tc 0:10 -inc 0.1 \
    -sgf games.pgn -noGUI -debug -nameOfDebugFile xboard.debug > xboard.out 2>&1 &
  xboard_pid=$!
  # XBoard stays up after its match: stop it once both games are in, or after five minutes.
  for _ in $(seq 300); do
    played=$(cat games.pgn 2> /dev/null | grep -c '^\[Result')
    [ "$played" -ge 2 ] && break
    sleep 1
  done
  sleep 2
  kill "$xboard_pid" 2> /dev/null; pkill -f "xboard -fcp $nelk" 2> /dev/null; wait "$xboard_pid" 2> /dev/null
  complaints=$(grep '<first' xboard.debug | grep -ci 'error\|illegal')
  echo "XBoard: $(cat games.pgn 2> /dev/null | grep -c '^\[Result') games, results: $(grep '^\[Result' games.pgn | tr -d '[]"' | cut -d' ' -f2 | tr '\n' ' ')"
  grep '<first' xboard.debug | grep -i 'error\|illegal' | head -10 | sed 's/^/  /'
  echo "XBoard: $complaints complaints in Nelk's lines"
  total=$((total + complaints))
  cd ..
fi
# cutechess-cli: Nelk in each protocol against one opponent, every game with fresh processes. The
# depths come from cutechess's move comments ({score/depth time}); the complaints from its output.
cat > cutechess.py <<'EOF'
import re, statistics, sys
log_file, pgn_file, nelk, expected = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])

# A line is about Nelk when it names it, or when it ends a game against the side Nelk played.
complaint = re.compile(r"illegal|connection stalls|disconnects|loses on time|forfeit|warning|"
                       r"terminating|not started in time|no response|crash", re.I)
finished = re.compile(r"^Finished game \d+ \((\S+) vs (\S+)\): \S+ \{(White|Black)\b")
about_nelk, about_others = [], []
for line in open(log_file, errors="replace"):
    line = line.rstrip()
    if not complaint.search(line):
        continue
    m = finished.match(line)
    named = (m.group(1) if m.group(3) == "White" else m.group(2)) if m else line
    (about_nelk if nelk in named else about_others).append(line)

games = []
for text in re.split(r"\n\s*\n(?=\[)", open(pgn_file, errors="replace").read()):
    tags = dict(re.findall(r'^\[(\w+) "(.*)"\]$', text, re.M))
    if "White" not in tags:
        continue
    movetext = "\n".join(l for l in text.splitlines() if not l.startswith("["))
    white_moves = tags.get("FEN", "x w").split()[1] == "w"
    plies = []   # [side, comment] of each move, in order
    for token in re.findall(r"\{[^}]*\}|\S+", movetext):
        if token.startswith("{"):
            if plies:
                plies[-1][1] = token[1:-1]
            continue
        token = re.sub(r"^\d+\.+", "", token)
        if not token or token in ("1-0", "0-1", "1/2-1/2", "*") or token.startswith("$"):
            continue
        plies.append(["White" if white_moves else "Black", ""])
        white_moves = not white_moves
    games.append((tags, plies))

wins = losses = draws = 0
depths_all, times_all, undated = [], [], 0
for number, (tags, plies) in enumerate(games, 1):
    side = "White" if nelk in tags["White"] else "Black"
    result = tags.get("Result", "*")
    if result == "1/2-1/2":
        draws += 1
    elif result in ("1-0", "0-1"):
        if (result == "1-0") == (side == "White"):
            wins += 1
        else:
            losses += 1
    depths = []
    for mover, comment in plies:
        if mover != side:
            continue
        m = re.match(r"[+-]?M?\d+(?:\.\d+)?/(\d+) ([\d.]+)s", comment)
        if m:
            depths.append(m.group(1))
            depths_all.append(int(m.group(1)))
            times_all.append(float(m.group(2)))
        else:
            depths.append("?")   # a move without a reported depth
            undated += 1
    ending = plies[-1][1].split(", ", 1)[1] if plies and ", " in plies[-1][1] else tags.get("Termination", "")
    print(f"  game {number:2d} as {side.lower()}, {result} {ending}: depths {' '.join(depths)}")

print(f"  score of Nelk (W/L/D): {wins}/{losses}/{draws} in {len(games)} games of {expected}")
for line in about_nelk[:20]:
    print("  complaint:", line[:300])
print(f"  complaints about Nelk: {len(about_nelk)}")
if about_others:
    print(f"  lines about the opponent: {len(about_others)}, e.g. {about_others[0][:200]}")
if depths_all:
    print(f"  Nelk moves: {len(depths_all) + undated}, at depth <= 3: {sum(d <= 3 for d in depths_all)}, "
          f"without a depth: {undated}, median depth {statistics.median(depths_all):g}, "
          f"median time {statistics.median(times_all):.3f} s, longest {max(times_all):.2f} s")
else:
    print(f"  Nelk moves: no depths read ({undated} moves without one)")
print(f"cutechess: {len(about_nelk)} complaints")
EOF
if ! wanted cutechess; then
  :
elif [ ! -x "$cutechess" ]; then
  echo "cutechess-cli not found at $cutechess: set CUTECHESS, or build it (Qt 6 needed:"
  echo "  apt-get install -y qt6-base-dev libqt6svg6-dev) in an empty folder with"
  echo "  tar xzf $root/../shared/tools/cutechess-src.tar.gz --strip-components=1 &&"
  echo "  cmake -S . -B build -DWITH_TESTS=OFF && cmake --build build -j2 --target cli"
else
  case $cute_opponent in
    glaurung) opponent="cmd=/usr/games/glaurung name=glaurung proto=uci" ;;
    fairymax) opponent="cmd=/usr/games/fairymax name=fairymax proto=xboard" ;;
    *) opponent=""; echo "cutechess: unknown opponent $cute_opponent (fairymax or glaurung)" ;;
  esac
  if [ -n "$opponent" ] && [ ! -x "/usr/games/$cute_opponent" ]; then
    echo "cutechess: no /usr/games/$cute_opponent (apt-get install -y $cute_opponent)"
    opponent=""
  fi
  for f in "$root"/bench/openings/*.fen; do head -n 1 "$f"; done > openings.epd
  for protocol in uci xboard; do
    [ -n "$opponent" ] || break
    echo "cutechess: $cute_games games, Nelk speaking $protocol, against $cute_opponent at 5+0.05:"
    mkdir -p "cute-$protocol"   # Nelk's working directory: its match.log goes there
    # Every opening twice, with the colours swapped; a crashed engine is restarted and its game lost.
    # shellcheck disable=SC2086
    timeout $((cute_games * 120 + 60)) "$cutechess" \
      -engine cmd="$nelk" name="nelk-$protocol" proto=$protocol dir="$PWD/cute-$protocol" \
        stderr="$PWD/cute-$protocol/stderr.txt" \
      -engine $opponent -each tc=5+0.05 restart=on \
      -openings file=openings.epd format=epd order=sequential -repeat -games 1 -rounds "$cute_games" \
      -concurrency 1 -recover -pgnout "cute-$protocol.pgn" > "cute-$protocol.log" 2>&1
    echo "  cutechess-cli exit status $?"
    touch "cute-$protocol.pgn"
    if [ -s "cute-$protocol/stderr.txt" ]; then
      echo "  Nelk wrote $(wc -l < "cute-$protocol/stderr.txt") lines to stderr, the first:"
      head -3 "cute-$protocol/stderr.txt" | sed 's/^/    /'
    fi
    python3 cutechess.py "cute-$protocol.log" "cute-$protocol.pgn" "nelk-$protocol" "$cute_games" > "cute-$protocol.txt"
    grep -v '^cutechess: ' "cute-$protocol.txt"
    complaints=$(sed -n 's/^cutechess: \([0-9]*\) complaints$/\1/p' "cute-$protocol.txt")
    if [ -z "$complaints" ]; then echo "  the analysis of the games failed"; complaints=1; fi
    echo "cutechess $protocol: $complaints complaints about Nelk"
    total=$((total + complaints))
  done
fi
echo "client warnings: $total"
