#!/usr/bin/env python3
"""Makes the control panel's skin pictures in resources/skin/ and the
desktop icon app/desktop/vemmo.png.

Every picture is 32-bit RGBA; sprite sheets hold their frames side by side,
16 x 16 each, in the order resources/resources.xml cuts them:
  checkbox.png  4 frames: normal, hover, checked (down), disabled
  scroll.png    13 frames: track; thumb, up and down button x 4 states
  progress.png  2 frames: background, bar
  panel.png     the panel's translucent background with a rounded rim
Sheet widths are powers of two, so the textures need no padding.

Run from the repository root:  python3 scripts/make-skin.py
"""
import importlib.util
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
_spec = importlib.util.spec_from_file_location("gradients", os.path.join(HERE, "make-gradients.py"))
gradients = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(gradients)

S = 16  # frame side

# The four button states as (fill, rim) colours.
STATES = [
    ((44, 48, 66, 235), (120, 130, 170, 255)),   # normal
    ((62, 70, 100, 240), (170, 185, 235, 255)),  # hover
    ((40, 110, 70, 245), (140, 230, 170, 255)),  # down
    ((50, 50, 50, 200), (90, 90, 90, 220)),      # disabled
]


class Picture:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[(0, 0, 0, 0)] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def box(self, x0, y0, w, h, fill, rim, radius=3):
        """A rounded box with a one-pixel rim, corners cut by `radius`."""
        for y in range(h):
            for x in range(w):
                dx = max(radius - x, x - (w - 1 - radius), 0)
                dy = max(radius - y, y - (h - 1 - radius), 0)
                d = math.hypot(dx, dy)
                if d > radius + 0.5:
                    continue
                edge = x in (0, w - 1) or y in (0, h - 1) or d > radius - 0.5
                self.put(x0 + x, y0 + y, rim if edge else fill)

    def triangle(self, x0, y0, up, colour):
        """A small arrow centred in the frame at (x0, y0)."""
        for row in range(5):
            half = row if up else 4 - row
            for x in range(8 - half, 8 + half + 1):
                self.put(x0 + x, y0 + 5 + row, colour)

    def save(self, path):
        raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in self.pixels)
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        data = (b"\x89PNG\r\n\x1a\n" + gradients.chunk(b"IHDR", header) +
                gradients.chunk(b"IDAT", zlib.compress(raw, 9)) + gradients.chunk(b"IEND", b""))
        with open(path, "wb") as f:
            f.write(data)
        print("wrote", path)


def checkbox():
    p = Picture(4 * S, S)
    for i, (fill, rim) in enumerate(STATES):
        p.box(i * S + 1, 1, S - 2, S - 2, fill, rim)
        if i == 2:  # the tick
            for t in range(4):
                p.put(i * S + 4 + t, 7 + t, (235, 255, 240, 255))
                p.put(i * S + 4 + t, 8 + t, (235, 255, 240, 255))
            for t in range(5):
                p.put(i * S + 7 + t, 10 - t, (235, 255, 240, 255))
                p.put(i * S + 7 + t, 9 - t, (235, 255, 240, 255))
    return p


def scroll():
    p = Picture(256, S)
    p.box(0, 0, S, S, (24, 26, 36, 220), (24, 26, 36, 220), radius=0)
    for part in range(3):
        for i, (fill, rim) in enumerate(STATES):
            x = (1 + part * 4 + i) * S
            p.box(x + 1, 1, S - 2, S - 2, fill, rim)
            if part:
                p.triangle(x, 0, part == 1, rim)
    return p


def progress():
    p = Picture(2 * S, S)
    p.box(0, 0, S, S, (24, 26, 36, 230), (24, 26, 36, 230), radius=0)
    for y in range(S):
        t = 1.0 - abs(y - 7.5) / 8.0
        p.pixels[y][S:] = [(int(40 + 60 * t), int(120 + 90 * t), int(200 + 55 * t), 255)] * S
    return p


def panel():
    p = Picture(64, 64)
    p.box(0, 0, 64, 64, (16, 18, 28, 205), (110, 120, 160, 230), radius=6)
    return p


def icon():
    """A small Mandelbrot set through the default gradient's first stops."""
    p = Picture(64, 64)
    stops = gradients.GRADIENTS["!vemmo.png"]
    for y in range(64):
        for x in range(64):
            c = complex(-2.1 + 2.8 * x / 63, -1.4 + 2.8 * y / 63)
            z, n = 0j, 0
            while n < 64 and abs(z) <= 2:
                z, n = z * z + c, n + 1
            rgb = (0, 0, 0) if n == 64 else gradients.colour_at(stops, math.pow(n / 64, 1 / 3))
            p.put(x, y, rgb + (255,))
    return p


def main():
    out = os.path.join("resources", "skin")
    os.makedirs(out, exist_ok=True)
    for name, make in (("checkbox", checkbox), ("scroll", scroll), ("progress", progress),
                       ("panel", panel)):
        make().save(os.path.join(out, name + ".png"))
    icon().save(os.path.join("app", "desktop", "vemmo.png"))


if __name__ == "__main__":
    main()
