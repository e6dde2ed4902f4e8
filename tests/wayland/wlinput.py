#!/usr/bin/env python3
"""Pointer and keys for a wlroots compositor, through the wlr virtual-pointer and zwp
virtual-keyboard protocols, spoken over the Wayland socket without libwayland. Speaks the
line protocol of inputcommands.py on stdin and stdout.

Needs WAYLAND_DISPLAY (and XDG_RUNTIME_DIR); WLINPUT_EXTENT="W H" is the output's size.
"""
import ctypes
import os
import socket
import struct
import sys
import tempfile
import time

from inputcommands import BTN_LEFT, Driver, serve


def us_keymap():
    """The standard US keymap as text, compiled by libxkbcommon (what the compositor uses
    already, so XWayland's key codes stay as they are)."""
    xkb = ctypes.cdll.LoadLibrary("libxkbcommon.so.0")
    xkb.xkb_context_new.restype = ctypes.c_void_p
    xkb.xkb_keymap_new_from_names.restype = ctypes.c_void_p
    xkb.xkb_keymap_new_from_names.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int]
    xkb.xkb_keymap_get_as_string.restype = ctypes.c_void_p
    xkb.xkb_keymap_get_as_string.argtypes = [ctypes.c_void_p, ctypes.c_int]
    context = xkb.xkb_context_new(0)
    names = (ctypes.c_char_p * 5)(b"evdev", b"pc105", b"us", b"", b"")
    keymap = xkb.xkb_keymap_new_from_names(context, names, 0)
    if not keymap:
        sys.exit("no US keymap")
    return ctypes.string_at(xkb.xkb_keymap_get_as_string(keymap, 1)) + b"\0"


class Connection:
    def __init__(self):
        path = os.environ["WAYLAND_DISPLAY"]
        if not path.startswith("/"):
            path = os.path.join(os.environ["XDG_RUNTIME_DIR"], path)
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.next_id = 2  # 1 is wl_display
        self.buffer = b""
        self.globals = {}
        self.registry = self.new_id()
        self.send(1, 1, struct.pack("<I", self.registry))  # wl_display.get_registry
        self.roundtrip()

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def send(self, obj, opcode, payload=b"", fds=()):
        header = struct.pack("<II", obj, ((8 + len(payload)) << 16) | opcode)
        ancillary = [(socket.SOL_SOCKET, socket.SCM_RIGHTS, struct.pack("<%di" % len(fds), *fds))]
        self.sock.sendmsg([header + payload], ancillary if fds else [])

    def read_events(self):
        self.buffer += self.sock.recv(65536)
        events = []
        while len(self.buffer) >= 8:
            obj, word = struct.unpack_from("<II", self.buffer)
            size = word >> 16
            if len(self.buffer) < size:
                break
            events.append((obj, word & 0xFFFF, self.buffer[8:size]))
            self.buffer = self.buffer[size:]
        return events

    def roundtrip(self):
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        while True:
            for obj, opcode, body in self.read_events():
                if obj == 1 and opcode == 0:  # wl_display.error
                    _, code = struct.unpack_from("<II", body)
                    raise RuntimeError("protocol error %d: %s" % (code, text(body[12:])))
                if obj == self.registry and opcode == 0:  # wl_registry.global
                    name = struct.unpack_from("<I", body)[0]
                    interface = text(body[4:])
                    self.globals[interface] = name
                if obj == callback:
                    return

    def bind(self, interface, version):
        if interface not in self.globals:
            sys.exit("the compositor offers no " + interface)
        new = self.new_id()
        self.send(self.registry, 0, struct.pack("<I", self.globals[interface]) +
                  string(interface) + struct.pack("<II", version, new))
        return new


def string(value):
    data = value.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


def text(body):
    length = struct.unpack_from("<I", body)[0]
    return body[4:4 + length - 1].decode()


class VirtualDevices(Driver):
    def __init__(self, connection, extent):
        self.c = connection
        self.extent = extent
        self.start = time.monotonic()
        seat = connection.bind("wl_seat", 1)
        pointers = connection.bind("zwlr_virtual_pointer_manager_v1", 1)
        keyboards = connection.bind("zwp_virtual_keyboard_manager_v1", 1)
        self.pointer = connection.new_id()
        connection.send(pointers, 0, struct.pack("<II", seat, self.pointer))
        self.keyboard = connection.new_id()
        connection.send(keyboards, 0, struct.pack("<II", seat, self.keyboard))
        keymap = us_keymap()
        with tempfile.TemporaryFile() as f:
            f.write(keymap)
            f.flush()
            # format 1: XKB v1 text
            connection.send(self.keyboard, 0, struct.pack("<II", 1, len(keymap)),
                            fds=[f.fileno()])
            connection.roundtrip()

    def now(self):
        return int((time.monotonic() - self.start) * 1000) & 0xFFFFFFFF

    def move(self, x, y):
        w, h = self.extent
        self.c.send(self.pointer, 1, struct.pack("<IIIII", self.now(), x, y, w, h))
        self.c.send(self.pointer, 4)  # frame

    def button(self, pressed):
        self.c.send(self.pointer, 2, struct.pack("<III", self.now(), BTN_LEFT, int(pressed)))
        self.c.send(self.pointer, 4)

    def key(self, code, pressed):
        self.c.send(self.keyboard, 1, struct.pack("<III", self.now(), code, int(pressed)))

    def modifiers(self, mask):
        self.c.send(self.keyboard, 2, struct.pack("<IIII", mask, 0, 0, 0))

    def sync(self):
        self.c.roundtrip()


def main():
    extent = tuple(int(v) for v in os.environ.get("WLINPUT_EXTENT", "1440 900").split())
    serve(VirtualDevices(Connection(), extent), errors=(RuntimeError,))


if __name__ == "__main__":
    main()
