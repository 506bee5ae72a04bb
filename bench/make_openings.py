#!/usr/bin/env python3
"""Writes balanced openings for bench/match.sh: positions a few moves from the start, reached by
moves that a strong engine rates within a small margin of its best, and kept only when its final
evaluation stays near equality. Engine matches replay each opening with both colours; the 20 named
openings alone repeat every 40 games, which leaves the first few hundred games of a test saying little.

    bench/make_openings.py [COUNT] [OUTPUT]

COUNT defaults to 300, OUTPUT to bench/openings/balanced.epd (one EPD line each). The same seed
gives the same file on the same engine build.
Environment: STOCKFISH (default /usr/games/stockfish: apt-get install -y stockfish), PYTHON_CHESS
(the directory holding the "chess" package, default ../shared/clients/python-chess), SEED (default 1).
"""
import os
import random
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.environ.get("PYTHON_CHESS", os.path.join(ROOT, "..", "shared", "clients", "python-chess")))
import chess  # noqa: E402
import chess.engine  # noqa: E402

PLIES = 8                 # four moves each
CANDIDATES = 4            # the engine's best few moves at each ply
CANDIDATE_MARGIN = 30     # centipawns below the best that a move may stand
CANDIDATE_DEPTH = 9
FINAL_DEPTH = 13
BALANCE_LIMIT = 50        # centipawns from equality at the end


def candidate_moves(engine, board):
    infos = engine.analyse(board, chess.engine.Limit(depth=CANDIDATE_DEPTH), multipv=CANDIDATES)
    scored = [(info["score"].relative.score(mate_score=100000), info["pv"][0]) for info in infos if info.get("pv")]
    if not scored:
        return []
    best = max(score for score, _ in scored)
    return [move for score, move in scored if score >= best - CANDIDATE_MARGIN]


def one_opening(engine, rng):
    board = chess.Board()
    for _ in range(PLIES):
        moves = candidate_moves(engine, board)
        if not moves:
            return None
        board.push(rng.choice(moves))
    score = engine.analyse(board, chess.engine.Limit(depth=FINAL_DEPTH))["score"].white().score()
    if score is None or abs(score) > BALANCE_LIMIT:
        return None
    return board.epd()


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 300
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "bench", "openings", "balanced.epd")
    stockfish = os.environ.get("STOCKFISH", "/usr/games/stockfish")
    if not os.access(stockfish, os.X_OK):
        sys.exit(f"{stockfish} not found: apt-get install -y stockfish, or set STOCKFISH")
    rng = random.Random(int(os.environ.get("SEED", "1")))
    seen, openings = set(), []
    with chess.engine.SimpleEngine.popen_uci(stockfish) as engine:
        engine.configure({"Threads": 1, "Hash": 32})
        while len(openings) < count:
            epd = one_opening(engine, rng)
            if epd and epd not in seen:
                seen.add(epd)
                openings.append(epd)
    with open(output, "w") as out:
        out.write("".join(line + "\n" for line in openings))
    print(f"{len(openings)} openings written to {output}")


if __name__ == "__main__":
    main()
