#!/usr/bin/env python3
"""Draws the program's icons and button pictures.

Everything is drawn from signed-distance shapes in a small design grid and
written as plain .ico and .bmp files with the standard library only, so the
artwork can be redrawn on any machine: `python3 make_art.py OUTDIR`.

Button pictures: every pixel that no shape touches is the mask colour
(red 255, green 192, blue 255), which the program draws transparent; edge
pixels are blended with the buttons' own face colour (red 192, green 192,
blue 255), so the pictures have smooth edges on the button and no pink
fringe. Each picture comes in three sizes, for 100 %, 150 % and 200 %.

Icons: 16 x 16 in 256 colours (hard edges, one-bit transparency), plus
24, 32 and 48 pixel images with an alpha channel for larger displays and
the file browser.
"""
import math
import os
import struct
import sys

MASK = (255, 192, 255)
BUTTON_FACE = (192, 192, 255)
SUB = 4  # subsamples per pixel along each axis


# --- shapes: functions of (x, y) in design units, negative inside ---------

def disc(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(cx, cy, hw, hh, radius=0.0):
    def f(x, y):
        qx = abs(x - cx) - hw + radius
        qy = abs(y - cy) - hh + radius
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return f


def segment(ax, ay, bx, by, half_width):
    def f(x, y):
        px, py = x - ax, y - ay
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, (px * dx + py * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - dx * t, py - dy * t) - half_width
    return f


def polygon(points):
    def f(x, y):
        d = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -d if inside else d
    return f


def arc(cx, cy, r, half_width, start_deg, end_deg):
    """A stroked arc; angles in degrees, clockwise on screen from east."""
    steps = 48
    pts = []
    for i in range(steps + 1):
        a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    parts = [segment(*pts[i], *pts[i + 1], half_width) for i in range(steps)]
    return lambda x, y: min(p(x, y) for p in parts)


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def grow(shape, by):
    return lambda x, y: shape(x, y) - by


# --- drawings: lists of (shape, colour), later entries on top -------------

def picture_start():
    tri = polygon([(10.5, 6.5), (10.5, 25.5), (25.5, 16.0)])
    return [(grow(tri, 1.4), (0, 90, 20)), (tri, (50, 180, 70)),
            (polygon([(12.3, 10.0), (12.3, 16.0), (19.0, 13.0)]), (130, 220, 140))]


def picture_stop():
    bars = union(box(11.5, 16, 3.2, 9.5, 1.0), box(20.5, 16, 3.2, 9.5, 1.0))
    return [(grow(bars, 1.4), (120, 10, 0)), (bars, (220, 70, 40)),
            (union(box(10.6, 12, 1.0, 4.5, 0.8), box(19.6, 12, 1.0, 4.5, 0.8)), (245, 150, 120))]


def picture_create():
    ring = arc(16, 16, 9.0, 2.3, -50, 230)
    end = math.radians(-50)
    tip_x, tip_y = 16 + 9.0 * math.cos(end), 16 + 9.0 * math.sin(end)
    # Arrow head at the open end, pointing along the arc (clockwise).
    tx, ty = -math.sin(end), math.cos(end)   # direction of travel at the end
    nx, ny = math.cos(end), math.sin(end)    # outward normal
    head = polygon([(tip_x + nx * 5.5, tip_y + ny * 5.5),
                    (tip_x - nx * 5.5, tip_y - ny * 5.5),
                    (tip_x - tx * 6.5, tip_y - ty * 6.5)])
    shape = union(ring, head)
    return [(grow(shape, 1.3), (110, 50, 0)), (shape, (240, 150, 20))]


def question_mark(cx, top, scale, half_width):
    bowl = arc(cx, top + 3.3 * scale, 3.1 * scale, half_width, 180, 405)
    a = math.radians(405)
    sx, sy = cx + 3.1 * scale * math.cos(a), top + 3.3 * scale + 3.1 * scale * math.sin(a)
    stem = segment(sx, sy, cx, top + 8.8 * scale, half_width)
    dot = disc(cx, top + 11.6 * scale, half_width * 1.25)
    return union(bowl, stem, dot)


def picture_help():
    badge = disc(16, 9.5, 8.6)
    return [(grow(badge, 0.0), (20, 40, 130)), (disc(16, 9.5, 7.6), (50, 100, 210)),
            (question_mark(16, 3.0, 1.0, 1.05), (255, 255, 255))]


def envelope(badge_colour, badge_dark, symbol):
    body = box(7.5, 7.0, 6.8, 4.8, 0.8)
    flap = union(segment(1.2, 2.6, 7.5, 7.4, 0.55), segment(13.8, 2.6, 7.5, 7.4, 0.55))
    badge = disc(11.3, 11.3, 4.4)
    layers = [(grow(body, 0.9), (55, 65, 90)), (body, (250, 250, 240)),
              (lambda x, y: max(flap(x, y), body(x, y)), (55, 65, 90)),
              (grow(badge, 0.9), badge_dark), (badge, badge_colour)]
    layers.append((symbol, (255, 255, 255)))
    return layers


def icon_paused():
    bars = union(box(9.9, 11.3, 0.75, 2.3), box(12.7, 11.3, 0.75, 2.3))
    return envelope((230, 150, 0), (110, 60, 0), bars)


def icon_running():
    tri = polygon([(9.8, 8.6), (9.8, 14.0), (14.0, 11.3)])
    return envelope((30, 165, 50), (0, 80, 10), tri)


# --- rendering --------------------------------------------------------------

def render(layers, width, height, design_w, design_h):
    """Returns rows of (r, g, b, coverage) for the given pixel size."""
    sx, sy = design_w / width, design_h / height
    out = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for j in range(SUB):
                for i in range(SUB):
                    x = (px + (i + 0.5) / SUB) * sx
                    y = (py + (j + 0.5) / SUB) * sy
                    colour = None
                    for shape, c in layers:
                        if shape(x, y) < 0:
                            colour = c
                    if colour is not None:
                        hits += 1
                        for k in range(3):
                            acc[k] += colour[k]
            n = SUB * SUB
            if hits:
                row.append((acc[0] / hits, acc[1] / hits, acc[2] / hits, hits / n))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        out.append(row)
    return out


def quantise(pixels, limit):
    """Maps (r, g, b) tuples to at most `limit` palette entries."""
    step = 1
    while True:
        def q(c):
            return tuple(min(255, int(round(v / step)) * step) for v in c)
        palette = sorted({q(p) for row in pixels for p in row})
        if len(palette) <= limit:
            index = {c: i for i, c in enumerate(palette)}
            return palette, [[index[q(p)] for p in row] for row in pixels]
        step *= 2


def picture_pixels(layers, width, height, design_w, design_h):
    rows = []
    for row in render(layers, width, height, design_w, design_h):
        out = []
        for r, g, b, a in row:
            if a == 0:
                out.append(MASK)
            else:
                out.append(tuple(int(round(c * a + f * (1 - a)))
                                 for c, f in zip((r, g, b), BUTTON_FACE)))
        rows.append(out)
    # The mask colour must stay exact and must not appear where shapes are.
    for row in rows:
        for i, p in enumerate(row):
            if p != MASK and abs(p[0] - 255) + abs(p[1] - 192) + abs(p[2] - 255) < 12:
                row[i] = (p[0] - 12, p[1], p[2])
    return rows


def write_bmp8(path, rows):
    height, width = len(rows), len(rows[0])
    palette, indices = quantise(rows, 256)
    if MASK not in palette:
        raise SystemExit("mask colour lost in " + path)
    stride = (width + 3) & ~3
    pixels = b"".join(bytes(r) + b"\0" * (stride - width) for r in reversed(indices))
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 2835, 2835,
                         len(palette), 0)
    offset = 14 + len(header) + len(pal)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset))
        f.write(header + pal + pixels)


def and_mask(opaque_rows):
    width = len(opaque_rows[0])
    stride = ((width + 31) // 32) * 4
    data = b""
    for row in reversed(opaque_rows):
        bits = bytearray(stride)
        for x, opaque in enumerate(row):
            if not opaque:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bytes(bits)
    return data


def icon_image_8bit(layers, size):
    px = render(layers, size, size, 16, 16)
    opaque = [[a >= 0.5 for (_, _, _, a) in row] for row in px]
    colours = [[(int(round(r)), int(round(g)), int(round(b))) if o else (0, 0, 0)
                for (r, g, b, _), o in zip(row, orow)] for row, orow in zip(px, opaque)]
    palette, indices = quantise(colours, 256)
    palette = palette + [(0, 0, 0)] * (256 - len(palette))
    stride = (size + 3) & ~3
    xor = b"".join(bytes(r) + b"\0" * (stride - size) for r in reversed(indices))
    mask = and_mask(opaque)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(mask), 0, 0,
                         256, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + pal + xor + mask, 8


def icon_image_32bit(layers, size):
    px = render(layers, size, size, 16, 16)
    xor = b""
    for row in reversed(px):
        for r, g, b, a in row:
            xor += struct.pack("<BBBB", int(round(b)), int(round(g)), int(round(r)),
                               int(round(a * 255)))
    mask = and_mask([[a > 0 for (_, _, _, a) in row] for row in px])
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0,
                         0, 0)
    return header + xor + mask, 32


def write_ico(path, layers):
    images = [icon_image_8bit(layers, 16)] + [icon_image_32bit(layers, s) for s in (24, 32, 48)]
    sizes = [16, 24, 32, 48]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for (data, bpp), size in zip(images, sizes):
        colours = 0  # 256 colours is written as 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bpp, len(data), offset)
        offset += len(data)
        body += data
    with open(path, "wb") as f:
        f.write(out + body)


PICTURES = {
    "start": (picture_start, 32, 32),
    "stop": (picture_stop, 32, 32),
    "create": (picture_create, 32, 32),
    "help": (picture_help, 32, 19),
}
SCALES = {"100": 1.0, "150": 1.5, "200": 2.0}


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(outdir, exist_ok=True)
    write_ico(os.path.join(outdir, "paused.ico"), icon_paused())
    write_ico(os.path.join(outdir, "running.ico"), icon_running())
    for name, (draw, w, h) in PICTURES.items():
        for suffix, scale in SCALES.items():
            width, height = int(round(w * scale)), int(round(h * scale))
            rows = picture_pixels(draw(), width, height, w, h)
            write_bmp8(os.path.join(outdir, "%s_%s.bmp" % (name, suffix)), rows)


if __name__ == "__main__":
    main()
