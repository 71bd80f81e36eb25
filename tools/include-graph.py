#!/usr/bin/env python3
"""Prints which top-level folders of the client include which; fails on an include against the
folders' direction (a folder may include only the folders below it, as the libraries link), on a
circle, or on a file outside app/ that includes the window's form or the window itself.

Run from the root of a checkout: tools/include-graph.py
"""
import pathlib
import re
import sys

# What each folder may include besides itself, as its library links.
BELOW = {
    "core": [],
    "service": ["core"],
    "catalogue": ["core", "service"],
    "monitor": ["core", "service", "catalogue"],
    "connection": ["core", "service", "catalogue", "monitor"],
    "quickconnect": ["core", "service", "catalogue", "monitor", "connection"],
    "update": ["core", "service"],
    "app": ["core", "service", "catalogue", "monitor", "connection", "quickconnect", "update"],
}
FOLDERS = list(BELOW)
include = re.compile(r'^\s*#\s*include\s+"([a-z]+)/[^"]+"', re.M)
window = re.compile(r'^\s*#\s*include\s+"(ui_lumtarmain\.h|app/lumtarmain\.h)"', re.M)

edges = {f: set() for f in FOLDERS}
window_users = []
for folder in FOLDERS:
    for path in pathlib.Path(folder).rglob("*"):
        if path.suffix not in (".cpp", ".h"):
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        if folder != "app" and window.search(text):
            window_users.append(str(path))
        for target in include.findall(text):
            if target in edges and target != folder:
                edges[folder].add(target)

for folder in FOLDERS:
    print(f"{folder:13} -> {', '.join(sorted(edges[folder])) or '-'}")

upward = [(f, t) for f in FOLDERS for t in sorted(edges[f]) if t not in BELOW[f]]
for source, target in upward:
    print(f"against the direction: {source} includes {target}")

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
for path in window_users:
    print("window or form included outside app/:", path)
sys.exit(1 if circles or window_users or upward else 0)
