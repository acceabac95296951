#!/usr/bin/env python3
"""Draws the setup's pictures and writes them as the files the build embeds.

    resources/make-pictures.py        (from the top of the source tree)

The output is committed; run this again only after changing a picture here.
It needs nothing beyond Python 3 and writes the same bytes on every run.

  icons/setup.ico             icon 1: 16, 24, 32 and 48 pixels, 32-bit with alpha
  bitmaps/fixeddrive.bmp      16 x 11, 16 colours  \
  bitmaps/removabledrive.bmp  16 x 10, 16 colours   | the bottom-left pixel's colour
  bitmaps/openfolder.bmp      16 x 16, 16 colours   | is drawn transparent
  bitmaps/closedfolder.bmp    16 x 16, 16 colours  /
  payload/files/Logo.bmp      120 x 260, 16 colours: the wizard's left band
  payload/files/LogoSmall.bmp 32 x 32, 256 colours: the header's logo, on white
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour palette, so that the pictures look the same on any display.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, LIME, YELLOW, BLUE, \
    FUCHSIA, AQUA, WHITE = range(16)


def bmp(width, height, bits, palette, rows):
    """A BITMAPINFOHEADER bitmap; rows[0] is the top row of palette indices."""
    stride = ((width * bits + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, index in enumerate(row):
            if bits == 8:
                line[x] = index
            else:
                line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        data += line
    pal = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + 40 + len(pal)
    return (struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset) +
            struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(data),
                        3780, 3780, len(palette), len(palette)) + pal + bytes(data))


# --- The four list pictures, as pixel art ------------------------------------------

ART_KEYS = {'.': FUCHSIA, 'k': BLACK, 'g': GREY, 's': SILVER, 'w': WHITE,
            'y': YELLOW, 'o': OLIVE, 'G': LIME, 'd': GREEN}

FIXED_DRIVE = """
................
................
..kkkkkkkkkkkk..
.kwwwwwwwwwwwwk.
kwssssssssssssgk
kkkkkkkkkkkkkkkk
kwssssssssssssgk
kwsggggssssGGsgk
kwssssssssssssgk
.kkkkkkkkkkkkkk.
................
"""

REMOVABLE_DRIVE = """
................
.kkkkkkkkkkkkkk.
kwwwwwwwwwwwwwwk
kwssssssssssssgk
kwsskkkkkkkkssgk
kwssssssssssssgk
kwssssssssssdsgk
kggggggggggggggk
.kkkkkkkkkkkkkk.
................
"""

OPEN_FOLDER = """
................
................
................
.kkkkk..........
kwyyyyk.........
kyoooookkkkkkk..
kyoooooooooooyk.
kyoookkkkkkkkkkk
kyokwyyyyyyyyyyk
kyokyyyyyyyyyyk.
kokwyyyyyyyyyyk.
kokyyyyyyyyyyk..
kkwyyyyyyyyyyk..
kkkkkkkkkkkkk...
................
................
"""

CLOSED_FOLDER = """
................
................
................
.kkkkk..........
kwyyyyk.........
kwyyyyykkkkkkkk.
kwwwwwwwwwwwwwyk
kwyyyyyyyyyyyyok
kwyyyyyyyyyyyyok
kwyyyyyyyyyyyyok
kwyyyyyyyyyyyyok
kwyyyyyyyyyyyyok
kwyyyyyyyyyyyyok
kyoooooooooooook
.kkkkkkkkkkkkkk.
................
"""


def art(picture, width, height):
    rows = [[ART_KEYS[c] for c in line] for line in picture.strip('\n').split('\n')]
    assert len(rows) == height and all(len(r) == width for r in rows), picture
    # The list controls take the bottom-left colour as transparent: keep it background.
    assert rows[-1][0] == FUCHSIA
    return bmp(width, height, 4, VGA, rows)


# --- Shapes, sampled with coverage for the smooth pictures -------------------------

def inside_polygon(points, x, y):
    hit = False
    j = len(points) - 1
    for i in range(len(points)):
        (xi, yi), (xj, yj) = points[i], points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def near_polyline(points, width, x, y):
    r2 = (width / 2) ** 2
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx - x, ay + t * dy - y
        if px * px + py * py <= r2:
            return True
    return False


class Canvas:
    """RGBA floats; shapes are given in pixels, (0, 0) the top-left corner."""

    def __init__(self, width, height, samples):
        self.w, self.h, self.n = width, height, samples
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * width for _ in range(height)]

    def fill(self, test, colour, box):
        r, g, b = (c / 255 for c in colour)
        n = self.n
        x0, y0 = max(0, int(box[0]) - 1), max(0, int(box[1]) - 1)
        x1, y1 = min(self.w, int(box[2]) + 2), min(self.h, int(box[3]) + 2)
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = sum(test(px + (i + 0.5) / n, py + (j + 0.5) / n)
                           for i in range(n) for j in range(n))
                a = hits / (n * n)
                if a:
                    dr, dg, db, da = self.px[py][px]
                    oa = a + da * (1 - a)
                    self.px[py][px] = ((r * a + dr * da * (1 - a)) / oa,
                                       (g * a + dg * da * (1 - a)) / oa,
                                       (b * a + db * da * (1 - a)) / oa, oa)

    def polygon(self, points, colour):
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.fill(lambda x, y: inside_polygon(points, x, y), colour, (min(xs), min(ys), max(xs), max(ys)))

    def line(self, points, width, colour):
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.fill(lambda x, y: near_polyline(points, width, x, y), colour,
                  (min(xs) - width, min(ys) - width, max(xs) + width, max(ys) + width))

    def rgba8(self):
        return [[tuple(int(round(c * 255)) for c in p) for p in row] for row in self.px]


def draw_page_with_check(c, x0, y0, s):
    """The product's sign in a square of s pixels at (x0, y0): a written page,
    a misspelt word underlined, a check mark."""
    def at(points):
        return [(x0 + x * s, y0 + y * s) for x, y in points]
    page = [(0.14, 0.04), (0.62, 0.04), (0.80, 0.22), (0.80, 0.96), (0.14, 0.96)]
    c.polygon(at(page), (96, 96, 96))
    c.polygon(at([(0.19, 0.09), (0.60, 0.09), (0.75, 0.24), (0.75, 0.91), (0.19, 0.91)]), (255, 255, 255))
    c.polygon(at([(0.60, 0.06), (0.60, 0.24), (0.78, 0.24)]), (96, 96, 96))
    c.polygon(at([(0.63, 0.13), (0.63, 0.21), (0.71, 0.21)]), (208, 208, 208))
    for y, right in ((0.22, 0.67), (0.34, 0.67), (0.46, 0.55)):
        c.polygon(at([(0.27, y), (right, y), (right, y + 0.06), (0.27, y + 0.06)]), (112, 112, 128))
    zig = [(0.27 + i * 0.05, 0.57 + (0.04 if i % 2 else 0)) for i in range(7)]
    c.line(at(zig), 0.05 * s, (220, 0, 0))
    tick = [(0.44, 0.72), (0.58, 0.86), (0.92, 0.48)]
    c.line(at(tick), 0.20 * s, (0, 80, 0))
    c.line(at(tick), 0.12 * s, (40, 176, 40))


def icon_image(size):
    c = Canvas(size, size, 6)
    draw_page_with_check(c, 0, 0, size)
    pixels = c.rgba8()
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def ico(sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, d in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(d), offset)
        offset += len(d)
    return out + b''.join(images)


def small_logo():
    """32 x 32 on white, in a palette of a 6-level colour cube and a grey ramp."""
    c = Canvas(32, 32, 6)
    c.polygon([(0, 0), (32, 0), (32, 32), (0, 32)], (255, 255, 255))
    draw_page_with_check(c, 0, 0, 32)
    levels = [0, 51, 102, 153, 204, 255]
    palette = [(r, g, b) for r in levels for g in levels for b in levels]
    palette += [(v, v, v) for v in range(8, 256, 6)][:256 - len(palette)]

    def nearest(p):
        return min(range(len(palette)),
                   key=lambda i: sum((palette[i][k] - p[k]) ** 2 for k in range(3)))
    rows = [[nearest(p) for p in row] for row in c.rgba8()]
    return bmp(32, 32, 8, palette, rows)


def big_logo():
    """120 x 260: a Nordic cross on red, and the product's sign below it."""
    w, h = 120, 260
    bayer = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]
    rows = []
    for y in range(h):
        # Red at the top darkening to maroon, dithered in the 16 colours.
        level = y / (h - 1) * 16
        rows.append([MAROON if bayer[y % 4][x % 4] < level else RED for x in range(w)])
    for y in range(h):
        for x in range(w):
            if 30 <= x < 48 or 62 <= y < 80:
                rows[y][x] = WHITE
    c = Canvas(w, h, 1)
    draw_page_with_check(c, 54, 150, 60)
    sign = c.rgba8()
    for y in range(h):
        for x in range(w):
            r, g, b, a = sign[y][x]
            if a:
                rows[y][x] = min(range(16), key=lambda i: sum((VGA[i][k] - (r, g, b)[k]) ** 2 for k in range(3)))
    return bmp(w, h, 4, VGA, rows)


def write(relative, data):
    with open(os.path.join(HERE, relative), 'wb') as f:
        f.write(data)


def main():
    write('bitmaps/fixeddrive.bmp', art(FIXED_DRIVE, 16, 11))
    write('bitmaps/removabledrive.bmp', art(REMOVABLE_DRIVE, 16, 10))
    write('bitmaps/openfolder.bmp', art(OPEN_FOLDER, 16, 16))
    write('bitmaps/closedfolder.bmp', art(CLOSED_FOLDER, 16, 16))
    write('icons/setup.ico', ico([16, 24, 32, 48]))
    write('payload/files/LogoSmall.bmp', small_logo())
    write('payload/files/Logo.bmp', big_logo())


if __name__ == '__main__':
    main()
