#!/usr/bin/env python3
"""What the real-window suites ask of, or do to, an X server that xdotool, xprop and xwininfo
do not answer directly.

  xtool.py hold KEY          another client grabbing Ctrl+Alt+KEY on the root window, until
                             killed (prints "grabbed")
  xtool.py probe KEY [LOCK]  try that grab (LOCK: none, caps, num); exit 0 if it was free, 1 if
                             another client holds it
  xtool.py held              exit 0 if another client has grabbed both the keyboard and the
                             pointer, else 1 (a free one is taken and let go at once)
  xtool.py cm                exit 0 when a compositing manager owns _NET_WM_CM_S0
  xtool.py above A B         exit 0 when window A's top-level ancestor is stacked above B's
  xtool.py viewable W        exit 0 when window W is viewable (mapped, and its ancestors too)
  xtool.py toplevel W        print W's ancestor that is a child of the root (a frame, or W)
  xtool.py pointer           print the child of the root under the pointer (0 for none); unlike
                             xdotool's answer it is right for unmanaged windows too
  xtool.py stack [BACKGROUND_RGB_HEX]
                             a picture (PPM, on stdout) of the top-level windows, each at its
                             place, bottom to top, with the alpha of translucent ones kept
                             (import drops it, and the root of a rootless XWayland shows nothing)
"""
import ctypes
import sys
import time
from ctypes import POINTER, byref, c_char_p, c_int, c_long, c_ubyte, c_uint, c_ulong, c_void_p

CONTROL, MOD1, LOCK, MOD2 = 4, 8, 2, 16
LOCKS = {"none": 0, "caps": LOCK, "num": MOD2}
GRAB_MODE_ASYNC, GRAB_SUCCESS, ALREADY_GRABBED, CURRENT_TIME = 1, 0, 1, 0
IS_VIEWABLE, Z_PIXMAP = 2, 2


class Attributes(ctypes.Structure):
    _fields_ = [("x", c_int), ("y", c_int), ("width", c_int), ("height", c_int),
                ("border_width", c_int), ("depth", c_int), ("visual", c_void_p),
                ("root", c_ulong), ("c_class", c_int), ("bit_gravity", c_int),
                ("win_gravity", c_int), ("backing_store", c_int), ("backing_planes", c_ulong),
                ("backing_pixel", c_ulong), ("save_under", c_int), ("colormap", c_ulong),
                ("map_installed", c_int), ("map_state", c_int), ("all_event_masks", c_long),
                ("your_event_mask", c_long), ("do_not_propagate_mask", c_long),
                ("override_redirect", c_int), ("screen", c_void_p)]


class XImage(ctypes.Structure):
    _fields_ = [("width", c_int), ("height", c_int), ("xoffset", c_int), ("format", c_int),
                ("data", c_void_p), ("byte_order", c_int), ("bitmap_unit", c_int),
                ("bitmap_bit_order", c_int), ("bitmap_pad", c_int), ("depth", c_int),
                ("bytes_per_line", c_int), ("bits_per_pixel", c_int)]


class XErrorEvent(ctypes.Structure):
    _fields_ = [("type", c_int), ("display", c_void_p), ("resourceid", c_ulong),
                ("serial", c_ulong), ("error_code", c_ubyte), ("request_code", c_ubyte),
                ("minor_code", c_ubyte)]


x = ctypes.cdll.LoadLibrary("libX11.so.6")
for name, result, *arguments in [
        ("XOpenDisplay", c_void_p, c_char_p), ("XDefaultRootWindow", c_ulong, c_void_p),
        ("XInternAtom", c_ulong, c_void_p, c_char_p, c_int),
        ("XGetSelectionOwner", c_ulong, c_void_p, c_ulong),
        ("XQueryTree", c_int, c_void_p, c_ulong, POINTER(c_ulong), POINTER(c_ulong),
         POINTER(POINTER(c_ulong)), POINTER(c_uint)),
        ("XGetWindowAttributes", c_int, c_void_p, c_ulong, POINTER(Attributes)),
        ("XQueryPointer", c_int, c_void_p, c_ulong, *[c_void_p] * 7),
        ("XGetImage", c_void_p, c_void_p, c_ulong, c_int, c_int, c_uint, c_uint, c_ulong, c_int),
        ("XFetchName", c_int, c_void_p, c_ulong, POINTER(c_char_p)), ("XFree", c_int, c_void_p),
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
handler = ctypes.CFUNCTYPE(c_int, c_void_p, POINTER(XErrorEvent))(
    lambda _display, event: errors.append(event.contents.error_code) or 0)
x.XSetErrorHandler(handler)


def tree(display, window):
    """(parent, children bottom to top) of a window."""
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


def attributes(display, window):
    a = Attributes()
    return a if x.XGetWindowAttributes(display, window, byref(a)) else None


def grab(display, key, lock):
    code = x.XKeysymToKeycode(display, x.XStringToKeysym(key.encode()))
    x.XGrabKey(display, code, CONTROL | MOD1 | lock, x.XDefaultRootWindow(display), 1,
               GRAB_MODE_ASYNC, GRAB_MODE_ASYNC)
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


def under_pointer(display):
    root, child = c_ulong(), c_ulong()
    ints, mask = [c_int() for _ in range(4)], c_uint()
    x.XQueryPointer(display, x.XDefaultRootWindow(display), byref(root), byref(child),
                    *[byref(i) for i in ints], byref(mask))
    return child.value


def window_pixels(display, window, a):
    """RGBA rows of a window; opaque unless its visual has an alpha channel (depth 32)."""
    pointer = x.XGetImage(display, window, 0, 0, a.width, a.height, 0xFFFFFFFF, Z_PIXMAP)
    if not pointer:
        return None
    image = XImage.from_address(pointer)
    if image.bits_per_pixel != 32:
        return None
    raw = ctypes.string_at(image.data, image.bytes_per_line * a.height)
    rows = []
    for y in range(a.height):
        line = raw[y * image.bytes_per_line:y * image.bytes_per_line + 4 * a.width]
        row = bytearray(4 * a.width)
        row[0::4], row[1::4], row[2::4] = line[2::4], line[1::4], line[0::4]
        row[3::4] = line[3::4] if a.depth == 32 else b"\xff" * a.width
        rows.append(row)
    return rows


def window_name(display, window):
    text = c_char_p()
    x.XFetchName(display, window, byref(text))
    return text.value or b""


def blend(canvas, width, height, a, rows):
    left, right = max(0, -a.x), min(a.width, width - a.x)
    for y in range(max(0, -a.y), min(a.height, height - a.y)):
        target = canvas[a.y + y]
        source = rows[y]
        alphas = source[3::4]
        if not alphas.strip(b"\0"):  # wholly transparent
            continue
        if not alphas.strip(b"\xff"):  # opaque: a copy of the row
            rgb = bytearray(3 * a.width)
            rgb[0::3], rgb[1::3], rgb[2::3] = source[0::4], source[1::4], source[2::4]
            target[3 * (a.x + left):3 * (a.x + right)] = rgb[3 * left:3 * right]
            continue
        for x0 in range(left, right):
            alpha = source[4 * x0 + 3]
            if alpha == 0:
                continue
            t = 3 * (a.x + x0)
            for c in range(3):
                # Premultiplied, as X compositing keeps translucent pixels.
                target[t + c] = min(255, source[4 * x0 + c] + target[t + c] * (255 - alpha) // 255)


def stack(display, background="3465a4"):
    screen = attributes(display, x.XDefaultRootWindow(display))
    width, height = screen.width, screen.height
    canvas = [bytearray(bytes.fromhex(background) * width) for _ in range(height)]
    for window in tree(display, x.XDefaultRootWindow(display))[1]:
        a = attributes(display, window)
        # Mutter's own helpers: a full-screen guard window and 1x1 ones.
        if not a or a.map_state != IS_VIEWABLE or a.width < 2 or a.height < 2 or \
                window_name(display, window).startswith(b"mutter"):
            continue
        rows = window_pixels(display, window, a)
        if rows:
            blend(canvas, width, height, a, rows)
    sys.stdout.buffer.write(b"P6 %d %d 255\n" % (width, height) + b"".join(canvas))


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
    elif what == "viewable":
        a = attributes(display, int(args[0], 0))
        sys.exit(0 if a and a.map_state == IS_VIEWABLE else 1)
    elif what == "toplevel":
        print(top_level(display, int(args[0], 0)))
    elif what == "above":
        order = tree(display, x.XDefaultRootWindow(display))[1]
        a, b = (top_level(display, int(w, 0)) for w in args[:2])
        sys.exit(0 if order.index(a) > order.index(b) else 1)
    elif what == "stack":
        stack(display, *args)
    else:
        sys.exit("unknown question: " + what)


main()
