#!/usr/bin/env bash
# Times the first searches of fresh engine processes against later ones: the first search runs on
# a hash table no search has touched yet, and whatever that costs (page faults) is time the clock
# did not plan for. For each case a fresh process gets "uci", optionally
# "setoption name Hash value N", "isready" (the search waits for "readyok"), then a middlegame
# position from bench/openings and "go movetime 100" several times over; the wall time from "go"
# to "bestmove" is taken for the first search and for the later ones. Also timed: process start to
# "uciok", "isready" to "readyok", and in xboard process start ("xboard" and "protover 2" sent at
# once) to the "feature ... done=1" line.
# Prints min, median and max over the processes (ms), and the median depth reached.
#
# Usage: bench/first_search.sh [nelk-binary | build-dir] [processes-per-case]
#   default: build/nelk of this tree, 5 processes per case
# Environment:
#   FIRST_SEARCHES  searches per process (default 5)
#   FIRST_HASH      the larger Hash case in MiB (default 1024)
# Needs python3. One engine runs at a time.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
nelk=${1:-$root/build/nelk}
case $nelk in /*) ;; *) nelk=$PWD/$nelk ;; esac
[ -d "$nelk" ] && nelk=$nelk/nelk
runs=${2:-5}
if [ ! -x "$nelk" ]; then
  echo "no engine at $nelk (build it: cmake --build build --target nelk)"; exit 1
fi

python3 - "$nelk" "$runs" "${FIRST_SEARCHES:-5}" "${FIRST_HASH:-1024}" "$root/bench/openings" <<'PY'
import glob, os, queue, shutil, statistics, subprocess, sys, tempfile, threading, time

binary, runs, searches, big_hash, openings_dir = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), \
    int(sys.argv[4]), sys.argv[5]
openings = sorted(glob.glob(os.path.join(openings_dir, "*.fen")))
WAIT_S = 30
MOVETIME = 100


class Engine:
    """A process in its own temporary directory (it writes match.log there); a thread reads its
    lines and stamps them with the monotonic time they arrived."""

    def __init__(self, parent):
        self.dir = tempfile.mkdtemp(dir=parent)
        self.started = time.monotonic()
        self.proc = subprocess.Popen([binary], cwd=self.dir, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in iter(self.proc.stdout.readline, ""):
            self.lines.put((time.monotonic(), line.rstrip("\r\n")))
        self.lines.put((time.monotonic(), None))

    def send(self, *lines):
        self.proc.stdin.write("".join(line + "\n" for line in lines))
        self.proc.stdin.flush()
        return time.monotonic()

    def wait_for(self, test, seen=None):
        """Arrival time of the first line passing test, None if none comes in time."""
        deadline = time.monotonic() + WAIT_S
        while True:
            try:
                arrived, line = self.lines.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                return None
            if line is None:
                return None
            if seen:
                seen(line)
            if test(line):
                return arrived

    def close(self):
        try:
            self.send("quit")
            self.proc.wait(timeout=5)
        except (OSError, subprocess.TimeoutExpired):
            self.proc.kill()
            self.proc.wait()


times = {}    # figure -> [ms]
depths = {}   # figure -> [depth]
lost = {}     # figure -> count


def note(figure, start, end, depth=None):
    if end is None:
        lost[figure] = lost.get(figure, 0) + 1
        return
    times.setdefault(figure, []).append((end - start) * 1000)
    if depth is not None:
        depths.setdefault(figure, []).append(depth)


def uci_process(parent, label, hash_mib, fen):
    e = Engine(parent)
    try:
        e.send("uci")
        note("start -> uciok", e.started, e.wait_for(lambda l: l == "uciok"))
        if hash_mib:
            e.send(f"setoption name Hash value {hash_mib}")
        start = e.send("isready")
        end = e.wait_for(lambda l: l == "readyok")
        note(f"{label}: isready -> readyok", start, end)
        if end is None:
            return
        for k in range(1, searches + 1):
            depth = [None]

            def seen(line):
                words = line.split()
                if words[:1] == ["info"] and "depth" in words and "pv" in words:
                    i = words.index("depth")
                    if i + 1 < len(words) and words[i + 1].isdigit():
                        depth[0] = int(words[i + 1])

            e.send(f"position fen {fen}")
            start = e.send(f"go movetime {MOVETIME}")
            end = e.wait_for(lambda l: l.startswith("bestmove"), seen)
            figure = f"{label}: search 1" if k == 1 else f"{label}: searches 2-{searches}"
            note(figure, start, end, depth[0])
            if end is None:
                return
    finally:
        e.close()


def xboard_process(parent):
    e = Engine(parent)
    try:
        e.send("xboard", "protover 2")
        note("xboard: start -> feature done=1", e.started,
             e.wait_for(lambda l: l.startswith("feature") and "done=1" in l))
    finally:
        e.close()


parent = tempfile.mkdtemp(prefix="nelk-first-")
cases = [("Hash default", 0), (f"Hash {big_hash}", big_hash)]
order = ["start -> uciok"]
for label, _ in cases:
    order += [f"{label}: isready -> readyok", f"{label}: search 1",
              f"{label}: searches 2-{searches}"]
order.append("xboard: start -> feature done=1")
try:
    for r in range(runs):
        with open(openings[r % len(openings)]) as f:
            fen = f.readline().strip()
        for label, hash_mib in cases:
            uci_process(parent, label, hash_mib, fen)
        xboard_process(parent)
finally:
    shutil.rmtree(parent, ignore_errors=True)

print(f"Engine: {binary}")
print(f"{runs} processes per case, {searches} searches of \"go movetime {MOVETIME}\" each"
      f" (a middlegame position from bench/openings per process)")
print(f"{'':40s} {'min':>8s} {'median':>8s} {'max':>8s} ms  {'n':>3s}  depth: median (min)")
for figure in order:
    ms = times.get(figure, [])
    cells = (f"{min(ms):8.1f} {statistics.median(ms):8.1f} {max(ms):8.1f}" if ms
             else f"{'-':>8s} {'-':>8s} {'-':>8s}")
    d = depths.get(figure)
    depth = f"  {statistics.median(d):g} ({min(d)})" if d else ""
    missing = f"  NO ANSWER in {lost[figure]}" if lost.get(figure) else ""
    print(f"{figure:40s} {cells} ms  {len(ms):3d}{depth}{missing}")
PY
