#!/usr/bin/env python3
"""Reports how far dark text reaches in a strip of a window on $DISPLAY.

Usage: ink.py WINDOW_ID X Y WIDTH HEIGHT

Prints the client column (relative to X) of the rightmost dark pixel in the
strip, or -1 when it holds no dark pixel. The end-to-end tests tell the
status line's messages apart by it: they differ in length by hundreds of
pixels, whatever font stands in for the designed one. Only the standard
library: libX11 through ctypes.
"""
import ctypes
import ctypes.util
import os
import sys

ALL_PLANES = ctypes.c_ulong(~0 & 0xFFFFFFFFFFFFFFFF)
Z_PIXMAP = 2
DARK = 96  # a pixel of text: every channel below this


class XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, up to the pixel layout.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


def main():
    window, x, y, width, height = (int(v, 0) for v in sys.argv[1:6])
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XGetImage.restype = ctypes.POINTER(XImage)
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                              ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x11.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    display = x11.XOpenDisplay(os.environ.get("DISPLAY", "").encode())
    if not display:
        print("cannot open the display", file=sys.stderr)
        return 2
    try:
        image = x11.XGetImage(display, window, x, y, width, height, ALL_PLANES, Z_PIXMAP)
        if not image:  # a null pointer
            print(f"cannot read window {window:#x}", file=sys.stderr)
            return 2
        im = image.contents
        depth, order, stride = im.bits_per_pixel, im.byte_order, im.bytes_per_line
        pixels = ctypes.string_at(im.data, stride * height)
        x11.XDestroyImage(image)
        if depth != 32:
            print(f"{depth} bits per pixel: only 32 are read", file=sys.stderr)
            return 2
        # B, G, R in the low three bytes of each pixel (LSBFirst, as Xvfb serves it).
        low, mid, high = (0, 1, 2) if order == 0 else (3, 2, 1)
        rightmost = -1
        for row in range(height):
            line = pixels[row * stride : row * stride + 4 * width]
            for col in range(width - 1, rightmost, -1):
                p = line[4 * col : 4 * col + 4]
                if p[low] < DARK and p[mid] < DARK and p[high] < DARK:
                    rightmost = col
                    break
    finally:
        x11.XCloseDisplay(display)
    print(rightmost)
    return 0


if __name__ == "__main__":
    sys.exit(main())
