#!/usr/bin/env python3
"""Prints which top-level folders of the client include which, and any circle between them;
fails on a circle, or on a file outside app/ that includes the window's form.

Run from the root of a checkout: tools/include-graph.py
"""
import pathlib
import re
import sys

FOLDERS = ["core", "app", "service", "catalogue", "connection", "quickconnect", "monitor", "update"]
include = re.compile(r'^\s*#\s*include\s+"([a-z]+)/[^"]+"', re.M)

form = re.compile(r'^\s*#\s*include\s+"ui_lumtarmain\.h"', re.M)

edges = {f: set() for f in FOLDERS}
form_users = []
for folder in FOLDERS:
    for path in pathlib.Path(folder).rglob("*"):
        if path.suffix not in (".cpp", ".h"):
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        if folder != "app" and form.search(text):
            form_users.append(str(path))
        for target in include.findall(text):
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
for path in form_users:
    print("form included outside app/:", path)
sys.exit(1 if circles or form_users else 0)
