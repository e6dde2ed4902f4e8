"""The line protocol both input drivers speak, and the keys they know.

Commands come on stdin, one a line; each is answered with "ok" (or "error: ...") once the
compositor has taken it:

  move X Y          absolute pointer motion, in the screen's pixels
  down / up         left button
  key COMBO         press and release, e.g. ctrl+alt+n, escape, return
  type TEXT         the rest of the line, as key presses (letters, digits, space . , - /)
"""
import sys
import time

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


class Driver:
    """What a compositor's input channel provides; the combinations are built on it."""

    def move(self, x, y):
        raise NotImplementedError

    def button(self, pressed):
        raise NotImplementedError

    def key(self, code, pressed):
        raise NotImplementedError

    def modifiers(self, mask):
        """Tells the compositor the modifier state, where the channel needs it."""

    def sync(self):
        """Returns once the compositor has handled everything sent so far."""

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
            if command == "move":
                driver.move(*(int(v) for v in rest.split()))
            elif command in ("down", "up"):
                driver.button(command == "down")
            elif command == "key":
                driver.combo(rest)
            elif command == "type":
                driver.type(rest)
            else:
                raise ValueError("unknown command " + command)
            driver.sync()
            print("ok", flush=True)
        except (ValueError, KeyError, TypeError) + tuple(errors) as error:
            print("error: %s" % error, flush=True)
