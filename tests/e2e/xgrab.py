#!/usr/bin/env python3
"""Acts as another X client grabbing Ctrl+Alt+KEY on the root window.

  xgrab.py hold KEY         grab and keep the grab until killed (prints "grabbed")
  xgrab.py probe KEY [LOCK] try the grab (LOCK: none, caps, num); exit 0 if it was free,
                            1 if another client holds it
  xgrab.py held             exit 0 if another client has grabbed both the keyboard and the
                            pointer, else 1 (a free one is taken and let go at once)
"""
import ctypes
import sys
import time

CONTROL, MOD1, LOCK, MOD2 = 4, 8, 2, 16
LOCKS = {"none": 0, "caps": LOCK, "num": MOD2}
GRAB_MODE_ASYNC = 1
GRAB_SUCCESS, ALREADY_GRABBED = 0, 1
CURRENT_TIME = 0


class XErrorEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("display", ctypes.c_void_p),
                ("resourceid", ctypes.c_ulong), ("serial", ctypes.c_ulong),
                ("error_code", ctypes.c_ubyte), ("request_code", ctypes.c_ubyte),
                ("minor_code", ctypes.c_ubyte)]


x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XStringToKeysym.restype = ctypes.c_ulong
x.XStringToKeysym.argtypes = [ctypes.c_char_p]
x.XKeysymToKeycode.restype = ctypes.c_ubyte
x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGrabKey.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_uint, ctypes.c_ulong,
                       ctypes.c_int, ctypes.c_int, ctypes.c_int]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XGrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                            ctypes.c_int, ctypes.c_ulong]
x.XUngrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGrabPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_uint,
                           ctypes.c_int, ctypes.c_int, ctypes.c_ulong, ctypes.c_ulong,
                           ctypes.c_ulong]
x.XUngrabPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong]

errors = []
HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.POINTER(XErrorEvent))


def on_error(_display, event):
    errors.append(event.contents.error_code)
    return 0


handler = HANDLER(on_error)
x.XSetErrorHandler(handler)


def grab(display, key, lock):
    root = x.XDefaultRootWindow(display)
    code = x.XKeysymToKeycode(display, x.XStringToKeysym(key.encode()))
    x.XGrabKey(display, code, CONTROL | MOD1 | lock, root, 1, GRAB_MODE_ASYNC, GRAB_MODE_ASYNC)
    x.XSync(display, 0)
    return not errors


def held(display):
    root = x.XDefaultRootWindow(display)
    keyboard = x.XGrabKeyboard(display, root, 0, GRAB_MODE_ASYNC, GRAB_MODE_ASYNC, CURRENT_TIME)
    if keyboard == GRAB_SUCCESS:
        x.XUngrabKeyboard(display, CURRENT_TIME)
    pointer = x.XGrabPointer(display, root, 0, 0, GRAB_MODE_ASYNC, GRAB_MODE_ASYNC, 0, 0,
                             CURRENT_TIME)
    if pointer == GRAB_SUCCESS:
        x.XUngrabPointer(display, CURRENT_TIME)
    x.XSync(display, 0)
    return keyboard == ALREADY_GRABBED and pointer == ALREADY_GRABBED


def main():
    mode = sys.argv[1]
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("no X display")
    if mode == "held":
        sys.exit(0 if held(display) else 1)
    key = sys.argv[2]
    lock = LOCKS[sys.argv[3] if len(sys.argv) > 3 else "none"]
    ok = grab(display, key, lock)
    if mode == "probe":
        sys.exit(0 if ok else 1)
    if not ok:
        sys.exit("grab refused")
    print("grabbed", flush=True)
    while True:
        time.sleep(1)


main()
