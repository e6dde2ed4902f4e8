#!/usr/bin/env python3
# The Python half of the two-computer test: Syncthing's configuration before its first start,
# free loopback ports, a watch for conflict copies and the comparison of two notes files.
#
#   pair.py ports N                       N free TCP ports on 127.0.0.1
#   pair.py configure HOME GUI LISTEN KEY NAME
#   pair.py watch LOG FOLDER...           logs every name created or moved into the folders
#   pair.py same A B [EXPR...]            exit 0 when both notes files hold the same notes and
#                                         each python expression EXPR holds for each (see holds)
#   pair.py show A B [EXPR...]            what differs, for a failure's log
import ctypes
import json
import os
import socket
import struct
import sys
import xml.etree.ElementTree as ET

# Where each computer keeps its windows: never compared.
LAYOUT = {"x", "y", "onScreen", "folded", "pw", "ph"}


def ports(count):
    held = [socket.create_server(("127.0.0.1", 0)) for _ in range(int(count))]
    print(" ".join(str(s.getsockname()[1]) for s in held))


def configure(home, gui, listen, key, name):
    # Everything that could reach beyond this machine is off before Syncthing first runs.
    path = os.path.join(home, "config.xml")
    tree = ET.parse(path)
    root = tree.getroot()
    for device in root.findall("device"):
        device.set("name", name)
    gui_node = root.find("gui")
    gui_node.find("address").text = f"127.0.0.1:{gui}"
    gui_node.find("apikey").text = key
    options = dict(
        listenAddress=f"tcp://127.0.0.1:{listen}", urAccepted="-1", urSeen="999",
        stunKeepaliveStartS="0", stunKeepaliveMinS="0", autoUpgradeIntervalH="0",
        reconnectionIntervalS="1", **dict.fromkeys(
            ["globalAnnounceEnabled", "localAnnounceEnabled", "relaysEnabled", "natEnabled",
             "crashReportingEnabled", "startBrowser", "announceLANAddresses",
             "setLowPriority"], "false"))
    opts = root.find("options")
    for tag, value in options.items():
        (opts.find(tag) if opts.find(tag) is not None else ET.SubElement(opts, tag)).text = value
    tree.write(path)


def watch(log, *folders):
    # inotify, so that a conflict copy merged and removed within milliseconds is still seen.
    libc = ctypes.CDLL(None, use_errno=True)
    fd = libc.inotify_init()
    IN_CREATE, IN_MOVED_TO = 0x100, 0x80
    for folder in folders:
        libc.inotify_add_watch(fd, folder.encode(), IN_CREATE | IN_MOVED_TO)
    with open(log, "a", buffering=1) as out:
        while True:
            data = os.read(fd, 65536)
            at = 0
            while at < len(data):
                _, _, _, size = struct.unpack_from("iIII", data, at)
                name = data[at + 16 : at + 16 + size].rstrip(b"\0").decode(errors="replace")
                out.write(name + "\n")
                at += 16 + size


def load(path):
    return json.loads(open(path, "rb").read())


def contents(notes):
    return {n["id"]: {k: v for k, v in n.items() if k not in LAYOUT} for n in notes}


def holds(notes, expr):
    # EXPR over one file's notes, with words for what the test asks of them.
    deleted = lambda n: n.get("deletedAt") is not None  # noqa: E731
    words = {
        "notes": notes,
        # A note whose text holds s: any, not deleted, in Recently Deleted.
        "has": lambda s: any(s in n["text"] for n in notes),
        "live": lambda s: any(s in n["text"] and not deleted(n) for n in notes),
        "trashed": lambda s: any(s in n["text"] and deleted(n) for n in notes),
        # No note with this id.
        "absent": lambda id_: all(n["id"] != id_ for n in notes),
        "images": lambda s: [i for n in notes if s in n["text"] for i in n.get("images") or []],
    }
    return bool(eval("(" + expr + ")", words))  # in brackets, it may span lines


def same(a, b, *exprs):
    try:
        left, right = load(a), load(b)
        ok = contents(left) == contents(right) and all(
            holds(left, e) and holds(right, e) for e in exprs)
    except (OSError, ValueError, KeyError):
        return 1
    return 0 if ok else 1


def show(a, b, *exprs):
    try:
        left, right = load(a), load(b)
    except (OSError, ValueError) as error:
        print(f"unreadable: {error}")
        return 0
    for side, notes in (("A", left), ("B", right)):
        for expr in exprs:
            if not holds(notes, expr):
                print(f"{side} does not hold: {expr}")
    left, right = contents(left), contents(right)
    for id_ in sorted(set(left) | set(right)):
        if left.get(id_) != right.get(id_):
            print(f"{id_}:\n  A {json.dumps(left.get(id_))}\n  B {json.dumps(right.get(id_))}")
    return 0


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    sys.exit({"ports": ports, "configure": configure, "watch": watch, "same": same,
              "show": show}[command](*args) or 0)
