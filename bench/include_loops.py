#!/usr/bin/env python3
"""Prints the loops of the include graph of the engine's sources.

    bench/include_loops.py [SRC_DIR] [--all]

A node is a file without its extension ("protocol/UCIProtocol"): a header and the source file of
the same name are one node, so "A.cpp includes B.h and B.cpp includes A.h" is a loop. A source
file without a header of its own name that defines members of a class defined in a header of its
own folder (or else functions declared there) is a part of that header's node: Polling.cpp, which
defines members of SearchRoutines, belongs to "search/SearchRoutines". A definition in another
folder of what a header declares (a lower layer's hook defined by a higher one) joins nothing:
only its includes count. A header without a source file of its own that includes a header of its
own folder, and that the source files of that header's node include while the header itself does
not, extends that node and joins it too: SideFields, the board record's colours as types, which
MakeMove uses, belongs to "board/ChessBoard". Only quoted includes count, resolved beside the
including file first and then from SRC_DIR (default: the src/ folder beside this script's folder).

Prints which files were joined to which header, then, for the files and then for the folders,
every strongly connected component of two or more nodes (its members) and the elementary cycles
inside it, one a line, shortest first. An arrow that only a joined part makes names that part:
"search/SearchRoutines[Polling] -> protocol/UCIProtocol -> search/SearchRoutines". Without --all
at most CyclesShown cycles of each component are printed, then how many more there are. In the
folder view engine/ is three nodes, "engine(loops)", "engine(record)" and "engine(base)" (see
EngineLoops). The last line gives the counts. The figures are printed, never checked: the exit
status is 0.
"""
import os
import re
import sys

CyclesShown = 40
CycleCountCap = 1_000_000   # counting stops here: a larger component is reported as "at least"
# engine/ holds three layers. Its loops (the match and game loops, start-up and the command line
# that only they read) sit on top of everything; the game record (begin, complete and take back a
# game move) stands on the board, the hash tables and the status record and is used by the
# protocols; the rest (the status record and its masks, the match log, the clock, the move text) is
# the base that every layer reads.
EngineLoops = {"engine/GameLoop", "engine/MatchLoop", "engine/Startup", "engine/main", "engine/CommandLine"}
EngineRecord = {"engine/GameRecord"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
# A definition at the start of a line: "int SearchRoutines::PollInput(" or "bool HasLegalMove(".
DEFINITION = re.compile(r'^(?!(?:static|namespace|using|typedef|template|return|if|for|while|switch)\b)'
                        r'[A-Za-z_][\w:<>,*& ]*?\b(?:([A-Za-z_]\w*)::)?(~?[A-Za-z_]\w*)\s*\((?!.*;\s*$)')


def node_of(path, src):
    return os.path.splitext(os.path.relpath(path, src))[0].replace(os.sep, "/")


def read_includes(src):
    """File (without extension) -> the files it includes, the source files found, and each file's
    own includes (path -> nodes)."""
    files = []
    for folder, _, names in os.walk(src):
        files += [os.path.join(folder, n) for n in names if n.endswith((".h", ".cpp"))]
    includes = {node_of(f, src): set() for f in files}
    by_file = {f: set() for f in files}
    for path in files:
        here = node_of(path, src)
        with open(path, encoding="utf-8", errors="replace") as text:
            for line in text:
                match = INCLUDE.match(line)
                if not match:
                    continue
                for base in (os.path.dirname(path), src):
                    target = os.path.normpath(os.path.join(base, match.group(1)))
                    if os.path.isfile(target) and os.path.abspath(target).startswith(os.path.abspath(src)):
                        if node_of(target, src) != here:
                            includes[here].add(node_of(target, src))
                            by_file[path].add(node_of(target, src))
                        break
    return includes, files, by_file


def implemented_header(path, included, src):
    """The header of the source file's own folder, among those it includes, that defines a class
    whose members the file defines, else one that declares a function the file defines; or None."""
    with open(path, encoding="utf-8", errors="replace") as text:
        found = [DEFINITION.match(line) for line in text]
    classes = {m.group(1) for m in found if m and m.group(1)}
    functions = {m.group(2) for m in found if m and not m.group(1)}
    folder = node_of(path, src).split("/")[0]
    by_function = None
    for node in sorted(included):
        header = os.path.join(src, node + ".h")
        if node.split("/")[0] != folder or not os.path.isfile(header):
            continue
        with open(header, encoding="utf-8", errors="replace") as text:
            declared = text.read()
        if any(re.search(rf'\b(?:class|struct)\s+{c}\b[^;]*{{', declared) for c in classes):
            return node
        if by_function is None and any(re.search(rf'\b{f}\s*\(', declared) for f in functions):
            by_function = node
    return by_function


def extended_header(path, by_file, module, src):
    """The node of the header's own folder whose header it includes and whose source files (its
    own or joined ones) include it: a header-only extension of that node (SideFields over the
    board record, a generator's list helpers), or None. The node's header must not include it."""
    here = node_of(path, src)
    folder = here.split("/")[0]
    for owner in sorted(by_file[path]):
        header = os.path.join(src, owner + ".h")
        if owner.split("/")[0] != folder or module[owner] != owner or not os.path.isfile(header):
            continue
        if here in by_file[header]:
            continue
        users = [f for f, included in by_file.items() if here in included and f.endswith(".cpp")]
        if any(module[node_of(f, src)] == owner for f in users):
            return owner
    return None


def read_graph(src):
    """Module -> {module it includes: the files of the module whose includes make that arrow},
    and module -> its parts other than its own header and source file."""
    includes, files, by_file = read_includes(src)
    module = {node: node for node in includes}
    for path in files:
        if path.endswith(".cpp") and not os.path.isfile(path[:-len(".cpp")] + ".h"):
            header = implemented_header(path, includes[node_of(path, src)], src)
            if header:
                module[node_of(path, src)] = header
    for path in files:
        if path.endswith(".h") and not os.path.isfile(path[:-len(".h")] + ".cpp"):
            owner = extended_header(path, by_file, module, src)
            if owner:
                module[node_of(path, src)] = owner
    edges = {m: {} for m in set(module.values())}
    parts = {}
    for node, targets in includes.items():
        here = module[node]
        if node != here:
            parts.setdefault(here, []).append(node.split("/")[-1])
        for target in targets:
            if module[target] != here:
                edges[here].setdefault(module[target], set()).add(node)
    return edges, parts


def cycle_text(cycle, edges):
    """"a -> b -> a"; an arrow that only a part of the module makes names that part: "a[Polling] -> b"."""
    words = []
    for here, there in zip(cycle, cycle[1:]):
        makers = edges.get(here, {}).get(there, set())
        if makers and here not in makers:
            words.append(here + "[" + ",".join(sorted(m.split("/")[-1] for m in makers)) + "]")
        else:
            words.append(here)
    return " -> ".join(words + [cycle[-1]])


def folder_of(node):
    """The node's folder; engine/ is split in its three layers (see EngineLoops)."""
    folder = node.split("/")[0]
    if folder != "engine":
        return folder
    if node in EngineLoops:
        return "engine(loops)"
    return "engine(record)" if node in EngineRecord else "engine(base)"


def folder_graph(edges):
    folders = {}
    for node, targets in edges.items():
        here = folder_of(node)
        folders.setdefault(here, set()).update(folder_of(t) for t in targets if folder_of(t) != here)
    return folders


def components(edges):
    """Strongly connected components (Tarjan), iteratively; only those of two or more nodes."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = 0
    for root in sorted(edges):
        if root in index:
            continue
        work = [(root, iter(sorted(edges[root])))]
        index[root] = low[root] = counter
        counter += 1
        stack.append(root)
        on_stack.add(root)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is not None:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(edges[child]))))
                elif child in on_stack:
                    low[node] = min(low[node], index[child])
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                members = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    members.append(member)
                    if member == node:
                        break
                if len(members) > 1:
                    found.append(sorted(members))
    return sorted(found, key=lambda c: (-len(c), c))


def elementary_cycles(edges, members, keep):
    """Elementary cycles inside one component: each cycle starts at its smallest member and goes only
    through larger ones, so that it is found once. Returns (count, up to `keep` shortest cycles)."""
    order = {m: i for i, m in enumerate(members)}
    count, kept = 0, []
    for start in members:
        allowed = {m for m in members if order[m] >= order[start]}
        path, on_path = [start], {start}
        work = [iter(sorted(t for t in edges[start] if t in allowed))]
        while work and count < CycleCountCap:
            child = next(work[-1], None)
            if child is None:
                work.pop()
                on_path.discard(path.pop())
                continue
            if child == start:
                count += 1
                kept.append(path + [start])
                if len(kept) > 4 * keep:   # keep the shortest few without holding millions of paths
                    kept = sorted(kept, key=len)[:keep]
            elif child not in on_path:
                path.append(child)
                on_path.add(child)
                work.append(iter(sorted(t for t in edges[child] if t in allowed)))
    return count, sorted(kept, key=lambda c: (len(c), c))[:keep]


def report(title, edges, keep, show):
    print(f"{title}:")
    found = components(edges)
    cycles_total = 0
    for members in found:
        count, shown = elementary_cycles(edges, members, keep)
        cycles_total += count
        at_least = "at least " if count >= CycleCountCap else ""
        print(f"  loop of {len(members)} ({at_least}{count} elementary cycles): {' '.join(members)}")
        for cycle in shown:
            print("    " + show(cycle))
        if count > len(shown):
            print(f"    ... and {at_least}{count - len(shown)} more")
    if not found:
        print("  none")
    return len(found), cycles_total


def main():
    args = [a for a in sys.argv[1:] if a != "--all"]
    keep = CycleCountCap if "--all" in sys.argv[1:] else CyclesShown
    src = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    edges, parts = read_graph(os.path.abspath(src))
    print("files that are parts of a header of their folder:")
    for header in sorted(parts):
        print(f"  {header}: {' '.join(sorted(parts[header]))}")
    file_loops, file_cycles = report("file loops", edges, keep, lambda c: cycle_text(c, edges))
    folder_loops, folder_cycles = report("folder loops", folder_graph(edges), keep, " -> ".join)
    print(f"loops: {file_loops} among files ({file_cycles} elementary cycles), "
          f"{folder_loops} among folders ({folder_cycles} elementary cycles)")


if __name__ == "__main__":
    main()
