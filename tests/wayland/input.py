#!/usr/bin/env python3
# Pointer and keys for run-wayland, through the compositor's own input channel:
#
#   input.py wlroots  the wlr virtual-pointer and zwp virtual-keyboard protocols, spoken over the
#                     Wayland socket without libwayland; WLINPUT_EXTENT="W H" is the output's size
#   input.py kwin     KWin's org_kde_kwin_fake_input over the same wire code
#   input.py mutter   Mutter's org.gnome.Mutter.RemoteDesktop session on the session bus
#
# Commands come on stdin, one a line; each is answered with "ok" (or "error: ...") once the
# compositor has taken it:
#
#   move X Y          absolute pointer motion, in the screen's pixels
#   down / up         left button
#   key COMBO         press and release, e.g. ctrl+alt+n, escape, return
#   type TEXT         the rest of the line, as key presses (letters, digits, space . , - /)
import ctypes
import os
import socket
import struct
import sys
import tempfile
import time

import dbus

BTN_LEFT = 0x110
# evdev key code and modifier mask bit (standard XKB keymap) of each modifier.
MODIFIERS = {"shift": (42, 1), "ctrl": (29, 4), "alt": (56, 8), "super": (125, 64)}
# evdev key codes of the keys a test presses (US layout).
KEYS = {"escape": 1, "return": 28, "space": 57, "tab": 15, "backspace": 14,
        "minus": 12, "period": 52, "comma": 51, "slash": 53}
for row, first in (("1234567890", 2), ("qwertyuiop", 16), ("asdfghjkl", 30), ("zxcvbnm", 44)):
    for offset, letter in enumerate(row):
        KEYS[letter] = first + offset
CHARACTERS = {" ": "space", ".": "period", ",": "comma", "-": "minus", "/": "slash"}


# Each compositor's channel gives move, button, key and sync (which returns once the
# compositor has handled everything sent so far); the combinations are built on them.
class Driver:
    def modifiers(self, mask):
        pass  # the modifier state, for a channel that needs it told

    def sync(self):
        self.c.roundtrip()

    def prime(self):
        # XWayland takes the first key of a new device as the moment to load its keymap and
        # drops it: spend that on a lone Shift.
        self.key(42, True)
        self.key(42, False)

    def combo(self, keys):
        *mods, last = keys.lower().split("+")
        mask = 0
        for name in mods:
            code, bit = MODIFIERS[name]
            self.key(code, True)
            mask |= bit
            self.modifiers(mask)
        self.key(KEYS[last], True)
        self.key(KEYS[last], False)
        for name in reversed(mods):
            code, bit = MODIFIERS[name]
            self.key(code, False)
            mask &= ~bit
            self.modifiers(mask)

    def type(self, words):
        for character in words:
            name = CHARACTERS.get(character, character.lower())
            self.combo(("shift+" if character.isupper() else "") + name)
            self.sync()
            time.sleep(0.03)  # keys that arrive together are read as one burst: pace them


def serve(driver, errors=()):
    for line in sys.stdin:
        command, _, rest = line.rstrip("\n").partition(" ")
        try:
            {"move": lambda: driver.move(*(int(v) for v in rest.split())),
             "down": lambda: driver.button(True), "up": lambda: driver.button(False),
             "key": lambda: driver.combo(rest), "type": lambda: driver.type(rest)}[command]()
            driver.sync()
            print("ok", flush=True)
        except (ValueError, KeyError, TypeError) + tuple(errors) as error:
            print("error: %s" % error, flush=True)


def us_keymap():
    # The standard US keymap as text, compiled by libxkbcommon (what the compositor uses
    # already, so XWayland's key codes stay as they are).
    xkb = ctypes.cdll.LoadLibrary("libxkbcommon.so.0")
    for name in ("xkb_context_new", "xkb_keymap_new_from_names", "xkb_keymap_get_as_string"):
        getattr(xkb, name).restype = ctypes.c_void_p
    context = ctypes.c_void_p(xkb.xkb_context_new(0))
    names = (ctypes.c_char_p * 5)(b"evdev", b"pc105", b"us", b"", b"")
    keymap = xkb.xkb_keymap_new_from_names(context, names, 0)
    if not keymap:
        sys.exit("no US keymap")
    return ctypes.string_at(xkb.xkb_keymap_get_as_string(ctypes.c_void_p(keymap), 1)) + b"\0"


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


class FakeInput(Driver):
    # KWin offers the protocol only to a program whose executable a desktop file names, with
    # the protocol in its X-KDE-Wayland-Interfaces key, unless started with
    # KWIN_WAYLAND_NO_PERMISSION_CHECKS=1, as kwin.sh starts it.

    def __init__(self, connection):
        self.c = connection
        self.fake = connection.bind("org_kde_kwin_fake_input", 4)
        self.c.send(self.fake, 0, string("Quillhaven tests") + string("drive the session"))
        self.c.roundtrip()
        self.prime()

    def move(self, x, y):
        self.c.send(self.fake, 9, struct.pack("<ii", x * 256, y * 256))  # motion_absolute

    def button(self, pressed):
        self.c.send(self.fake, 2, struct.pack("<II", BTN_LEFT, int(pressed)))

    def key(self, code, pressed):
        self.c.send(self.fake, 10, struct.pack("<II", code, int(pressed)))  # keyboard_key


def connect():
    # The globals appear once KWin's Wayland server is fully up: ask again for a while.
    for _ in range(20):
        connection = Connection()
        if "org_kde_kwin_fake_input" in connection.globals:
            return connection
        connection.sock.close()
        time.sleep(0.5)
    sys.exit("the compositor offers no org_kde_kwin_fake_input")


BUS_NAME = "org.gnome.Mutter.RemoteDesktop"


class RemoteDesktop(Driver):
    # Absolute motion would need a screen-cast stream (and PipeWire); relative motion is exact
    # (no acceleration for virtual devices), so the pointer is first pushed into the top-left
    # corner, where Mutter clamps it to (0, 0), and moved by differences from there on.

    def __init__(self):
        bus = dbus.SessionBus()
        manager = dbus.Interface(bus.get_object(BUS_NAME, "/org/gnome/Mutter/RemoteDesktop"),
                                 BUS_NAME)
        path = manager.CreateSession()
        self.session = dbus.Interface(bus.get_object(BUS_NAME, path), BUS_NAME + ".Session")
        self.session.Start()
        self.session.NotifyPointerMotionRelative(-100000.0, -100000.0)
        self.x, self.y = 0, 0
        self.prime()

    def move(self, x, y):
        self.session.NotifyPointerMotionRelative(float(x - self.x), float(y - self.y))
        self.x, self.y = x, y

    def button(self, pressed):
        self.session.NotifyPointerButton(BTN_LEFT, pressed)

    def key(self, code, pressed):
        self.session.NotifyKeyboardKeycode(dbus.UInt32(code), pressed)

    def sync(self):
        # Each call above is answered only once Mutter has queued the event; a property read
        # after them returns after they are all handled.
        self.session.Get(BUS_NAME + ".Session", "SessionId",
                         dbus_interface="org.freedesktop.DBus.Properties")


def main():
    kind = sys.argv[1]
    if kind == "wlroots":
        extent = tuple(int(v) for v in os.environ.get("WLINPUT_EXTENT", "1440 900").split())
        serve(VirtualDevices(Connection(), extent), errors=(RuntimeError,))
    elif kind == "kwin":
        serve(FakeInput(connect()), errors=(RuntimeError,))
    elif kind == "mutter":
        serve(RemoteDesktop(), errors=(dbus.DBusException,))
    else:
        sys.exit("unknown compositor: " + kind)


main()
