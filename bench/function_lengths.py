#!/usr/bin/env python3
"""Prints the median length of the function definitions of the engine's sources and the longest ones.

    bench/function_lengths.py [SRC_DIR] [--top N]

How it counts: the length of a function is the number of lines from the line of its opening brace
to the line of its closing brace, both included (a function written on one line is 1 long; one whose
brace closes on the line after the opening one is 2). Every function body defined in a .h or .cpp
file of SRC_DIR (default: the src/ folder beside this script's folder) counts once: free functions,
member functions defined in or outside their class, constructors, operators and templates. A lambda
or a local class is part of the function that holds it. Bodies of namespaces, classes, structs,
enums and initialiser lists are not functions. Comments, string and character literals and
preprocessor lines are blanked before the braces are matched. Prints the count of functions, the
median and the mean length, then the N (default 10) longest with file, line and name. The figures
are printed, never checked.
"""
import os
import re
import statistics
import sys

DefaultTop = 10
CONTROL = {"if", "for", "while", "switch", "catch", "do", "else", "return", "sizeof", "alignof", "decltype"}
SCOPE = re.compile(r'\b(namespace|class|struct|union|enum)\b')
TRAILING = re.compile(r'\)\s*(?:const|noexcept|override|final|mutable|&|&&|->[^{;]*|\s)*$')


def blank_noise(text):
    """The text with comments, literals and preprocessor lines replaced by blanks (newlines kept)."""
    out, i, n = [], 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#" or (line_start and c in " \t" and text[i:].lstrip(" \t").startswith("#")):
            end = i
            while end < n and (text[end] != "\n" or text[end - 1] == "\\"):
                end += 1
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
            continue
        if text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            out.append(" " * (end - i))
            i = end
            continue
        if text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
            continue
        raw = re.match(r'R"([^(\s]*)\(', text[i:i + 20]) if c == "R" else None
        if raw and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            close = text.find(")" + raw.group(1) + '"', i)
            end = n if close < 0 else close + len(raw.group(1)) + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
            continue
        if c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):   # 1'000 digit separator
            end = i + 1
            while end < n and text[end] != c and text[end] != "\n":
                end += 2 if text[end] == "\\" else 1
            end = min(end + 1, n)
            out.append(c + " " * (end - i - 2) + c if end - i >= 2 else c)
            i = end
            line_start = False
            continue
        out.append(c)
        line_start = c == "\n" or (line_start and c in " \t")
        i += 1
    return "".join(out)


def matching_brace(text, at):
    depth = 0
    for i in range(at, len(text)):
        if text[i] == "{":
            depth += 1
        elif text[i] == "}":
            depth -= 1
            if depth == 0:
                return i
    return len(text) - 1


def function_name(head):
    """The name before the parameter list of a function head, or None when the head is not one."""
    head = head.strip()
    if not TRAILING.search(head):
        return None
    # The parameter list: the parentheses that close at the last ")" of the head (before any
    # trailing qualifiers).
    close = head.rfind(")")
    depth = 0
    for i in range(close, -1, -1):
        depth += {")": 1, "(": -1}.get(head[i], 0)
        if depth == 0:
            before = head[:i].rstrip()
            name = re.search(r'((?:[A-Za-z_]\w*\s*(?:<[^<>]*>)?\s*::\s*)*~?(?:operator\s*\S+?|[A-Za-z_]\w*))$', before)
            if not name or name.group(1).split("::")[-1].strip() in CONTROL:
                return None
            if before.endswith(("=", "return", "(", ",")):
                return None
            return re.sub(r"\s+", "", name.group(1))
    return None


def without_template_heads(head):
    """The head without its "template <...>" parameter lists, whose "class" names no scope."""
    while True:
        at = re.search(r'\btemplate\s*<', head)
        if not at:
            return head
        depth, i = 0, at.end() - 1
        for i in range(at.end() - 1, len(head)):
            depth += {"<": 1, ">": -1}.get(head[i], 0)
            if depth == 0:
                break
        head = head[:at.start()] + head[i + 1:]


def split_initialisers(head):
    """A constructor head "X::X(int a) : a_(a), b_{" ends inside its initialiser list; the text
    before ':' is the head proper. Returns (head proper, True) for such a head, else (head, False)."""
    depth = 0
    for i, c in enumerate(head):
        depth += {"(": 1, ")": -1}.get(c, 0)
        if c == ":" and depth == 0 and head[i - 1:i + 1] != "::" and head[i:i + 2] != "::" and \
                head[:i].rstrip().endswith(")"):
            return head[:i], True
    return head, False


def functions_in(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = blank_noise(f.read())
    found, i, head_start = [], 0, 0
    while i < len(text):
        c = text[i]
        if c in ";}":
            head_start = i + 1
        elif c == "{":
            head = without_template_heads(text[head_start:i])
            proper, initialisers = split_initialisers(head)
            if initialisers and re.search(r'[\w>]\s*$', head) and not TRAILING.search(head.strip()):
                i = matching_brace(text, i) + 1   # a member's brace initialiser inside the list
                continue
            name = function_name(proper)
            if name is None and not SCOPE.search(head) and re.search(r'=\s*$|[\w\]>]\s*$', head.strip()):
                i = matching_brace(text, i) + 1   # an initialiser of a variable or a table: not a scope
                continue
            if name is not None and not SCOPE.search(proper.split("(")[0]):
                end = matching_brace(text, i)
                first, last = text.count("\n", 0, i) + 1, text.count("\n", 0, end) + 1
                found.append((last - first + 1, path, first, name))
                i = end + 1
                head_start = i
                continue
            head_start = i + 1   # the body of a namespace, class, struct, enum or extern block
        i += 1
    return found


def main():
    args = sys.argv[1:]
    top = DefaultTop
    if "--top" in args:
        at = args.index("--top")
        top = int(args[at + 1])
        del args[at:at + 2]
    src = os.path.abspath(args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src"))
    found = []
    for folder, _, names in sorted(os.walk(src)):
        for name in sorted(names):
            if name.endswith((".h", ".cpp")):
                found += functions_in(os.path.join(folder, name))
    if not found:
        print("no functions found")
        return
    lengths = [f[0] for f in found]
    print(f"functions: {len(found)}, median length {statistics.median(lengths):g} lines, "
          f"mean {statistics.mean(lengths):.1f} (lines from the opening to the closing brace, both counted)")
    print(f"the {min(top, len(found))} longest:")
    for length, path, line, name in sorted(found, key=lambda f: (-f[0], f[1], f[2]))[:top]:
        print(f"  {length:4d}  {os.path.relpath(path, src)}:{line}  {name}")


if __name__ == "__main__":
    main()
