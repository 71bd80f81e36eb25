#!/usr/bin/env python3
"""Fits the demo data to a demo on one machine: local-echo.py IN OUT.

Without a real tunnel the IP-echo page sees the loopback address, so every server expects that
address while connected; the first Quick Connect entry keeps its own address, which the demo's
simulated phone book refuses, so a run shows one failed stage before it connects."""
import json
import pathlib
import sys

source, target = sys.argv[1], sys.argv[2]
data = json.loads(pathlib.Path(source).read_text())
for server in data["servers"]:
    server["assignedIP"] = "127.0.0.1"
for account in data["accounts"]:
    entries = account.get("quickServers", "").split("|")
    for i in range(1, len(entries)):
        fields = entries[i].split("^")
        if len(fields) > 1:
            fields[1] = "127.0.0.1"
        entries[i] = "^".join(fields)
    account["quickServers"] = "|".join(entries)
pathlib.Path(target).write_text(json.dumps(data, indent=1))
