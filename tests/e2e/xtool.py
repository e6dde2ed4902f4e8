#!/usr/bin/env python3
# What the real-window suites ask of, or do to, an X server that xdotool, xprop and xwininfo
# do not answer directly.
#
#   xtool.py hold KEY          another client grabbing Ctrl+Alt+KEY on the root window, until
#                              killed (prints "grabbed")
#   xtool.py probe KEY [LOCK]  try that grab (LOCK: none, caps, num); exit 0 if it was free, 1 if
#                              another client holds it
#   xtool.py held              exit 0 if another client has grabbed both the keyboard and the
#                              pointer, else 1 (a free one is taken and let go at once)
#   xtool.py cm                exit 0 when a compositing manager owns _NET_WM_CM_S0
#   xtool.py above A B         exit 0 when window A's top-level ancestor is stacked above B's
#   xtool.py toplevel W        print W's ancestor that is a child of the root (a frame, or W)
#   xtool.py pointer           print the child of the root under the pointer (0 for none); unlike
#                              xdotool's answer it is right for unmanaged windows too
import ctypes
import sys
import time
from ctypes import POINTER, byref, c_char_p, c_int, c_ubyte, c_uint, c_ulong, c_void_p

CONTROL, MOD1, LOCK, MOD2 = 4, 8, 2, 16
LOCKS = {"none": 0, "caps": LOCK, "num": MOD2}
GRAB_MODE_ASYNC, ALREADY_GRABBED, CURRENT_TIME = 1, 1, 0


x = ctypes.cdll.LoadLibrary("libX11.so.6")
for name, result, *arguments in [
        ("XOpenDisplay", c_void_p, c_char_p), ("XDefaultRootWindow", c_ulong, c_void_p),
        ("XInternAtom", c_ulong, c_void_p, c_char_p, c_int),
        ("XGetSelectionOwner", c_ulong, c_void_p, c_ulong),
        ("XQueryTree", c_int, c_void_p, c_ulong, POINTER(c_ulong), POINTER(c_ulong),
         POINTER(POINTER(c_ulong)), POINTER(c_uint)),
        ("XQueryPointer", c_int, c_void_p, c_ulong, *[c_void_p] * 7),
        ("XFree", c_int, c_void_p),
        ("XStringToKeysym", c_ulong, c_char_p), ("XKeysymToKeycode", c_ubyte, c_void_p, c_ulong),
        ("XGrabKey", c_int, c_void_p, c_int, c_uint, c_ulong, c_int, c_int, c_int),
        ("XGrabKeyboard", c_int, c_void_p, c_ulong, c_int, c_int, c_int, c_ulong),
        ("XUngrabKeyboard", c_int, c_void_p, c_ulong),
        ("XGrabPointer", c_int, c_void_p, c_ulong, c_int, c_uint, c_int, c_int, c_ulong,
         c_ulong, c_ulong),
        ("XUngrabPointer", c_int, c_void_p, c_ulong), ("XSync", c_int, c_void_p, c_int)]:
    function = getattr(x, name)
    function.restype, function.argtypes = result, arguments

# An error (a window gone while it is read, a grab refused) is noted, never the end.
errors = []
handler = ctypes.CFUNCTYPE(c_int, c_void_p, c_void_p)(lambda _display, event: errors.append(event) or 0)
x.XSetErrorHandler(handler)


def tree(display, window):
    # (parent, children bottom to top) of a window
    root, parent = c_ulong(), c_ulong()
    children, count = POINTER(c_ulong)(), c_uint()
    if not x.XQueryTree(display, window, byref(root), byref(parent), byref(children),
                        byref(count)):
        sys.exit("no such window: %#x" % window)
    kids = [children[i] for i in range(count.value)]
    if children:
        x.XFree(children)
    return parent.value, kids


def top_level(display, window):
    root = x.XDefaultRootWindow(display)
    while True:
        parent, _ = tree(display, window)
        if parent in (root, 0):
            return window
        window = parent


def grab(display, key, lock):
    code = x.XKeysymToKeycode(display, x.XStringToKeysym(key.encode()))
    x.XGrabKey(display, code, CONTROL | MOD1 | lock, x.XDefaultRootWindow(display), 1,
               GRAB_MODE_ASYNC, GRAB_MODE_ASYNC)
    x.XSync(display, 0)
    return not errors


def held(display):
    root = x.XDefaultRootWindow(display)
    keyboard = x.XGrabKeyboard(display, root, 0, GRAB_MODE_ASYNC, GRAB_MODE_ASYNC, CURRENT_TIME)
    pointer = x.XGrabPointer(display, root, 0, 0, GRAB_MODE_ASYNC, GRAB_MODE_ASYNC, 0, 0,
                             CURRENT_TIME)
    # Letting go of a grab this client does not hold does nothing.
    x.XUngrabKeyboard(display, CURRENT_TIME)
    x.XUngrabPointer(display, CURRENT_TIME)
    x.XSync(display, 0)
    return keyboard == ALREADY_GRABBED and pointer == ALREADY_GRABBED


def under_pointer(display):
    root, child = c_ulong(), c_ulong()
    ints, mask = [c_int() for _ in range(4)], c_uint()
    x.XQueryPointer(display, x.XDefaultRootWindow(display), byref(root), byref(child),
                    *[byref(i) for i in ints], byref(mask))
    return child.value


def main():
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("no X display")
    what, args = sys.argv[1], sys.argv[2:]
    if what in ("hold", "probe"):
        ok = grab(display, args[0], LOCKS[args[1] if len(args) > 1 else "none"])
        if what == "probe":
            sys.exit(0 if ok else 1)
        if not ok:
            sys.exit("grab refused")
        print("grabbed", flush=True)
        while True:
            time.sleep(1)
    if what == "held":
        sys.exit(0 if held(display) else 1)
    if what == "cm":
        selection = x.XInternAtom(display, b"_NET_WM_CM_S0", 0)
        sys.exit(0 if x.XGetSelectionOwner(display, selection) else 1)
    if what == "pointer":
        print(under_pointer(display))
    elif what == "toplevel":
        print(top_level(display, int(args[0], 0)))
    elif what == "above":
        order = tree(display, x.XDefaultRootWindow(display))[1]
        a, b = (top_level(display, int(w, 0)) for w in args[:2])
        sys.exit(0 if order.index(a) > order.index(b) else 1)
    else:
        sys.exit("unknown question: " + what)


main()
