#!/usr/bin/env python3
"""Draws the program's icon, taldoris.ico: one 64x64 image of 32-bit colour.

A blue rounded tile holding a white window without frame or caption, with
four corner marks around it: a window made borderless. Run it again after
changing the picture; the build uses the committed taldoris.ico.
"""
import struct
import sys

SIZE = 64


def clamp(v, lo=0.0, hi=1.0):
    return max(lo, min(hi, v))


def rounded_coverage(x, y, left, top, right, bottom, radius):
    """Share of pixel (x, y) inside a rounded rectangle, 4x4 supersampled."""
    inside = 0
    for sy in range(4):
        for sx in range(4):
            px = x + (sx + 0.5) / 4
            py = y + (sy + 0.5) / 4
            if not (left <= px < right and top <= py < bottom):
                continue
            cx = min(max(px, left + radius), right - radius)
            cy = min(max(py, top + radius), bottom - radius)
            if (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius:
                inside += 1
    return inside / 16.0


def in_rect(x, y, left, top, right, bottom):
    return left <= x < right and top <= y < bottom


def corner_mark(x, y):
    """Four L-shaped marks just outside the window's corners."""
    marks = [
        (8, 12, 1, 1),    # top left: corner at (8, 12), arms to the right and down
        (56, 12, -1, 1),  # top right
        (8, 52, 1, -1),   # bottom left
        (56, 52, -1, -1), # bottom right
    ]
    for cx, cy, dx, dy in marks:
        # horizontal arm
        hx0, hx1 = sorted((cx, cx + dx * 10))
        hy0, hy1 = sorted((cy, cy + dy * 3))
        if in_rect(x, y, hx0, hy0, hx1, hy1):
            return True
        vx0, vx1 = sorted((cx, cx + dx * 3))
        vy0, vy1 = sorted((cy, cy + dy * 10))
        if in_rect(x, y, vx0, vy0, vx1, vy1):
            return True
    return False


def pixel(x, y):
    """(b, g, r, a) of one pixel, y counted from the top."""
    tile = rounded_coverage(x, y, 0, 0, SIZE, SIZE, 12)
    if tile == 0:
        return (0, 0, 0, 0)
    t = (x + y) / (2.0 * SIZE)
    r = int(30 + (21 - 30) * t)
    g = int(136 + (101 - 136) * t)
    b = int(229 + (192 - 229) * t)
    if corner_mark(x, y):
        r, g, b = 255, 214, 64
    window = rounded_coverage(x, y, 14, 18, 50, 46, 2)
    if window > 0:
        wr, wg, wb = 250, 250, 250
        if in_rect(x, y, 18, 22, 46, 42):  # the picture inside the window
            s = (y - 22) / 20.0
            wr, wg, wb = int(120 + 60 * s), int(200 - 40 * s), int(255 - 40 * s)
        r = int(r + (wr - r) * window)
        g = int(g + (wg - g) * window)
        b = int(b + (wb - b) * window)
    return (b, g, r, int(round(255 * tile)))


def build():
    rows = []
    mask_rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        row = bytearray()
        bits = 0
        mask = bytearray()
        for x in range(SIZE):
            b, g, r, a = pixel(x, y)
            row += bytes((b, g, r, a))
            bits = (bits << 1) | (1 if a == 0 else 0)
            if x % 8 == 7:
                mask.append(bits)
                bits = 0
        rows.append(bytes(row))
        mask_rows.append(bytes(mask))  # 8 bytes: already a multiple of 4
    xor = b"".join(rows)
    and_mask = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "taldoris.ico"
    with open(out, "wb") as f:
        f.write(build())
