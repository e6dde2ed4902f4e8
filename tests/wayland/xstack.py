#!/usr/bin/env python3
"""A picture of the X windows of a rootless XWayland, each at its place, bottom to top, with
the alpha of translucent windows kept (ImageMagick's import drops it, and the X root of a
rootless server shows nothing):

  xstack.py OUT.png [BACKGROUND_RGB_HEX]

Wayland windows are not in it: only the compositor can show those.
"""
import ctypes
import struct
import sys
import zlib

from ctypes import POINTER, byref, c_char_p, c_int, c_uint, c_ulong, c_void_p

x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = c_void_p
x.XOpenDisplay.argtypes = [c_char_p]
x.XDefaultRootWindow.restype = c_ulong
x.XDefaultRootWindow.argtypes = [c_void_p]
x.XQueryTree.argtypes = [c_void_p, c_ulong, POINTER(c_ulong), POINTER(c_ulong),
                         POINTER(POINTER(c_ulong)), POINTER(c_uint)]
x.XGetImage.restype = c_void_p
x.XGetImage.argtypes = [c_void_p, c_ulong, c_int, c_int, c_uint, c_uint, c_ulong, c_int]
x.XSetErrorHandler.argtypes = [c_void_p]
x.XFetchName.argtypes = [c_void_p, c_ulong, POINTER(c_char_p)]
Z_PIXMAP = 2
IS_VIEWABLE = 2


class Attributes(ctypes.Structure):
    _fields_ = [("x", c_int), ("y", c_int), ("width", c_int), ("height", c_int),
                ("border_width", c_int), ("depth", c_int), ("visual", c_void_p),
                ("root", c_ulong), ("c_class", c_int), ("bit_gravity", c_int),
                ("win_gravity", c_int), ("backing_store", c_int), ("backing_planes", c_ulong),
                ("backing_pixel", c_ulong), ("save_under", c_int), ("colormap", c_ulong),
                ("map_installed", c_int), ("map_state", c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", c_int), ("screen", c_void_p)]


class XImage(ctypes.Structure):
    _fields_ = [("width", c_int), ("height", c_int), ("xoffset", c_int), ("format", c_int),
                ("data", c_void_p), ("byte_order", c_int), ("bitmap_unit", c_int),
                ("bitmap_bit_order", c_int), ("bitmap_pad", c_int), ("depth", c_int),
                ("bytes_per_line", c_int), ("bits_per_pixel", c_int)]


x.XGetWindowAttributes.argtypes = [c_void_p, c_ulong, POINTER(Attributes)]


def children(display, window):
    root, parent = c_ulong(), c_ulong()
    kids, count = POINTER(c_ulong)(), c_uint()
    x.XQueryTree(display, window, byref(root), byref(parent), byref(kids), byref(count))
    return [kids[i] for i in range(count.value)]


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


def name(display, window):
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


def write_png(path, width, height, canvas):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + bytes(row) for row in canvas)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2,
                                                                   0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def main():
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("no X display")
    # A window that goes away while it is read must not end the picture.
    handler = ctypes.CFUNCTYPE(c_int, c_void_p, c_void_p)(lambda d, e: 0)
    x.XSetErrorHandler(handler)
    root = x.XDefaultRootWindow(display)
    screen = Attributes()
    x.XGetWindowAttributes(display, root, byref(screen))
    width, height = screen.width, screen.height
    background = bytes.fromhex(sys.argv[2] if len(sys.argv) > 2 else "3465a4")
    canvas = [bytearray(background * width) for _ in range(height)]
    for window in children(display, root):
        a = Attributes()
        if not x.XGetWindowAttributes(display, window, byref(a)):
            continue
        # Mutter's own helpers: a full-screen guard window and 1x1 ones.
        if a.map_state != IS_VIEWABLE or a.width < 2 or a.height < 2 or \
                name(display, window).startswith(b"mutter"):
            continue
        rows = window_pixels(display, window, a)
        if rows:
            blend(canvas, width, height, a, rows)
    write_png(sys.argv[1], width, height, canvas)


main()
