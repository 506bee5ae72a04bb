#!/usr/bin/env python3
"""Counts the lines of code of folders and the share of tests against the engine's sources.

    bench/code_lines.py [FOLDER or FILE ...]   (default: src tests testkit, beside this script's folder)

A line counts when it is neither blank nor only a comment ("// ..." or inside "/* ... */"), in
.cpp and .h files. Prints each folder's count, then tests/ as a share of src/ when both were counted.
"""
import os
import sys


def code_lines(path):
    count, in_block = 0, False
    with open(path, encoding="utf-8", errors="replace") as text:
        for line in text:
            rest = line.strip()
            if in_block:
                if "*/" not in rest:
                    continue
                in_block, rest = False, rest.split("*/", 1)[1].strip()
            while rest.startswith("/*"):
                if "*/" not in rest:
                    in_block, rest = True, ""
                    break
                rest = rest.split("*/", 1)[1].strip()
            if rest and not rest.startswith("//"):
                count += 1
    return count


def folder_lines(root):
    if os.path.isfile(root):
        return code_lines(root)
    return sum(code_lines(os.path.join(folder, name))
               for folder, _, names in os.walk(root) for name in names if name.endswith((".cpp", ".h")))


def main():
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    folders = sys.argv[1:] or [os.path.join(here, f) for f in ("src", "tests", "testkit")]
    counts = {os.path.basename(os.path.normpath(f)): folder_lines(f) for f in folders}
    for name, count in counts.items():
        print(f"{name}: {count} lines")
    if counts.get("src") and "tests" in counts:
        print(f"tests/src: {100 * counts['tests'] / counts['src']:.1f}%")


if __name__ == "__main__":
    main()
