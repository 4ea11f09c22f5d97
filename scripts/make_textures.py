#!/usr/bin/env python3
"""Writes the pictures the demo scenes paint their meshes with, into examples/.

vase_texture.png: the vase's texture coordinates are its rings' points on the layer, so a ring of
radius r reads the picture along a circle of radius r; the colour changes with the radius (one band
per height of the vase) and the stripes with the angle (running up the vase).
grid_texture.png: a chequer of the terrain layer's proportions, so that its cells show the grid.
Standard library only.
"""
import colorsys
import math
import struct
import zlib
from pathlib import Path

EXAMPLES = Path(__file__).resolve().parent.parent / "examples"


def vase_pixel(x, y, size=200, stripes=12):
    dx, dy = x - size / 2, y - size / 2
    radius = math.hypot(dx, dy) / (size / 2)
    angle = math.atan2(dy, dx) / (2 * math.pi) + 0.5
    r, g, b = colorsys.hsv_to_rgb((2.2 * radius + 0.45) % 1.0, 0.6, 0.95)
    if int(angle * stripes * 2) % 2:
        r, g, b = r * 0.55, g * 0.55, b * 0.55
    return (r, g, b)


def grid_pixel(x, y, cell=20):
    light = (x // cell + y // cell) % 2 == 0
    return (0.93, 0.87, 0.62) if light else (0.25, 0.55, 0.40)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def write_png(path, width, height, pixel):
    rows = b"".join(
        b"\x00" + b"".join(bytes(int(c * 255) for c in pixel(x, y)) + b"\xff" for x in range(width))
        for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                     chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def main():
    write_png(EXAMPLES / "vase_texture.png", 200, 200, vase_pixel)
    write_png(EXAMPLES / "grid_texture.png", 320, 180, grid_pixel)


if __name__ == "__main__":
    main()
