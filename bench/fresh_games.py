"""Short games from fresh engine processes, in both protocols, with the clock kept here.

Run by bench/fresh_games.sh, which documents it; arguments: nelk-binary. Environment: FRESH_GAMES
(games per protocol), FRESH_PLIES (plies per game), FRESH_TC (base+increment in seconds),
FRESH_SHALLOW (the depth at or below which a move counts as cut short).

One process plays both sides of one game. Every move request carries the mover's clock; the wall
time from sending the request to reading the move is taken off that clock and the increment added,
as a match manager does. Every other game (per protocol) has its process stopped (SIGSTOP) shortly
after its first move request and continued (SIGCONT) a second later, as a busy machine would.
The depth of a move is that of the engine's last report before the move: in UCI the last "info"
line with a "pv" (else the last "info depth N"), in xboard the last thinking line
("ply score time nodes pv", asked for with "post").
"""
import glob
import os
import queue
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

import chess

PAUSE_AFTER_S = 0.02      # from the first move request to SIGSTOP
PAUSE_FOR_S = 1.0         # from SIGSTOP to SIGCONT
SHALLOW_DEPTH = int(os.environ.get("FRESH_SHALLOW", "3"))  # a move searched this deep or less ...
SHALLOW_CLOCK_MS = 1000   # ... with more than this on the mover's clock counts as cut short
HANDSHAKE_S = 20          # for uciok, readyok, feature done=1, pong

XBOARD_THINKING = re.compile(r"^\s*(\d+)[.&?!]?\s+(-?\d+)\s+(-?\d+)\s+(\d+)(\s|$)")
XBOARD_MOVE = re.compile(r"^(?:move\s+|\d+\.\s*\.\.\.\s*)(\S+)")


class Engine:
    """A process of the engine in its own temporary directory; its lines are read by a thread
    and stamped with the monotonic time they arrived."""

    def __init__(self, binary, parent):
        self.dir = tempfile.mkdtemp(prefix="game-", dir=parent)
        self.proc = subprocess.Popen([binary], cwd=self.dir, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        while True:
            line = self.proc.stdout.readline()
            if not line:
                break
            self.lines.put((time.monotonic(), line.rstrip("\r\n")))
        self.lines.put((time.monotonic(), None))

    def send(self, *lines):
        try:
            self.proc.stdin.write("".join(line + "\n" for line in lines))
            self.proc.stdin.flush()
        except OSError:
            pass

    def next_line(self, deadline):
        """(arrival time, line); line is None at end of output, "" past the deadline."""
        try:
            return self.lines.get(timeout=max(0.0, deadline - time.monotonic()))
        except queue.Empty:
            return time.monotonic(), ""

    def wait_for(self, test, seconds):
        deadline = time.monotonic() + seconds
        while True:
            _, line = self.next_line(deadline)
            if not line:
                return False
            if test(line):
                return True

    def close(self):
        self.send("quit")
        try:
            self.proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


def uci_depth(line, depth):
    """Folds one UCI line into depth = (depth of the last line with a pv, last depth seen)."""
    words = line.split()
    if not words or words[0] != "info" or "depth" not in words:
        return depth
    i = words.index("depth")
    try:
        d = int(words[i + 1])
    except (IndexError, ValueError):
        return depth
    return (d if "pv" in words else depth[0], d)


def play_game(binary, parent, protocol, fen, paused, plies, base_ms, inc_ms):
    engine = Engine(binary, parent)
    board = chess.Board(fen)
    clock = {chess.WHITE: base_ms, chess.BLACK: base_ms}
    result = {"depths": [], "clock_before": [], "first_ms": None, "trouble": None}
    try:
        if protocol == "uci":
            engine.send("uci")
            if not engine.wait_for(lambda l: l == "uciok", HANDSHAKE_S):
                result["trouble"] = "no uciok"
                return result
            engine.send("ucinewgame", "isready")
            if not engine.wait_for(lambda l: l == "readyok", HANDSHAKE_S):
                result["trouble"] = "no readyok"
                return result
        else:
            engine.send("xboard", "protover 2")
            if not engine.wait_for(lambda l: l.startswith("feature") and "done=1" in l,
                                   HANDSHAKE_S):
                result["trouble"] = "no feature done=1"
                return result
            inc_s = f"{inc_ms / 1000:g}"
            minutes, seconds = divmod(base_ms // 1000, 60)
            engine.send("new", "force", "easy", "post", f"level 0 {minutes}:{seconds:02d} {inc_s}",
                        f"setboard {fen}", "ping 1")
            if not engine.wait_for(lambda l: l == "pong 1", HANDSHAKE_S):
                result["trouble"] = "no pong"
                return result

        for ply in range(plies):
            if board.is_game_over():
                break
            mover = board.turn
            mine, theirs = clock[mover], clock[not mover]
            if protocol == "uci":
                moves = " ".join(m.uci() for m in board.move_stack)
                engine.send(f"position fen {fen}" + (f" moves {moves}" if moves else ""))
                request = (f"go wtime {clock[chess.WHITE]} btime {clock[chess.BLACK]}"
                           f" winc {inc_ms} binc {inc_ms}")
            else:
                # The engine made its last move on its own board; it now plays the other side.
                engine.send("force", f"time {max(1, round(mine / 10))}",
                            f"otim {max(1, round(theirs / 10))}")
                request = "go"
            start = time.monotonic()
            engine.send(request)
            if ply == 0 and paused:
                time.sleep(PAUSE_AFTER_S)
                os.kill(engine.proc.pid, signal.SIGSTOP)
                time.sleep(PAUSE_FOR_S)
                os.kill(engine.proc.pid, signal.SIGCONT)

            deadline = start + mine / 1000 + 10
            depth = (None, None)
            move = None
            while move is None:
                arrived, line = engine.next_line(deadline)
                if line is None:
                    result["trouble"] = f"engine ended at ply {ply}"
                    break
                if line == "":
                    result["trouble"] = f"no move at ply {ply} within {mine / 1000 + 10:.0f} s"
                    break
                if protocol == "uci":
                    if line.startswith("bestmove"):
                        words = line.split()
                        move = words[1] if len(words) > 1 else "(none)"
                    else:
                        depth = uci_depth(line, depth)
                else:
                    m = XBOARD_THINKING.match(line)
                    if m:
                        depth = (int(m.group(1)), int(m.group(1)))
                        continue
                    m = XBOARD_MOVE.match(line)
                    if m:
                        move = m.group(1)
                    elif line.startswith(("resign", "1-0", "0-1", "1/2-1/2", "Illegal", "Error")):
                        result["trouble"] = f"at ply {ply}: {line}"
                        break
            if move is None:
                break
            elapsed_ms = round((arrived - start) * 1000)
            if ply == 0:
                result["first_ms"] = elapsed_ms
            result["depths"].append(depth[0] if depth[0] is not None else depth[1])
            result["clock_before"].append(mine)
            try:
                played = chess.Move.from_uci(move)
            except ValueError:
                played = None
            if played is None or played not in board.legal_moves:
                result["trouble"] = f"illegal move {move} at ply {ply}"
                break
            board.push(played)
            clock[mover] = mine - elapsed_ms
            if clock[mover] < 0:
                result["trouble"] = f"lost on time at ply {ply} (move took {elapsed_ms} ms)"
                break
            clock[mover] += inc_ms
        return result
    finally:
        result["left"] = (clock[chess.WHITE], clock[chess.BLACK])
        engine.close()


def main():
    binary = sys.argv[1]
    games = int(os.environ.get("FRESH_GAMES", "12"))
    plies = int(os.environ.get("FRESH_PLIES", "16"))
    tc = os.environ.get("FRESH_TC", "5+0.05")
    base_s, _, inc_s = tc.partition("+")
    base_ms, inc_ms = round(float(base_s) * 1000), round(float(inc_s or 0) * 1000)
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    openings = sorted(glob.glob(os.path.join(root, "bench", "openings", "*.fen")))

    print(f"Engine: {binary}")
    print(f"{games} games per protocol, {plies} plies, {base_ms / 1000:g} s + {inc_ms / 1000:g} s"
          f" per side; every other game's process paused {PAUSE_FOR_S:g} s in its first search")
    print("Depth of each move in order (? = not reported); first = wall time of the first move, ms")

    parent = tempfile.mkdtemp(prefix="nelk-fresh-")
    cells = {}      # (protocol, paused) -> [shallow, moves, unknown]
    troubles = 0
    try:
        for g in range(games):
            with open(openings[g % len(openings)]) as f:
                fen = f.readline().strip()
            name = os.path.basename(openings[g % len(openings)])[:-4]
            paused = g % 2 == 1
            for protocol in ("uci", "xboard"):
                r = play_game(binary, parent, protocol, fen, paused, plies, base_ms, inc_ms)
                cell = cells.setdefault((protocol, paused), [0, 0, 0])
                for d, before in zip(r["depths"], r["clock_before"]):
                    cell[1] += 1
                    if d is None:
                        cell[2] += 1
                    elif d <= SHALLOW_DEPTH and before > SHALLOW_CLOCK_MS:
                        cell[0] += 1
                depths = " ".join("?" if d is None else str(d) for d in r["depths"])
                first = "-" if r["first_ms"] is None else str(r["first_ms"])
                print(f"{protocol:6s} game {g + 1:2d} {'PAUSED' if paused else 'normal'}"
                      f" {name:20s} first {first:>5s}  left {r['left'][0]:5d}/{r['left'][1]:5d}"
                      f"  depths: {depths}" + (f"  [{r['trouble']}]" if r["trouble"] else ""),
                      flush=True)
                if r["trouble"]:
                    troubles += 1
    finally:
        shutil.rmtree(parent, ignore_errors=True)

    def cell_text(keys):
        shallow = sum(cells.get(k, [0, 0, 0])[0] for k in keys)
        moves = sum(cells.get(k, [0, 0, 0])[1] for k in keys)
        return f"{shallow:4d} of {moves:4d}"

    print()
    print(f"Moves searched to depth {SHALLOW_DEPTH} or less with more than"
          f" {SHALLOW_CLOCK_MS / 1000:g} s on the mover's clock:")
    print(f"{'':8s} {'normal':>12s} {'paused':>12s} {'all':>12s}")
    for protocol in ("uci", "xboard"):
        print(f"{protocol:8s} {cell_text([(protocol, False)]):>12s}"
              f" {cell_text([(protocol, True)]):>12s}"
              f" {cell_text([(protocol, False), (protocol, True)]):>12s}")
    everything = list(cells)
    print(f"{'all':8s} {cell_text([k for k in everything if not k[1]]):>12s}"
          f" {cell_text([k for k in everything if k[1]]):>12s} {cell_text(everything):>12s}")
    unknown = {p: sum(c[2] for k, c in cells.items() if k[0] == p) for p in ("uci", "xboard")}
    print(f"Moves of unknown depth: {sum(unknown.values())}"
          f" (uci {unknown['uci']}, xboard {unknown['xboard']})")
    shallow_total = sum(c[0] for c in cells.values())
    print(f"Total cut short: {shallow_total}   games cut off by trouble (time, crash, illegal"
          f" move): {troubles}")


if __name__ == "__main__":
    main()
