#!/usr/bin/env python3
"""X questions the desktop suite asks that xprop and xwininfo do not answer directly.

  xcheck.py cm           exit 0 when a compositing manager owns _NET_WM_CM_S0
  xcheck.py above A B    exit 0 when window A's top-level ancestor is stacked above B's
  xcheck.py viewable W   exit 0 when window W is viewable (mapped, and its ancestors too)
  xcheck.py toplevel W   print W's ancestor that is a child of the root (a frame, or W)
  xcheck.py pointer      print the child of the root under the pointer (0 for none); unlike
                         xdotool's answer it is right for unmanaged windows too
"""
import ctypes
import sys


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int),
                ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("c_class", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


IS_VIEWABLE = 2
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XGetSelectionOwner.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                         ctypes.POINTER(ctypes.c_ulong),
                         ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                         ctypes.POINTER(ctypes.c_uint)]
x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                   ctypes.POINTER(XWindowAttributes)]
x.XFree.argtypes = [ctypes.c_void_p]
x.XQueryPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7


def tree(display, window):
    """(parent, children bottom to top) of a window."""
    root, parent = ctypes.c_ulong(), ctypes.c_ulong()
    children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
    if not x.XQueryTree(display, window, ctypes.byref(root), ctypes.byref(parent),
                        ctypes.byref(children), ctypes.byref(count)):
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


def main():
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("no X display")
    what = sys.argv[1]
    if what == "cm":
        selection = x.XInternAtom(display, b"_NET_WM_CM_S0", 0)
        sys.exit(0 if x.XGetSelectionOwner(display, selection) else 1)
    if what == "pointer":
        root, child = ctypes.c_ulong(), ctypes.c_ulong()
        ints = [ctypes.c_int() for _ in range(4)]
        mask = ctypes.c_uint()
        x.XQueryPointer(display, x.XDefaultRootWindow(display), ctypes.byref(root),
                        ctypes.byref(child), *[ctypes.byref(i) for i in ints],
                        ctypes.byref(mask))
        print(child.value)
        sys.exit(0)
    window = int(sys.argv[2], 0)
    if what == "viewable":
        attributes = XWindowAttributes()
        x.XGetWindowAttributes(display, window, ctypes.byref(attributes))
        sys.exit(0 if attributes.map_state == IS_VIEWABLE else 1)
    if what == "toplevel":
        print(top_level(display, window))
        sys.exit(0)
    if what == "above":
        order = tree(display, x.XDefaultRootWindow(display))[1]
        a = top_level(display, window)
        b = top_level(display, int(sys.argv[3], 0))
        sys.exit(0 if order.index(a) > order.index(b) else 1)
    sys.exit("unknown question: " + what)


main()
