#!/usr/bin/env python3
"""Adds the OpenVPN lab's server and user to the demo data: add-lab-server.py IN LABDIR OUT."""
import json
import pathlib
import sys

source, labdir, target = sys.argv[1], pathlib.Path(sys.argv[2]), sys.argv[3]
env = dict(line.split("=", 1) for line in (labdir / "lab.env").read_text().splitlines()
           if "=" in line and not line.startswith("#"))
data = json.loads(pathlib.Path(source).read_text())
data["servers"].insert(0, {
    "id": 100, "shortname": "Lab OpenVPN", "ip": env["LAB_SERVER_IP"],
    "country": "nl", "assignedIP": env["LAB_TUNNEL_IP_ALICE"], "pptp": False, "l2tp": False, "pskey": "",
    "openvpn": True,
    "profiles": [{"name": "UDP 1194", "config": "{base}/files/lab/client.ovpn",
                  "certificate": "{base}/files/lab/ca.crt"}],
})
account = dict(data["accounts"][0])
account.update({"username": "alice", "password": env["LAB_PASSWORD_ALICE"], "enabled": "1"})
data["accounts"].append(account)
data.setdefault("files", {})
data["files"]["/files/lab/client.ovpn"] = {"text": (labdir / "client.ovpn").read_text()}
data["files"]["/files/lab/ca.crt"] = {"text": (labdir / "ca.crt").read_text()}
pathlib.Path(target).write_text(json.dumps(data, indent=1))
