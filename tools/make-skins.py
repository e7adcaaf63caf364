#!/usr/bin/env python3
"""Draws the player's face and writes the skin bitmaps and the icon.

    python3 tools/make-skins.py

writes res/skin-normal.bmp, res/skin-pressed.bmp, res/skin-mask.bmp (240 x 268,
8 bits with a 256-colour palette) and res/tabrino.png (the program's icon).
Only the standard library is used. Shapes are signed distance functions, so
edges are smooth at any size; the three skins come from the same shapes, so
the mask matches the pictures exactly.
"""

import math
import os
import struct
import zlib

W, H = 240, 268
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")

# Control rectangles (left, top, right, bottom) of the face.
OPEN = (9, 146, 69, 185)
SETTINGS = (76, 149, 136, 188)
PLAY = (79, 192, 139, 252)
STOP = (10, 193, 70, 253)
TEMPO_UP = (199, 144, 220, 164)
TEMPO_DOWN = (199, 164, 220, 184)
TRANSPOSE_UP = (199, 217, 220, 237)
TRANSPOSE_DOWN = (199, 237, 220, 257)
POSITION_THUMB = (10, 125, 30, 145)
VOLUME_THUMB = (208, 40, 228, 60)
METER = (10, 10, 200, 60)


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def hexc(s):
    return tuple(int(s[i:i + 2], 16) for i in (1, 3, 5))


# Signed distance functions: negative inside. Each returns (sdf, bounds).

def rrect(l, t, r, b, rad):
    cx, cy = (l + r) / 2.0, (t + b) / 2.0
    hx, hy = (r - l) / 2.0 - rad, (b - t) / 2.0 - rad

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - rad
    return f, (l, t, r, b)


def circle(cx, cy, rad):
    def f(x, y):
        return math.hypot(x - cx, y - cy) - rad
    return f, (cx - rad, cy - rad, cx + rad, cy + rad)


def polygon(points):
    """Convex polygon, points in clockwise order on screen."""
    edges = []
    n = len(points)
    for i in range(n):
        (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
        dx, dy = x1 - x0, y1 - y0
        ln = math.hypot(dx, dy)
        edges.append((x0, y0, dy / ln, -dx / ln))

    def f(x, y):
        return max((x - x0) * nx + (y - y0) * ny for x0, y0, nx, ny in edges)
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return f, (min(xs), min(ys), max(xs), max(ys))


def segment(x0, y0, x1, y1, rad):
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy

    def f(x, y):
        h = clamp(((x - x0) * dx + (y - y0) * dy) / ll) if ll else 0.0
        return math.hypot(x - x0 - dx * h, y - y0 - dy * h) - rad
    return f, (min(x0, x1) - rad, min(y0, y1) - rad, max(x0, x1) + rad, max(y0, y1) + rad)


def union(*shapes):
    fs = [s[0] for s in shapes]
    bs = [s[1] for s in shapes]
    return (lambda x, y: min(f(x, y) for f in fs),
            (min(b[0] for b in bs), min(b[1] for b in bs), max(b[2] for b in bs), max(b[3] for b in bs)))


def subtract(a, b):
    fa, fb = a[0], b[0]
    return (lambda x, y: max(fa(x, y), -fb(x, y)), a[1])


def offset(shape, d):
    f, (l, t, r, b) = shape
    return (lambda x, y: f(x, y) - d, (l - d, t - d, r + d, b + d))


def moved(shape, dx, dy):
    f, (l, t, r, b) = shape
    return (lambda x, y: f(x - dx, y - dy), (l + dx, t + dy, r + dx, b + dy))


class Canvas:
    def __init__(self, w, h, colour=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(colour) for _ in range(w * h)]

    def paint(self, shape, colour, alpha=1.0, soft=0.0, clip=None):
        """Blends colour (a tuple or a function of x, y) over the shape."""
        f, (l, t, r, b) = shape
        pad = soft + 1
        x0, y0 = max(0, int(math.floor(l - pad))), max(0, int(math.floor(t - pad)))
        x1, y1 = min(self.w, int(math.ceil(r + pad))), min(self.h, int(math.ceil(b + pad)))
        if clip:
            x0, y0, x1, y1 = max(x0, clip[0]), max(y0, clip[1]), min(x1, clip[2]), min(y1, clip[3])
        fn = callable(colour)
        for y in range(y0, y1):
            for x in range(x0, x1):
                d = f(x + 0.5, y + 0.5)
                if soft > 0:
                    cov = clamp((soft - d) / (2.0 * soft))
                    cov = cov * cov * (3 - 2 * cov)
                else:
                    cov = clamp(0.5 - d)
                a = cov * alpha
                if a <= 0:
                    continue
                c = colour(x + 0.5, y + 0.5) if fn else colour
                p = self.px[y * self.w + x]
                p[0] += (c[0] - p[0]) * a
                p[1] += (c[1] - p[1]) * a
                p[2] += (c[2] - p[2]) * a

    def fill_rect(self, rect, colour):
        l, t, r, b = rect
        for y in range(t, b):
            for x in range(l, r):
                self.px[y * self.w + x] = list(colour)


def vgrad(top, y0, bottom, y1):
    return lambda x, y: mix(top, bottom, clamp((y - y0) / float(y1 - y0)))


# ---------------------------------------------------------------- the face

BODY_TOP = hexc("#39404a")
BODY_BOTTOM = hexc("#1c2026")
EDGE_LIGHT = hexc("#5a6470")
GROOVE = hexc("#0c0e11")
LCD_TOP = hexc("#eef3f6")
LCD_BOTTOM = hexc("#d5dee5")
CAPTION_TOP = hexc("#c3cfd9")
CAPTION_BOTTOM = hexc("#b3c1cd")
ACCENT = hexc("#3cc6d8")


def body(c):
    # Brushed graphite: a vertical shade with faint horizontal grain.
    seed = 12345
    for y in range(H):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        grain = ((seed >> 16) % 7 - 3) * 0.8
        base = mix(BODY_TOP, BODY_BOTTOM, y / float(H - 1))
        for x in range(W):
            wave = math.sin((x * 0.9 + y * 0.15) * 0.35) * 0.6
            c.px[y * W + x] = [base[0] + grain + wave, base[1] + grain + wave, base[2] + grain + wave * 1.2]
    # A bevel around the whole face.
    outer = rrect(0, 0, W, H, 10)
    c.paint(subtract(outer, offset(outer, -1.2)), hexc("#0a0b0d"))
    c.paint(subtract(offset(outer, -1.2), offset(outer, -2.2)), EDGE_LIGHT, 0.55,
            clip=(0, 0, W, H // 2))


def inset_panel(c, rect, rad, fill, depth=1.5):
    """A recessed area: dark rim, light lower lip, filled face."""
    l, t, r, b = rect
    c.paint(moved(rrect(l - 1, t - 1, r + 1, b + 1, rad + 1), 0, 1), EDGE_LIGHT, 0.55)
    c.paint(rrect(l - 1, t - 1, r + 1, b + 1, rad + 1), GROOVE)
    c.paint(rrect(l, t, r, b, rad), fill)
    # Shadow cast by the upper rim into the panel.
    c.paint(subtract(rrect(l, t, r, b, rad), moved(rrect(l, t, r, b, rad), 0, depth)), (0, 0, 0), 0.25)


def meter_area(c):
    l, t, r, b = METER
    inset_panel(c, (l - 3, t - 3, r + 3, b + 3), 5, hexc("#101317"))
    c.fill_rect(METER, (0, 0, 0))


def readouts(c):
    for l, r in ((10, 117), (120, 230)):
        inset_panel(c, (l - 1, 68, r + 1, 115), 4, vgrad(LCD_TOP, 84, LCD_BOTTOM, 115))
        c.paint(rrect(l, 68, r, 84, 3), vgrad(CAPTION_TOP, 68, CAPTION_BOTTOM, 84))
        c.paint(rrect(l + 2, 84, r - 2, 85, 0), hexc("#9aa8b4"))


def position_track(c):
    # The groove from (20, 135) to (108, 135) with scale marks above it.
    for i in range(11):
        x = 20 + 88 * i / 10.0
        top = 118.5 if i % 5 == 0 else 120.5
        c.paint(segment(x, top, x, 123, 0.55), hexc("#9aa6b2"), 0.85)
    c.paint(segment(20, 136.2, 108, 136.2, 3.2), EDGE_LIGHT, 0.5)
    c.paint(segment(20, 135.5, 108, 135.5, 3), GROOVE)
    c.paint(segment(20, 135.5, 108, 135.5, 1.0), ACCENT, 0.45)


def volume_track(c):
    # The groove from (218, 55) up to (218, 15) and a wedge that grows
    # towards the loud end.
    c.paint(segment(219.2, 15, 219.2, 55, 3.2), EDGE_LIGHT, 0.5)
    c.paint(segment(218.5, 15, 218.5, 55, 3), GROOVE)
    c.paint(segment(218.5, 15, 218.5, 55, 1.0), ACCENT, 0.45)
    c.paint(polygon([(231, 56), (231, 14), (236, 14)]), vgrad(ACCENT, 14, hexc("#1d5560"), 56), 0.9)


def group_frame(c, rect):
    l, t, r, b = rect
    f = rrect(l, t, r, b, 7)
    c.paint(moved(f, 0, 1.5), (0, 0, 0), 0.35, soft=1.5)
    c.paint(f, vgrad(hexc("#3b424c"), t, hexc("#272c33"), b))
    c.paint(subtract(f, moved(f, 0, 1)), EDGE_LIGHT, 0.7)


def value_group(c, top):
    """Caption strip, value window and the button bed of tempo or transpose."""
    group_frame(c, (144, top - 4, 234, top + 60))
    c.paint(rrect(147, top - 1, 231, top + 15, 4), vgrad(CAPTION_TOP, top, CAPTION_BOTTOM, top + 15))
    inset_panel(c, (155, top + 20, 198, top + 55), 4, vgrad(LCD_TOP, top + 20, LCD_BOTTOM, top + 55))


def round_well(c, cx, cy, rad):
    c.paint(circle(cx, cy + 0.8, rad + 2.5), EDGE_LIGHT, 0.45)
    c.paint(circle(cx, cy, rad + 2.5), hexc("#121418"))


def button_body(c, shape, pressed, hue):
    """A glossy key; pressed keys sink and take the hue of their symbol."""
    f, (l, t, r, b) = shape
    c.paint(moved(shape, 0, 1.6), (0, 0, 0), 0.5, soft=1.6)
    c.paint(shape, hexc("#0b0c0f"))
    inner = offset(shape, -1)
    if not pressed:
        c.paint(inner, vgrad(hexc("#5a6370"), t, hexc("#262b33"), b))
        gloss = subtract(inner, moved(offset(shape, 4), 0, (b - t) * 0.55))
        c.paint(gloss, (255, 255, 255), 0.10)
        c.paint(subtract(inner, moved(inner, 0, 1.2)), hexc("#8a95a3"), 0.8)
    else:
        c.paint(inner, vgrad(hexc("#181b20"), t, mix(hexc("#2c323a"), hue, 0.25), b))
        c.paint(subtract(inner, moved(inner, 0, 2.5)), (0, 0, 0), 0.45)
        c.paint(offset(shape, -3), hue, 0.10, soft=3)


def symbol(c, shape, colour, pressed):
    dy = 1 if pressed else 0
    s = moved(shape, 0, dy)
    if pressed:
        c.paint(offset(s, 1.5), colour, 0.35, soft=2.0)
        c.paint(s, mix(colour, (255, 255, 255), 0.35))
    else:
        c.paint(moved(s, 0, -1), (0, 0, 0), 0.5)
        c.paint(s, colour)


def eject_icon(cx, cy):
    tri = polygon([(cx, cy - 10), (cx + 11, cy + 1), (cx - 11, cy + 1)])
    bar = rrect(cx - 11, cy + 4, cx + 11, cy + 8, 1)
    return union(tri, bar)


def gear_icon(cx, cy):
    teeth = []
    for i in range(8):
        a = i * math.pi / 4
        teeth.append(segment(cx + math.cos(a) * 6, cy + math.sin(a) * 6,
                             cx + math.cos(a) * 10.5, cy + math.sin(a) * 10.5, 2.2))
    wheel = union(circle(cx, cy, 8), *teeth)
    return subtract(wheel, circle(cx, cy, 3.4))


def arrow(cx, cy, up):
    if up:
        return polygon([(cx, cy - 4.5), (cx + 5.5, cy + 3), (cx - 5.5, cy + 3)])
    return polygon([(cx - 5.5, cy - 3), (cx + 5.5, cy - 3), (cx, cy + 4.5)])


def button_shapes():
    """(shape, rectangle, symbol, colour) of every button."""
    white = hexc("#e9eef3")
    cyan = ACCENT
    pill = lambda r: rrect(r[0] + 1, r[1] + 1, r[2] - 1, r[3] - 1, 11)
    key = lambda r, top, bottom: rrect(r[0] + 1, r[1] + top, r[2] - 1, r[3] - bottom, 5)
    cx = lambda r: (r[0] + r[2]) / 2.0
    cy = lambda r: (r[1] + r[3]) / 2.0
    return [
        (pill(OPEN), OPEN, eject_icon(cx(OPEN), cy(OPEN)), hexc("#ffb347")),
        (pill(SETTINGS), SETTINGS, gear_icon(cx(SETTINGS), cy(SETTINGS)), white),
        (circle(cx(PLAY), cy(PLAY), 28.5), PLAY,
         polygon([(cx(PLAY) - 7, cy(PLAY) - 13), (cx(PLAY) + 14, cy(PLAY)), (cx(PLAY) - 7, cy(PLAY) + 13)]),
         hexc("#5ee06a")),
        (circle(cx(STOP), cy(STOP), 28.5), STOP,
         rrect(cx(STOP) - 10, cy(STOP) - 10, cx(STOP) + 10, cy(STOP) + 10, 2.5), hexc("#ff5d52")),
        (key(TEMPO_UP, 1, 0.5), TEMPO_UP, arrow(cx(TEMPO_UP), cy(TEMPO_UP) + 0.2, True), cyan),
        (key(TEMPO_DOWN, 0.5, 1), TEMPO_DOWN, arrow(cx(TEMPO_DOWN), cy(TEMPO_DOWN) - 0.2, False), cyan),
        (key(TRANSPOSE_UP, 1, 0.5), TRANSPOSE_UP, arrow(cx(TRANSPOSE_UP), cy(TRANSPOSE_UP) + 0.2, True), cyan),
        (key(TRANSPOSE_DOWN, 0.5, 1), TRANSPOSE_DOWN,
         arrow(cx(TRANSPOSE_DOWN), cy(TRANSPOSE_DOWN) - 0.2, False), cyan),
    ]


def thumb_shapes():
    return [(circle(20.0, 135.0, 9.3), POSITION_THUMB), (circle(218.0, 50.0, 9.3), VOLUME_THUMB)]


def thumb(c, shape):
    f, (l, t, r, b) = shape
    cx, cy = (l + r) / 2.0, (t + b) / 2.0
    c.paint(moved(shape, 0, 1.5), (0, 0, 0), 0.55, soft=1.5)
    c.paint(shape, hexc("#15181c"))

    def metal(x, y):
        # A brushed knob lit from the upper left.
        a = math.atan2(y - cy, x - cx)
        k = 0.5 + 0.5 * math.cos(2 * (a + 0.8))
        return mix(hexc("#7d8793"), hexc("#dfe5ea"), k)
    c.paint(offset(shape, -1), metal)
    c.paint(circle(cx, cy, 3.6), hexc("#2a3038"))
    c.paint(circle(cx, cy, 2.4), ACCENT)


GLYPHS = {
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    " ": ["00000"] * 7,
}


def wordmark(c, text, left, top):
    """Small engraved capitals under the transport buttons."""
    x = left
    for ch in text:
        colour = ACCENT if ch in "CE" and text.index(" ") < text.index(ch) else hexc("#9aa6b2")
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    px, py = x + col, top + row
                    c.paint(rrect(px, py - 1, px + 1, py, 0), (0, 0, 0), 0.35)
                    c.paint(rrect(px, py, px + 1, py + 1, 0), colour, 0.85)
        x += 6


def face(pressed):
    c = Canvas(W, H)
    body(c)
    meter_area(c)
    volume_track(c)
    readouts(c)
    position_track(c)
    value_group(c, 128)
    value_group(c, 202)
    round_well(c, 40, 223, 28.5)
    round_well(c, 109, 222, 28.5)
    wordmark(c, "TABRINO CE", 45, 258)
    for shape, rect, icon, colour in button_shapes():
        button_body(c, shape, pressed, colour)
        symbol(c, icon, colour, pressed)
    if pressed:
        for shape, rect in thumb_shapes():
            thumb(c, shape)
    c.fill_rect(METER, (0, 0, 0))
    return c


def mask():
    c = Canvas(W, H, (255, 255, 255))
    for shape, rect in [(s[0], s[1]) for s in button_shapes()] + thumb_shapes():
        f = shape[0]
        l, t, r, b = rect
        for y in range(t, b):
            for x in range(l, r):
                if f(x + 0.5, y + 0.5) <= 0:
                    c.px[y * W + x] = [0, 0, 0]
    return c


# ----------------------------------------------------------- palette, files

def quantise(c, reserved):
    """Median cut to 256 colours; reserved colours are kept exactly."""
    pixels = [tuple(int(round(clamp(v, 0, 255))) for v in p) for p in c.px]
    counts = {}
    for p in pixels:
        counts[p] = counts.get(p, 0) + 1
    free = 256 - len(reserved)
    boxes = [[p for p in counts if p not in reserved]]
    while len(boxes) < free:
        boxes.sort(key=lambda bx: -sum(counts[p] for p in bx) * spread(bx)[0] if len(bx) > 1 else 0)
        bx = boxes[0]
        if len(bx) < 2:
            break
        _, ch = spread(bx)
        bx.sort(key=lambda p: p[ch])
        total = sum(counts[p] for p in bx)
        run, cut = 0, 1
        for i, p in enumerate(bx):
            run += counts[p]
            if run * 2 >= total:
                cut = max(1, min(len(bx) - 1, i + 1))
                break
        boxes[0:1] = [bx[:cut], bx[cut:]]
    palette = list(reserved)
    for bx in boxes:
        if not bx:
            continue
        n = sum(counts[p] for p in bx)
        palette.append(tuple(int(round(sum(p[i] * counts[p] for p in bx) / float(n))) for i in range(3)))
    while len(palette) < 256:
        palette.append((0, 0, 0))
    lookup = {}
    for p in counts:
        if p in reserved:
            lookup[p] = palette.index(p)
            continue
        best, bi = None, 0
        for i, q in enumerate(palette):
            d = (p[0] - q[0]) ** 2 * 3 + (p[1] - q[1]) ** 2 * 4 + (p[2] - q[2]) ** 2 * 2
            if best is None or d < best:
                best, bi = d, i
        lookup[p] = bi
    return palette, [lookup[p] for p in pixels]


def spread(bx):
    best, ch = -1, 0
    for i in range(3):
        vs = [p[i] for p in bx]
        s = max(vs) - min(vs)
        if s > best:
            best, ch = s, i
    return best, ch


def write_bmp8(path, w, h, palette, indices):
    stride = (w + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytes(indices[y * w:(y + 1) * w])
        data += row + b"\0" * (stride - w)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset_bits = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset_bits + len(data), 0, 0, offset_bits)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + pal + data)


def write_png(path, w, h, rgba):
    raw = b"".join(b"\0" + bytes(rgba[y * w * 4:(y + 1) * w * 4]) for y in range(h))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def icon(size=64):
    """A dark rounded key with a green play symbol and three level bars."""
    s = size / 64.0
    c = Canvas(size, size, (0, 0, 0))
    cover = [0.0] * (size * size)
    plate = rrect(2 * s, 2 * s, 62 * s, 62 * s, 13 * s)
    for y in range(size):
        for x in range(size):
            cover[y * size + x] = clamp(0.5 - plate[0](x + 0.5, y + 0.5))
    c.paint(plate, vgrad(hexc("#4a525d"), 0, hexc("#1c2026"), size))
    c.paint(subtract(plate, moved(plate, 0, 1.5 * s)), hexc("#8a95a3"), 0.8)
    c.paint(polygon([(12 * s, 16 * s), (36 * s, 32 * s), (12 * s, 48 * s)]), hexc("#5ee06a"))
    for i, top in enumerate((30, 22, 14)):
        x = (40 + i * 7) * s
        c.paint(rrect(x, top * s, x + 5 * s, 48 * s, 1 * s), vgrad(hexc("#ff5d52"), top * s, ACCENT, 48 * s))
    rgba = bytearray()
    for i, p in enumerate(c.px):
        rgba += bytes(int(round(clamp(v, 0, 255))) for v in p) + bytes([int(round(cover[i] * 255))])
    return rgba


def main():
    black, white = (0, 0, 0), (255, 255, 255)
    for name, pressed in (("skin-normal.bmp", False), ("skin-pressed.bmp", True)):
        palette, indices = quantise(face(pressed), [black, white])
        write_bmp8(os.path.join(ROOT, name), W, H, palette, indices)
    m = mask()
    write_bmp8(os.path.join(ROOT, "skin-mask.bmp"), W, H, [black, white] + [black] * 254,
               [0 if p[0] < 128 else 1 for p in m.px])
    write_png(os.path.join(ROOT, "tabrino.png"), 64, 64, icon(64))


if __name__ == "__main__":
    main()
