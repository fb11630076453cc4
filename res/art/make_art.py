#!/usr/bin/env python3
"""Draws Quorvel's skin bitmaps and icon.

Every shape is a signed distance field rasterised at pixel centres, which gives smooth edges
between painted colours. The colour key (pure green) is never blended: a pixel that is still
transparent takes a shape's colour only when the shape covers at least half of it, so every
edge against the key is hard and no half-green fringe can appear.

Each drawing is made at 100 % and again at 125, 150, 175 and 200 % for displays that scale:
the same shapes sampled on a finer grid, with the same hard edges against the key. Lengths
scale by their edges, rounded to the nearest pixel with halves away from zero, as the program
places them. The sets of 125 % and up are written to subfolders named after their scale.

Usage: python3 make_art.py [output folder]   (default: the folder of this script)
       python3 make_art.py --check            (fails if the committed files are stale)
"""

import filecmp
import math
import os
import struct
import sys
import tempfile

KEY = (0, 255, 0)
NEAR_KEY = (0, 254, 0)


def clamp(v, lo, hi):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def brighten(c, t):
    """Lighter and livelier: scales the channels up, then lifts a little toward white."""
    scaled = tuple(min(255.0, v * (1.0 + t)) for v in c)
    return mix(scaled, (255, 255, 255), t * 0.35)


# ---------------------------------------------------------------------------------------------
# Shapes: a distance function (negative inside) and a bounding box that limits the work.


class Shape:
    def __init__(self, dist, bbox):
        self.dist = dist
        self.bbox = bbox

    def __or__(self, other):
        a, b = self.dist, other.dist
        return Shape(lambda x, y: min(a(x, y), b(x, y)), _bbox_union(self.bbox, other.bbox))

    def __and__(self, other):
        a, b = self.dist, other.dist
        return Shape(lambda x, y: max(a(x, y), b(x, y)), _bbox_meet(self.bbox, other.bbox))

    def grown(self, r):
        d = self.dist
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: d(x, y) - r, (x0 - r, y0 - r, x1 + r, y1 + r))

    def shell(self, inner, outer):
        """The band of this shape whose inside depth lies between inner and outer pixels."""
        d = self.dist
        return Shape(lambda x, y: max(d(x, y) + inner, -(d(x, y) + outer)), self.bbox)


def _bbox_union(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def _bbox_meet(a, b):
    return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))


def rbox(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def dist(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r

    return Shape(dist, (x0, y0, x1, y1))


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ring(cx, cy, r, width):
    return Shape(lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2,
                 (cx - r - width, cy - r - width, cx + r + width, cy + r + width))


def _segment_distance(x, y, ax, ay, bx, by):
    ex, ey = bx - ax, by - ay
    length2 = ex * ex + ey * ey
    t = 0.0 if length2 == 0 else clamp(((x - ax) * ex + (y - ay) * ey) / length2, 0.0, 1.0)
    return math.hypot(x - ax - ex * t, y - ay - ey * t)


def polyline(points, width):
    segments = list(zip(points, points[1:]))

    def dist(x, y):
        return min(_segment_distance(x, y, a[0], a[1], b[0], b[1]) for a, b in segments) - width / 2

    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return Shape(dist, (min(xs) - width, min(ys) - width, max(xs) + width, max(ys) + width))


def line(ax, ay, bx, by, width):
    return polyline([(ax, ay), (bx, by)], width)


def arc(cx, cy, r, start_deg, end_deg, width, steps=24):
    points = []
    for i in range(steps + 1):
        a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polyline(points, width)


def polygon(points):
    n = len(points)

    def dist(x, y):
        best = (x - points[0][0]) ** 2 + (y - points[0][1]) ** 2
        sign = 1.0
        j = n - 1
        for i in range(n):
            px, py = points[i]
            ex, ey = points[j][0] - px, points[j][1] - py
            wx, wy = x - px, y - py
            t = clamp((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0, 1.0)
            bx, by = wx - ex * t, wy - ey * t
            best = min(best, bx * bx + by * by)
            c1, c2, c3 = y >= py, y < points[j][1], ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                sign = -sign
            j = i
        return sign * math.sqrt(best)

    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return Shape(dist, (min(xs), min(ys), max(xs), max(ys)))


# ---------------------------------------------------------------------------------------------
# Paints


def vgrad(y0, c0, y1, c1):
    return lambda x, y: mix(c0, c1, clamp((y - y0) / (y1 - y0), 0.0, 1.0))


def vstops(stops):
    """Vertical gradient through (y, colour) stops in increasing y."""

    def paint(x, y):
        if y <= stops[0][0]:
            return stops[0][1]
        for (ya, ca), (yb, cb) in zip(stops, stops[1:]):
            if y <= yb:
                return mix(ca, cb, (y - ya) / (yb - ya))
        return stops[-1][1]

    return paint


def radial(cx, cy, r, c0, c1):
    return lambda x, y: mix(c0, c1, clamp(math.hypot(x - cx, y - cy) / r, 0.0, 1.0))


# ---------------------------------------------------------------------------------------------
# Canvas


SCALES = (100, 125, 150, 175, 200)
# The drawing being made is at this percentage; shapes and paints stay in 100 % units.
percent = 100


def scaled(length, at=None):
    """A 100 % length (a whole number) at a scale, to the nearest pixel, halves away from 0."""
    v = length * (percent if at is None else at)
    return (abs(v) + 50) // 100 * (1 if v >= 0 else -1)


class Canvas:
    def __init__(self, width, height):
        self.scale = percent / 100
        self.width, self.height = scaled(width), scaled(height)
        self.pixels = [[None] * self.width for _ in range(self.height)]  # None is the colour key

    def paint(self, shape, colour, opacity=1.0):
        s = self.scale
        x0, y0, x1, y1 = shape.bbox
        xa, xb = max(0, int(math.floor(x0 * s)) - 1), min(self.width, int(math.ceil(x1 * s)) + 1)
        ya, yb = max(0, int(math.floor(y0 * s)) - 1), min(self.height, int(math.ceil(y1 * s)) + 1)
        dist = shape.dist
        for y in range(ya, yb):
            row = self.pixels[y]
            cy = (y + 0.5) / s
            for x in range(xa, xb):
                cx = (x + 0.5) / s
                # The distance is in 100 % pixels; the cover is of a pixel of this scale.
                cover = 0.5 - dist(cx, cy) * s
                if cover <= 0.0:
                    continue
                cover = min(cover, 1.0)
                c = colour(cx, cy) if callable(colour) else colour
                if row[x] is None:
                    # Against the key only whole pixels: blending would leave a green fringe.
                    if cover >= 0.5 and opacity >= 1.0:
                        row[x] = c
                else:
                    row[x] = mix(row[x], c, cover * opacity)

    def crop(self, x, y, width, height):
        """The part between the scaled edges of a 100 % rectangle."""
        left, top, right, bottom = scaled(x), scaled(y), scaled(x + width), scaled(y + height)
        part = Canvas(0, 0)
        part.width, part.height = right - left, bottom - top
        part.pixels = [row[left:right] for row in self.pixels[top:bottom]]
        return part

    def rows(self):
        """Final 8-bit pixels: the key where transparent, and never the key colour elsewhere."""
        out = []
        for row in self.pixels:
            line_out = []
            for p in row:
                if p is None:
                    line_out.append(KEY)
                    continue
                c = tuple(int(clamp(round(v), 0, 255)) for v in p)
                line_out.append(NEAR_KEY if c == KEY else c)
            out.append(line_out)
        return out


# ---------------------------------------------------------------------------------------------
# File writers


def write_bmp(path, canvas):
    rows = canvas.rows()
    w, h = canvas.width, canvas.height
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line_bytes = bytearray()
        for r, g, b in row:
            line_bytes += bytes((b, g, r))
        line_bytes += b"\0" * (stride - w * 3)
        data += line_bytes
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_bmp8(path, canvas, palette):
    """The same picture with a colour table: a third of the memory once loaded."""
    rows = canvas.rows()
    w, h = canvas.width, canvas.height
    index = {c: i for i, c in enumerate(palette)}
    stride = (w + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        data += bytes(index[c] for c in row) + b"\0" * (stride - w)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(data), 2835, 2835, len(palette),
                       len(palette))
    with open(path, "wb") as f:
        f.write(header + info + table + data)


def write_scaled_bmp(path, canvas, name):
    """A scaled picture of at most 256 colours is written with a colour table, but for those the
    program draws text into."""
    palette = sorted({c for row in canvas.rows() for c in row})
    if len(palette) <= 256 and name not in DRAWN_ON:
        write_bmp8(path, canvas, palette)
    else:
        write_bmp(path, canvas)


def write_ico(path, images):
    """images: list of (size, rows of (r, g, b, a))."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for size, rgba in images:
        blob = bytearray(struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0))
        for row in reversed(rgba):
            for r, g, b, a in row:
                blob += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        for row in reversed(rgba):
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            blob += bits
        entries.append(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob),
                                   offset))
        offset += len(blob)
        blobs.append(bytes(blob))
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs))


# ---------------------------------------------------------------------------------------------
# Shared look: dark glossy chrome, as on the bar.

CHROME_STOPS = [(0.0, (98, 103, 114)), (7.5, (62, 66, 75)), (8.5, (46, 49, 56)),
                (18.0, (27, 29, 33))]
OUTLINE = (8, 9, 11)


def glossy(y0, y1, top=(98, 103, 114), mid_hi=(62, 66, 75), mid_lo=(46, 49, 56),
           bottom=(27, 29, 33)):
    half = y0 + (y1 - y0) * 0.45
    return vstops([(y0, top), (half, mid_hi), (half + 1.0, mid_lo), (y1, bottom)])


def magnifier(canvas, cx, cy, r, width, handle_len, colour, lens=None):
    if lens is not None:
        canvas.paint(circle(cx, cy, r), lens)
    canvas.paint(ring(cx, cy, r, width), colour)
    k = (r + width * 0.3) / math.sqrt(2)
    canvas.paint(line(cx + k, cy + k, cx + k + handle_len, cy + k + handle_len, width * 1.45),
                 colour)


def cross(canvas, cx, cy, arm, width, colour):
    canvas.paint(line(cx - arm, cy - arm, cx + arm, cy + arm, width), colour)
    canvas.paint(line(cx - arm, cy + arm, cx + arm, cy - arm, width), colour)


def red_close_button(canvas, cx, cy, r):
    canvas.paint(circle(cx, cy, r), (92, 10, 8))
    canvas.paint(circle(cx, cy, r - 1.0), radial(cx - r * 0.3, cy - r * 0.4, r * 1.6,
                                                 (255, 120, 100), (196, 24, 16)))
    cross(canvas, cx, cy, r * 0.36, max(1.4, r * 0.22), (255, 255, 255))


# ---------------------------------------------------------------------------------------------
# The bar, bitmap 138, and its highlight images.

BAR_W, BAR_H = 235, 18


def bar_plate(canvas, x0, x1, on):
    if on:
        plate = rbox(x0, 1.0, x1, 17.0, 3.0)
        canvas.paint(plate, vgrad(1, (255, 255, 255), 17, (150, 190, 255)), 0.2)
        canvas.paint(plate.shell(0.0, 1.0), (255, 255, 255), 0.18)


def bar_feed_icon(canvas, lit):
    bar_plate(canvas, 0.5, 15.5, lit)
    b = 0.22 if lit else 0.0
    box = rbox(2.0, 2.5, 13.0, 13.5, 2.6)
    canvas.paint(box, brighten((120, 48, 6), b))
    canvas.paint(rbox(2.8, 3.3, 12.2, 12.7, 2.0),
                 vgrad(3, brighten((255, 178, 84), b), 13, brighten((234, 104, 18), b)))
    white = (255, 255, 255)
    canvas.paint(circle(5.0, 10.9, 1.25), white)
    canvas.paint(arc(4.2, 11.6, 4.1, -90, 0, 1.35, 10), white)
    canvas.paint(arc(4.2, 11.6, 6.9, -90, 0, 1.35, 14), white)


def bar_round_button(canvas, stop, lit):
    bar_plate(canvas, 16.0, 30.0, lit)
    cx, cy, r = 22.5, 8.5, 6.4
    b = 0.25 if lit else 0.0
    canvas.paint(circle(cx, cy, r), brighten((10, 36, 82), b * 0.5))
    canvas.paint(circle(cx, cy, r - 0.9), radial(cx - 1.6, cy - 2.6, 8.5,
                                                 brighten((132, 200, 255), b),
                                                 brighten((22, 92, 196), b)))
    canvas.paint(rbox(cx - 3.6, cy - 5.0, cx + 3.6, cy - 1.2, 1.9), (255, 255, 255), 0.28)
    glyph = (255, 255, 255)
    if stop:
        canvas.paint(rbox(cx - 2.3, cy - 2.3, cx + 2.3, cy + 2.3, 0.6), glyph)
    else:
        canvas.paint(polygon([(cx - 1.7, cy - 3.2), (cx + 3.2, cy), (cx - 1.7, cy + 3.2)]), glyph)


def bar_tv_icon(canvas, lit):
    bar_plate(canvas, 30.5, 48.5, lit)
    b = 0.25 if lit else 0.0
    silver = brighten((200, 205, 214), b)
    canvas.paint(line(39.5, 4.6, 36.6, 1.4, 1.1), silver)
    canvas.paint(line(39.5, 4.6, 42.8, 1.2, 1.1), silver)
    canvas.paint(rbox(37.0, 13.4, 42.0, 15.4, 0.6), brighten((150, 155, 165), b))
    canvas.paint(rbox(32.5, 4.2, 46.5, 14.0, 2.0), brighten((20, 22, 26), b * 0.5))
    canvas.paint(rbox(33.3, 5.0, 45.7, 13.2, 1.5),
                 vgrad(5, silver, 13, brighten((128, 133, 144), b)))
    screen = rbox(34.6, 6.2, 44.4, 12.0, 1.0)
    canvas.paint(screen, vgrad(6, brighten((74, 128, 206), b), 12, brighten((16, 34, 78), b)))
    canvas.paint(polygon([(34.6, 6.2), (41.0, 6.2), (36.5, 10.0), (34.6, 10.0)]) & screen,
                 (255, 255, 255), 0.22)


def bar_web_magnifier(canvas, lit):
    bar_plate(canvas, 199.5, 217.5, lit)
    b = 0.3 if lit else 0.0
    magnifier(canvas, 207.6, 7.2, 3.7, 1.7, 3.6, brighten((228, 232, 240), b),
              lens=brighten((120, 150, 190), b))
    canvas.paint(circle(206.6, 6.2, 1.2), (255, 255, 255), 0.55)


def bar_video_magnifier(canvas, lit):
    bar_plate(canvas, 218.5, 233.5, lit)
    b = 0.3 if lit else 0.0
    magnifier(canvas, 224.6, 7.2, 3.7, 1.7, 3.6, brighten((232, 48, 40), b),
              lens=brighten((150, 40, 40), b))
    canvas.paint(polygon([(223.6, 5.5), (226.4, 7.2), (223.6, 8.9)]), brighten((255, 220, 215), b))


def bar_cells(canvas):
    cells = rbox(51.0, 1.0, 198.0, 17.0, 2.5)
    canvas.paint(cells, vgrad(1, (4, 5, 6), 17, (17, 18, 21)))
    canvas.paint(cells.shell(0.0, 1.0), (0, 0, 0), 0.8)
    canvas.paint(rbox(50.0, 2.0, 51.0, 16.0), (118, 124, 136))
    for x in (76, 117):
        canvas.paint(rbox(x, 2.0, x + 1.0, 16.0), (66, 70, 80))


def draw_bar(lit=(), stop=False):
    canvas = Canvas(BAR_W, BAR_H)
    body = rbox(0.0, -10.0, BAR_W, BAR_H, 5.0)
    canvas.paint(body, OUTLINE)
    canvas.paint(body.grown(-1.0), vstops(CHROME_STOPS))
    canvas.paint(rbox(1.0, 0.0, BAR_W - 1.0, 1.0), (140, 146, 158), 0.5)
    bar_cells(canvas)
    bar_feed_icon(canvas, "news" in lit)
    bar_round_button(canvas, stop, "play" in lit)
    bar_tv_icon(canvas, "player" in lit)
    bar_web_magnifier(canvas, "web" in lit)
    bar_video_magnifier(canvas, "video" in lit)
    return canvas


def bar_images():
    every = ("news", "play", "player", "web", "video")
    lit = draw_bar(lit=every)
    stop = draw_bar(stop=True)
    stop_lit = draw_bar(lit=every, stop=True)
    return {
        "bar_skin.bmp": draw_bar(),
        "bar_news_hover.bmp": lit.crop(0, 0, 16, 18),
        "bar_play_hover.bmp": lit.crop(16, 0, 14, 18),
        "bar_stop.bmp": stop.crop(16, 0, 14, 18),
        "bar_stop_hover.bmp": stop_lit.crop(16, 0, 14, 18),
        "bar_player_hover.bmp": lit.crop(30, 0, 19, 18),
        "bar_web_search_hover.bmp": lit.crop(199, 0, 19, 18),
        "bar_video_search_hover.bmp": lit.crop(218, 0, 17, 18),
    }


# ---------------------------------------------------------------------------------------------
# Information balloon: bitmaps 163 (top), 165 (middle band), 164 (bottom).

CREAM = (255, 255, 225)
BALLOON_W = 245


def draw_balloon(height):
    canvas = Canvas(BALLOON_W, height)
    body = rbox(0.0, 15.0, BALLOON_W, height, 7.0)
    # The pointer reaches well into the body so that no outline crosses its base.
    pointer = polygon([(30.5, -1.6), (44.0, 24.0), (17.0, 24.0)])
    outline = body | pointer
    canvas.paint(outline, (0, 0, 0))
    canvas.paint(outline.grown(-1.0), CREAM)
    return canvas


def balloon_images():
    canvas = draw_balloon(120)
    return {
        "balloon_top.bmp": canvas.crop(0, 0, BALLOON_W, 28),
        "balloon_middle.bmp": canvas.crop(0, 50, BALLOON_W, 14),
        "balloon_bottom.bmp": canvas.crop(0, 120 - 28, BALLOON_W, 28),
    }


# ---------------------------------------------------------------------------------------------
# Player frame, bitmap 219.


def player_frame():
    canvas = Canvas(341, 311)
    # Pointer: vertical side on column 40, rows 0-14, reaching column 64 on row 14; it runs on
    # into the border so that the two read as one shape.
    pointer = polygon([(40.0, -0.5), (40.0 + 20.5 * 25.0 / 15.0, 20.0), (40.0, 20.0)])
    outline = rbox(0.0, 15.0, 334.0, 298.0, 10.0) | pointer
    canvas.paint(outline, CREAM)
    canvas.paint(outline.shell(0.0, 1.0), (222, 222, 190), 0.6)
    canvas.paint(rbox(4.0, 19.0, 330.0, 294.0, 6.0), (0, 0, 0))
    return {"player_frame.bmp": canvas}


# ---------------------------------------------------------------------------------------------
# Playlist panel, bitmap 139.


def panel_border(depth):
    """Dark grey to black border colour by depth from the outer edge."""
    return mix((0, 0, 0), (92, 94, 100), clamp(depth / 3.5, 0.0, 1.0))


def depth_paint(shape):
    return lambda x, y: panel_border(-shape.dist(x, y))


def playlist_panel():
    w, h = 186, 192
    canvas = Canvas(w, h)
    outer = rbox(0.0, -20.0, w, h, 9.0)
    canvas.paint(outer, depth_paint(outer))
    inner = outer.grown(-4.0)
    canvas.paint(inner, (255, 255, 255))
    strip = inner & rbox(0.0, 156.0, w, h)
    canvas.paint(strip, vgrad(156, (246, 247, 249), 188, (222, 224, 229)))
    canvas.paint(rbox(4.0, 156.0, w - 4.0, 157.0), (206, 208, 214))
    # Next-page mark and the video site's logo: x 12-38, y 161-175.
    for x in (21.0, 25.5):
        canvas.paint(polyline([(x, 160.9), (x + 2.6, 163.3), (x, 165.7)], 1.4), (128, 130, 138))
    canvas.paint(rbox(13.0, 167.0, 38.0, 176.0, 3.2), (140, 14, 12))
    canvas.paint(rbox(13.8, 167.8, 37.2, 175.2, 2.6), vgrad(168, (246, 72, 56), 175, (200, 20, 16)))
    canvas.paint(polygon([(23.3, 168.9), (28.8, 171.5), (23.3, 174.1)]), (255, 255, 255))
    # Query field behind the search-mode edit box (47, 161, 104 x 16).
    field = rbox(44.0, 158.5, 155.0, 179.5, 6.0)
    canvas.paint(field, (150, 154, 164))
    canvas.paint(field.grown(-1.0), vgrad(159, (236, 238, 242), 163, (255, 255, 255)))
    # Search button: x 158-175, y 161-178.
    magnifier(canvas, 164.8, 167.6, 4.3, 1.9, 4.2, (112, 116, 126), lens=(236, 238, 244))
    return {"playlist_skin.bmp": canvas}


# ---------------------------------------------------------------------------------------------
# Web search box, bitmaps 142 and 147.


def meridian(cx, cy, rx, ry, width):
    """Outline of an upright ellipse; the distance is scaled, close enough for thin lines."""
    k = rx / ry
    return Shape(lambda x, y: abs(math.hypot((x - cx) / k, y - cy) - ry) * k - width / 2,
                 (cx - rx - width, cy - ry - width, cx + rx + width, cy + ry + width))


def globe(canvas, cx, cy, r):
    canvas.paint(circle(cx, cy, r), (10, 40, 90))
    canvas.paint(circle(cx, cy, r - 1.0), radial(cx - r * 0.35, cy - r * 0.4, r * 1.7,
                                                 (120, 200, 255), (20, 90, 190)))
    lines = (160, 220, 255)
    inside = circle(cx, cy, r - 1.3)
    canvas.paint(meridian(cx, cy, 0.42 * (r - 1.3), r - 1.3, 1.1) & inside, lines, 0.9)
    canvas.paint(rbox(cx - 0.55, cy - r, cx + 0.55, cy + r) & inside, lines, 0.9)
    for dy in (-r * 0.45, 0.0, r * 0.45):
        canvas.paint(rbox(cx - r, cy + dy - 0.55, cx + r, cy + dy + 0.55) & inside, lines, 0.9)
    canvas.paint(circle(cx - r * 0.35, cy - r * 0.45, r * 0.35), (255, 255, 255), 0.25)


def search_box(lit):
    canvas = Canvas(378, 53)
    bar = rbox(0.0, 13.0, 371.0, 53.0, 13.0)
    canvas.paint(bar, OUTLINE)
    canvas.paint(bar.grown(-1.0), glossy(14.0, 52.0))
    canvas.paint(rbox(10.0, 14.0, 361.0, 15.0), (150, 156, 168), 0.45)
    globe(canvas, 37.0, 34.0, 12.0)
    field = rbox(69.0, 23.5, 321.0, 46.5, 9.0)
    canvas.paint(field, (6, 6, 8))
    canvas.paint(field.grown(-1.0), vgrad(24.5, (214, 216, 222), 29.0, (255, 255, 255)))
    button = circle(339.5, 34.5, 12.0)
    if lit:
        canvas.paint(button, (8, 40, 110))
        canvas.paint(button.grown(-1.0), radial(336.0, 29.0, 18.0, (130, 200, 255), (26, 104, 226)))
    else:
        canvas.paint(button, (14, 15, 18))
        canvas.paint(button.grown(-1.0), vgrad(23, (96, 101, 112), 46, (46, 49, 56)))
    canvas.paint(rbox(331.0, 23.6, 348.0, 30.0, 3.2), (255, 255, 255), 0.16)
    magnifier(canvas, 337.6, 32.6, 4.6, 2.0, 4.4, (255, 255, 255) if lit else (230, 233, 240))
    red_close_button(canvas, 363.5, 13.5, 8.3)
    return canvas


def search_images():
    return {
        "search_skin.bmp": search_box(False),
        "search_icon_hover.bmp": search_box(True).crop(325, 21, 30, 28),
    }


# ---------------------------------------------------------------------------------------------
# News panel: bitmaps 212 (body row), 213 (tab strip), 214 (selected tab).

NEWS_W = 263
NEWS_PANEL_W = 256
NEWS_TAB_X = (11, 53, 96, 139, 182)
# Border colours at depth 0..5 from the panel's outer edge; the body is white beyond.
NEWS_BORDER = [(0, 0, 0), (26, 27, 30), (46, 48, 52), (64, 66, 72), (142, 144, 150),
               (198, 200, 206)]


def news_border_colour(depth):
    i = clamp(depth - 0.5, 0.0, 5.0)
    lo = int(math.floor(i))
    hi = min(lo + 1, 5)
    return mix(NEWS_BORDER[lo], NEWS_BORDER[hi], i - lo)


def news_frame(canvas, outline, interior):
    canvas.paint(outline, lambda x, y: news_border_colour(-outline.dist(x, y)))
    canvas.paint(outline.grown(-6.0), interior)
    canvas.paint(outline.shell(5.0, 6.0), (198, 200, 206), 0.5)


def news_body():
    canvas = Canvas(NEWS_W, 17)
    news_frame(canvas, rbox(0.0, -40.0, NEWS_PANEL_W, 60.0, 8.0), (255, 255, 255))
    return canvas


def news_tab(canvas, x, selected):
    # Square top under the separator line, rounded bottom corners.
    rounded = rbox(x, -6.0, x + 41.0, 20.0, 4.5)
    rows = rbox(x, 4.0, x + 41.0, 20.0)
    if selected:
        canvas.paint(rounded & rows, (176, 142, 64))
        canvas.paint(rounded.grown(-1.0) & rows, vgrad(4, (255, 246, 208), 19, (244, 208, 124)))
    else:
        canvas.paint(rounded & rows, (188, 182, 154))
        canvas.paint(rounded.grown(-1.0) & rows, vgrad(4, (255, 254, 242), 19, (246, 242, 218)))


def refresh_symbol(canvas, cx, cy):
    black = (16, 16, 18)
    canvas.paint(arc(cx, cy, 5.2, 200, 345, 1.7), black)
    canvas.paint(arc(cx, cy, 5.2, 20, 165, 1.7), black)
    for angle in (345, 165):
        a = math.radians(angle)
        tx, ty = cx + 5.2 * math.cos(a), cy + 5.2 * math.sin(a)
        nx, ny = -math.sin(a), math.cos(a)  # direction of travel
        ox, oy = math.cos(a), math.sin(a)
        canvas.paint(polygon([(tx + nx * 3.4, ty + ny * 3.4), (tx + ox * 2.9, ty + oy * 2.9),
                              (tx - ox * 2.9, ty - oy * 2.9)]), black)


def news_strip(selected=None):
    canvas = Canvas(NEWS_W, 38)
    bar_area = vgrad(4, (236, 237, 241), 22, (206, 208, 214))
    panel = rbox(0.0, -40.0, NEWS_PANEL_W, 28.0, 8.0)
    news_frame(canvas, panel, lambda x, y: (255, 255, 255) if y < 3 else bar_area(x, y))
    canvas.paint(rbox(6.0, 3.0, 250.0, 4.0), (150, 152, 160))
    for i, x in enumerate(NEWS_TAB_X):
        news_tab(canvas, x, selected == i)
    refresh_symbol(canvas, 236.5, 11.0)
    red_close_button(canvas, 254.5, 30.0, 7.6)
    return canvas


def news_images():
    return {
        "news_body.bmp": news_body(),
        "news_tabs.bmp": news_strip(),
        "news_tab_marker.bmp": news_strip(selected=0).crop(NEWS_TAB_X[0], 4, 41, 16),
    }


# ---------------------------------------------------------------------------------------------
# Page browser: ten pieces cut from one drawn window, so that they join seamlessly.

BROWSER_W, BROWSER_H = 320, 200


def browser_chrome(y):
    return vstops([(1.0, (92, 97, 108)), (20.0, (60, 64, 72)), (46.0, (38, 40, 46))])(0, y)


def nav_half(canvas, x0, x1, pill, lit):
    half = pill & rbox(x0, 0.0, x1, 60.0)
    if lit:
        canvas.paint(half, radial((x0 + x1) / 2, 15.0, 26.0, (140, 206, 255), (28, 104, 222)))
    else:
        canvas.paint(half, vgrad(12, (112, 118, 130), 37, (52, 55, 62)))


def browser_window(lit=()):
    w, h = BROWSER_W, BROWSER_H
    canvas = Canvas(w, h)
    window = rbox(0.0, 0.0, w, h, 9.0)
    canvas.paint(window, (0, 0, 0))
    canvas.paint(window.grown(-1.0), lambda x, y: browser_chrome(y))
    canvas.paint(rbox(9.0, 1.0, w - 9.0, 2.0), (150, 156, 170), 0.5)
    # Bezel around the page (the control sits at 12, 47, W - 29 x H - 58).
    canvas.paint(rbox(11.0, 46.0, w - 16.0, h - 10.0), (12, 12, 14))
    canvas.paint(rbox(12.0, 47.0, w - 17.0, h - 11.0), (255, 255, 255))
    # Back and forward pill: highlights are drawn over 7..36 and 37..65, rows 11..37.
    pill = rbox(7.0, 11.0, 66.0, 38.0, 13.5)
    canvas.paint(pill, (10, 10, 12))
    inner = pill.grown(-1.0)
    nav_half(canvas, 0.0, 37.0, inner, "back" in lit)
    nav_half(canvas, 37.0, 80.0, inner, "forward" in lit)
    canvas.paint(rbox(36.5, 12.0, 37.5, 37.0), (14, 14, 16))
    canvas.paint(rbox(16.0, 12.4, 57.0, 19.0, 3.5) & inner, (255, 255, 255), 0.14)
    arrow = (255, 255, 255)
    canvas.paint(polygon([(15.4, 24.5), (22.4, 18.6), (22.4, 30.4)]), arrow)
    canvas.paint(rbox(21.0, 22.7, 28.6, 26.3, 0.6), arrow)
    canvas.paint(polygon([(57.6, 24.5), (50.6, 18.6), (50.6, 30.4)]), arrow)
    canvas.paint(rbox(44.4, 22.7, 52.0, 26.3, 0.6), arrow)
    # Address strip: text at (80, 16), repainted over (76, 13)-(W - 40, 35).
    address = rbox(67.0, 12.0, w - 14.0, 37.0, 12.5)
    canvas.paint(address, (12, 12, 14))
    canvas.paint(address.grown(-1.0), vgrad(13, (84, 89, 99), 36, (62, 66, 74)))
    canvas.paint(rbox(70.0, 13.0, w - 17.0, 14.0), (0, 0, 0), 0.35)
    red_close_button(canvas, w - 8.0, 8.0, 6.6)
    return canvas


def browser_images():
    w, h = BROWSER_W, BROWSER_H
    plain = browser_window()
    lit = browser_window(lit=("back", "forward"))
    return {
        "browser_top_left.bmp": plain.crop(0, 0, 79, 53),
        "browser_top_edge.bmp": plain.crop(150, 0, 10, 53),
        "browser_top_right.bmp": plain.crop(w - 25, 0, 25, 53),
        "browser_right_edge.bmp": plain.crop(w - 25, 100, 25, 10),
        "browser_bottom_right.bmp": plain.crop(w - 25, h - 18, 25, 18),
        "browser_bottom_edge.bmp": plain.crop(150, h - 18, 10, 18),
        "browser_bottom_left.bmp": plain.crop(0, h - 18, 25, 18),
        "browser_left_edge.bmp": plain.crop(0, 100, 25, 10),
        "browser_back_hover.bmp": lit.crop(7, 11, 30, 27),
        "browser_forward_hover.bmp": lit.crop(37, 11, 29, 27),
    }


# ---------------------------------------------------------------------------------------------
# Application icon: a dark tile with a blue ring and tail, a Q.


def icon_rgba(size):
    scale = size / 32.0
    samples = 4
    sub = [(i + 0.5) / samples for i in range(samples)]
    tile = rbox(1.0 * scale, 1.0 * scale, 31.0 * scale, 31.0 * scale, 6.5 * scale)
    ring_shape = ring(15.5 * scale, 15.0 * scale, 8.3 * scale, 3.6 * scale)
    tail = line(19.5 * scale, 19.0 * scale, 25.2 * scale, 24.8 * scale, 3.8 * scale)
    play = polygon([(13.4 * scale, 11.4 * scale), (19.4 * scale, 15.0 * scale),
                    (13.4 * scale, 18.6 * scale)])
    tile_paint = vgrad(0, (84, 90, 104), 32 * scale, (20, 22, 27))
    ring_paint = vgrad(6 * scale, (120, 214, 255), 26 * scale, (24, 120, 226))
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in sub:
                for sx in sub:
                    px, py = x + sx, y + sy
                    if tile.dist(px, py) > 0:
                        continue
                    if tile.dist(px, py) > -1.0 * scale:
                        c = (6, 7, 9)
                    elif ring_shape.dist(px, py) <= 0 or tail.dist(px, py) <= 0:
                        c = ring_paint(px, py)
                    elif size >= 32 and play.dist(px, py) <= 0:
                        c = (90, 240, 120)
                    else:
                        c = tile_paint(px, py)
                    acc = [acc[0] + c[0], acc[1] + c[1], acc[2] + c[2], acc[3] + 1]
            n = acc[3]
            if n == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / n), round(acc[1] / n), round(acc[2] / n),
                            round(255 * n / samples ** 2)))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------------------------


def check(name, canvas):
    """Every edge against the key is hard: no visible pixel may be the key or nearly it."""
    for y, row in enumerate(canvas.rows()):
        for x, (r, g, b) in enumerate(row):
            if (r, g, b) == KEY:
                continue
            if g - max(r, b) > 150:
                raise SystemExit(f"{name}: greenish pixel {r, g, b} at {x}, {y}")


EXPECTED_SIZES = {
    "bar_skin.bmp": (235, 18), "bar_news_hover.bmp": (16, 18), "bar_play_hover.bmp": (14, 18),
    "bar_stop.bmp": (14, 18), "bar_stop_hover.bmp": (14, 18), "bar_player_hover.bmp": (19, 18),
    "bar_web_search_hover.bmp": (19, 18), "bar_video_search_hover.bmp": (17, 18),
    "balloon_top.bmp": (245, 28), "balloon_middle.bmp": (245, 14),
    "balloon_bottom.bmp": (245, 28), "player_frame.bmp": (341, 311),
    "playlist_skin.bmp": (186, 192), "search_skin.bmp": (378, 53),
    "search_icon_hover.bmp": (30, 28), "news_body.bmp": (263, 17), "news_tabs.bmp": (263, 38),
    "news_tab_marker.bmp": (41, 16), "browser_top_left.bmp": (79, 53),
    "browser_top_edge.bmp": (10, 53), "browser_top_right.bmp": (25, 53),
    "browser_right_edge.bmp": (25, 10), "browser_bottom_right.bmp": (25, 18),
    "browser_bottom_edge.bmp": (10, 18), "browser_bottom_left.bmp": (25, 18),
    "browser_left_edge.bmp": (25, 10), "browser_back_hover.bmp": (30, 27),
    "browser_forward_hover.bmp": (29, 27),
}


# The news panel writes the feed titles into these.
DRAWN_ON = {"news_tabs.bmp", "news_tab_marker.bmp"}
DRAWINGS = (bar_images, balloon_images, player_frame, playlist_panel, search_images, news_images,
            browser_images)


def draw_set(at, makers):
    global percent
    percent = at
    try:
        images = {}
        for make in makers:
            images.update(make())
    finally:
        percent = 100
    return images


def check_size(name, canvas, at):
    # Cut by its scaled edges, a part may be a pixel off its scaled size.
    width, height = EXPECTED_SIZES[name]
    if abs(canvas.width - scaled(width, at)) > (at != 100) or \
            abs(canvas.height - scaled(height, at)) > (at != 100):
        raise SystemExit(f"{name} at {at} %: {canvas.width} x {canvas.height}")


def write_all(out):
    written = []
    for at in SCALES:
        folder = out if at == 100 else os.path.join(out, str(at))
        os.makedirs(folder, exist_ok=True)
        for name, canvas in sorted(draw_set(at, DRAWINGS).items()):
            check_size(name, canvas, at)
            check(name, canvas)
            if at == 100:
                write_bmp(os.path.join(folder, name), canvas)
            else:
                write_scaled_bmp(os.path.join(folder, name), canvas, name)
            written.append(name if at == 100 else f"{at}/{name}")
    write_ico(os.path.join(out, "quorvel.ico"), [(16, icon_rgba(16)), (32, icon_rgba(32))])
    return written + ["quorvel.ico"]


def check_committed(folder):
    with tempfile.TemporaryDirectory() as fresh:
        names = write_all(fresh)
        stale = [n for n in names
                 if not os.path.exists(os.path.join(folder, n))
                 or not filecmp.cmp(os.path.join(fresh, n), os.path.join(folder, n), False)]
    if stale:
        raise SystemExit("out of date, run make_art.py: " + ", ".join(stale))
    print(f"{len(names)} files up to date")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    if sys.argv[1:] == ["--check"]:
        check_committed(here)
        return
    out = sys.argv[1] if len(sys.argv) > 1 else here
    names = write_all(out)
    print(f"wrote {len(names)} files to {out}")


if __name__ == "__main__":
    main()
