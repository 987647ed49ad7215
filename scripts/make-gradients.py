#!/usr/bin/env python3
"""Makes the gradient pictures in resources/gradients/.

Each gradient is a list of colour stops; the picture is 1024 x 8 pixels of
24-bit RGB, every row the same. The explorer indexes the palette with
value / limit, and most points of a view escape early, so the stops crowd
towards the left end where the colour is actually seen.

Run from the repository root:  python3 scripts/make-gradients.py
"""
import math
import os
import struct
import zlib

WIDTH = 1024
HEIGHT = 8

# (position 0..1, (r, g, b)) along the stops' own range; pixel u of the
# picture (0..1) shows position u^(1/3), so the first tenth of the range
# already spans the first thousandth of the picture's width.
GRADIENTS = {
    "!vemmo.png": [
        (0.00, (0, 7, 100)), (0.16, (32, 107, 203)), (0.42, (237, 255, 255)),
        (0.64, (255, 170, 0)), (0.86, (0, 2, 0)), (1.00, (0, 7, 100)),
    ],
    "ember.png": [
        (0.00, (8, 0, 0)), (0.20, (120, 10, 0)), (0.45, (230, 90, 10)),
        (0.70, (255, 210, 80)), (0.90, (255, 255, 230)), (1.00, (255, 255, 255)),
    ],
    "glacier.png": [
        (0.00, (2, 6, 20)), (0.25, (20, 60, 120)), (0.50, (90, 170, 210)),
        (0.75, (220, 245, 255)), (1.00, (255, 255, 255)),
    ],
    "forest.png": [
        (0.00, (4, 12, 4)), (0.22, (20, 80, 30)), (0.45, (120, 170, 60)),
        (0.68, (230, 220, 140)), (0.85, (110, 70, 30)), (1.00, (20, 10, 5)),
    ],
    "ultraviolet.png": [
        (0.00, (10, 0, 20)), (0.20, (90, 0, 140)), (0.40, (220, 40, 200)),
        (0.60, (255, 180, 240)), (0.80, (60, 200, 255)), (1.00, (0, 20, 60)),
    ],
    "rainbow.png": [
        (0.00, (0, 0, 0)), (0.10, (128, 0, 255)), (0.25, (0, 0, 255)),
        (0.40, (0, 255, 255)), (0.55, (0, 255, 0)), (0.70, (255, 255, 0)),
        (0.85, (255, 0, 0)), (1.00, (255, 255, 255)),
    ],
    "greyscale.png": [
        (0.00, (0, 0, 0)), (0.50, (255, 255, 255)), (1.00, (60, 60, 60)),
    ],
}


def smooth(t):
    return t * t * (3.0 - 2.0 * t)


def colour_at(stops, x):
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if p0 <= x <= p1:
            t = 0.0 if p1 == p0 else smooth((x - p0) / (p1 - p0))
            return tuple(round(a + (b - a) * t) for a, b in zip(c0, c1))
    return stops[-1][1]


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, row):
    raw = b"".join(b"\x00" + row for _ in range(HEIGHT))
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)
    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(data)


def main():
    out = os.path.join("resources", "gradients")
    os.makedirs(out, exist_ok=True)
    for name, stops in GRADIENTS.items():
        row = bytearray()
        for i in range(WIDTH):
            u = i / (WIDTH - 1)
            x = math.pow(u, 1.0 / 3.0)
            row.extend(colour_at(stops, x))
        write_png(os.path.join(out, name), bytes(row))
        print("wrote", os.path.join(out, name))


if __name__ == "__main__":
    main()
