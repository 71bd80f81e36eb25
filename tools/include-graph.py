#!/usr/bin/env python3
"""Prints which top-level folders of the client include which, and any circle between them.

Run from the root of a checkout: tools/include-graph.py
"""
import pathlib
import re
import sys

FOLDERS = ["app", "service", "catalogue", "connection", "quickconnect", "monitor", "update"]
include = re.compile(r'^\s*#\s*include\s+"([a-z]+)/[^"]+"', re.M)

edges = {f: set() for f in FOLDERS}
for folder in FOLDERS:
    for path in pathlib.Path(folder).rglob("*"):
        if path.suffix not in (".cpp", ".h"):
            continue
        for target in include.findall(path.read_text(encoding="utf-8", errors="replace")):
            if target in edges and target != folder:
                edges[folder].add(target)

for folder in FOLDERS:
    print(f"{folder:13} -> {', '.join(sorted(edges[folder])) or '-'}")

# Depth-first search for circles between folders.
circles = []
def visit(node, path):
    for nxt in sorted(edges[node]):
        if nxt in path:
            circle = path[path.index(nxt):] + [nxt]
            if sorted(circle[:-1]) not in [sorted(c[:-1]) for c in circles]:
                circles.append(circle)
        else:
            visit(nxt, path + [nxt])
for start in FOLDERS:
    visit(start, [start])
for circle in circles:
    print("circle:", " -> ".join(circle))
print(f"{len(circles)} circle(s)")
sys.exit(1 if circles else 0)
