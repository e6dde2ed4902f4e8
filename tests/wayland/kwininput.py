#!/usr/bin/env python3
"""Pointer and keys for KWin, through its org_kde_kwin_fake_input protocol, spoken over the
Wayland socket as wlinput.py speaks it. Speaks the line protocol of inputcommands.py on stdin
and stdout.

KWin offers the protocol only to a program whose executable a desktop file names, with the
protocol in its X-KDE-Wayland-Interfaces key, unless started with
KWIN_WAYLAND_NO_PERMISSION_CHECKS=1, as kwin.sh starts it.
"""
import struct
import sys
import time

from inputcommands import BTN_LEFT, Driver, serve
from wlinput import Connection, string


def fixed(value):
    return int(round(value * 256))


class FakeInput(Driver):
    def __init__(self, connection):
        self.c = connection
        self.fake = connection.bind("org_kde_kwin_fake_input", 4)
        self.c.send(self.fake, 0, string("Quillhaven tests") + string("drive the session"))
        self.c.roundtrip()
        # XWayland takes the first key of a new device as the moment to load its keymap and
        # drops it: spend that on a lone Shift.
        self.key(42, True)
        self.key(42, False)

    def move(self, x, y):
        self.c.send(self.fake, 9, struct.pack("<ii", fixed(x), fixed(y)))  # motion_absolute

    def button(self, pressed):
        self.c.send(self.fake, 2, struct.pack("<II", BTN_LEFT, int(pressed)))

    def key(self, code, pressed):
        self.c.send(self.fake, 10, struct.pack("<II", code, int(pressed)))  # keyboard_key

    def sync(self):
        self.c.roundtrip()


def connect():
    # The globals appear once KWin's Wayland server is fully up: ask again for a while.
    for _ in range(20):
        connection = Connection()
        if "org_kde_kwin_fake_input" in connection.globals:
            return connection
        connection.sock.close()
        time.sleep(0.5)
    sys.exit("the compositor offers no org_kde_kwin_fake_input")


serve(FakeInput(connect()), errors=(RuntimeError,))
