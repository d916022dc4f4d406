#!/usr/bin/env python3
"""Draws Fixtally's pictures into resources/: program icon, logo, button pictures, hand cursor.

Standard library only, and deterministic: running it twice gives the same bytes, so the
committed pictures can always be regenerated and compared.

Shapes are tested at 4 x 4 points per pixel and the points averaged (a box filter), which gives
anti-aliased edges without any imaging library. Small icon sizes get their own, pixel-aligned
geometry, because a scaled-down large design turns thin white lines into grey smudges.

  make-pictures.py [FOLDER]   draw every picture into FOLDER (default: resources/)
  make-pictures.py --check    fail unless resources/ holds exactly what this script draws and
                              every picture reads back as Windows expects it
"""

import math
import os
import struct
import sys
import zlib

SUBSAMPLES = 4
ERASE = None  # a layer paint that punches a hole (transparent) instead of painting

# ---------------------------------------------------------------- shapes (x, y in pixels)


def circle(cx, cy, r):
    return (cx - r, cy - r, cx + r, cy + r), lambda x, y: (x - cx)**2 + (y - cy)**2 <= r * r


def ellipse_ring(cx, cy, rx, ry, width):
    h = width / 2

    def inside(x, y):
        outer = ((x - cx) / (rx + h))**2 + ((y - cy) / (ry + h))**2 <= 1
        if not outer:
            return False
        if rx - h <= 0 or ry - h <= 0:
            return True
        return ((x - cx) / (rx - h))**2 + ((y - cy) / (ry - h))**2 > 1

    return (cx - rx - h, cy - ry - h, cx + rx + h, cy + ry + h), inside


def round_rect(x0, y0, x1, y1, r):

    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r

    return (x0, y0, x1, y1), inside


def segment_distance2(x, y, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    length2 = vx * vx + vy * vy
    t = min(1.0, max(0.0, ((x - ax) * vx + (y - ay) * vy) / length2)) if length2 else 0.0
    return (x - ax - t * vx)**2 + (y - ay - t * vy)**2


def stroke(points, width):
    """A polyline with round joins and caps."""
    h = width / 2
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    pairs = list(zip(points, points[1:]))

    def inside(x, y):
        return any(segment_distance2(x, y, a[0], a[1], b[0], b[1]) <= h * h for a, b in pairs)

    return (min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h), inside


def minus(shape, hole):
    box, a = shape
    b = hole[1]
    return box, lambda x, y: a(x, y) and not b(x, y)


def intersect(shape, clip):
    box, a = shape
    b = clip[1]
    return box, lambda x, y: a(x, y) and b(x, y)


# ---------------------------------------------------------------- paints and rendering


def hex_rgb(text):
    return tuple(int(text[i:i + 2], 16) / 255 for i in (1, 3, 5))


def solid(colour, alpha=1.0):
    rgba = hex_rgb(colour) + (alpha,)
    return lambda x, y: rgba


def vertical(top, bottom, y0, y1, alpha=1.0):
    a, b = hex_rgb(top), hex_rgb(bottom)

    def paint(x, y):
        t = min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return tuple(a[i] + (b[i] - a[i]) * t for i in range(3)) + (alpha,)

    return paint


def render(size, layers):
    """Returns rows of straight (not premultiplied) RGBA floats in 0..1, top row first."""
    offsets = [(i + 0.5) / SUBSAMPLES for i in range(SUBSAMPLES)]
    count = SUBSAMPLES * SUBSAMPLES
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            live = [(inside, paint)
                    for (x0, y0, x1, y1), inside, paint in ((s[0], s[1], p) for s, p in layers)
                    if x1 >= px and x0 <= px + 1 and y1 >= py and y0 <= py + 1]
            acc = [0.0, 0.0, 0.0, 0.0]
            for oy in offsets:
                y = py + oy
                for ox in offsets:
                    x = px + ox
                    r = g = b = a = 0.0  # premultiplied
                    for inside, paint in live:
                        if not inside(x, y):
                            continue
                        if paint is ERASE:
                            r = g = b = a = 0.0
                            continue
                        cr, cg, cb, ca = paint(x, y)
                        keep = 1 - ca
                        r, g, b = cr * ca + r * keep, cg * ca + g * keep, cb * ca + b * keep
                        a = ca + a * keep
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            alpha = acc[3] / count
            if alpha <= 0:
                row.append((0.0, 0.0, 0.0, 0.0))
            else:
                row.append(tuple(c / count / alpha for c in acc[:3]) + (alpha,))
        rows.append(row)
    return rows


def to_byte(value):
    return max(0, min(255, int(round(value * 255))))


# ---------------------------------------------------------------- the program's glyph

# Blue rounded square holding a white three-line list, with a green check badge cut into the
# lower right corner. Geometry per size: (square, corner radius, bullet size or 0, rows as
# (top, height, right end), list left, badge (cx, cy, r, gap), check points, check width or 0
# when the points are whole pixels).
PIXEL_CHECK = [(9, 12), (10, 12), (10, 13), (11, 13), (11, 14), (12, 13), (12, 12), (13, 12),
               (13, 11), (14, 11), (14, 10)]
GLYPH_GEOMETRY = {
    16: ((1, 1, 15, 15), 3, 0, [(3, 1, 12), (6, 1, 12), (9, 1, 7)], 4, (12, 12, 4, 1), PIXEL_CHECK,
         0),
    20: ((1, 1, 19, 19), 3.5, 0, [(3, 2, 15), (7, 2, 15), (11, 2, 9)], 5, (15, 15, 4.5, 1),
         [(x + 3, y + 3) for x, y in PIXEL_CHECK], 0),
    24: ((1, 1, 23, 23), 4, 2, [(5, 2, 18), (10, 2, 18), (15, 2, 12)], 5, (18.5, 18.5, 5, 1),
         [(15.8, 18.6), (17.6, 20.4), (21, 16.8)], 1.7),
    32: ((2, 2, 30, 30), 5.5, 2, [(8, 2, 24), (14, 2, 24), (20, 2, 16)], 8, (24, 24, 6.5, 1.5),
         [(20.6, 24.2), (23, 26.6), (27.4, 21.8)], 2.2),
    48: ((3, 3, 45, 45), 8, 3, [(12, 3, 36), (21, 3, 36), (30, 3, 24)], 12, (36, 36, 10, 2),
         [(31.5, 36.3), (34.6, 39.4), (40.6, 32.8)], 3),
}
BLUE_TOP, BLUE_BOTTOM = "#1E88E5", "#0058A8"
GREEN_TOP, GREEN_BOTTOM = "#3CC264", "#1B8A3C"
LIST_WHITE = "#FFFFFF"


def glyph_geometry(size):
    if size in GLYPH_GEOMETRY:
        return GLYPH_GEOMETRY[size]
    # Large sizes: the 48-pixel design scaled, with round line ends that read well when big.
    sq, radius, bullet, rows, left, badge, check, width = GLYPH_GEOMETRY[48]
    k = size / 48
    scaled_rows = [(t * k, h * k, e * k) for t, h, e in rows]
    scaled_check = [(x * k, y * k) for x, y in check]
    return (tuple(v * k for v in sq), radius * k, bullet * k, scaled_rows, left * k,
            tuple(v * k for v in badge), scaled_check, width * k)


def glyph_layers(size):
    sq, radius, bullet, rows, left, badge, check, check_width = glyph_geometry(size)
    cx, cy, br, gap = badge
    layers = [(round_rect(*sq, radius), vertical(BLUE_TOP, BLUE_BOTTOM, sq[1], sq[3]))]
    # A faint lighter rim along the top keeps the square from looking flat on dark taskbars.
    if size >= 32:
        below_rim = round_rect(sq[0], sq[1] + size / 48, sq[2], sq[3], radius)
        rim = minus(round_rect(*sq, radius), below_rim)
        layers.append((rim, solid("#FFFFFF", 0.28)))
    rounded = size > 48
    for top, height, right in rows:
        line_left = left + 2 * bullet
        if rounded:
            mid = top + height / 2
            line = stroke([(line_left + height / 2, mid), (right - height / 2, mid)], height)
            layers.append((line, solid(LIST_WHITE)))
            if bullet:
                layers.append((circle(left + bullet / 2, mid, bullet / 2), solid(LIST_WHITE)))
        else:
            layers.append((round_rect(line_left, top, right, top + height, 0), solid(LIST_WHITE)))
            if bullet:
                dot = round_rect(left, top, left + bullet, top + bullet, 0)
                layers.append((dot, solid(LIST_WHITE)))
    layers.append((circle(cx, cy, br + gap), ERASE))
    layers.append((circle(cx, cy, br), vertical(GREEN_TOP, GREEN_BOTTOM, cy - br, cy + br)))
    if check_width:
        layers.append((stroke(check, check_width), solid("#FFFFFF")))
    else:  # too small for a smooth stroke to stay sharp: whole pixels placed by hand
        layers += [(round_rect(x, y, x + 1, y + 1, 0), solid("#FFFFFF")) for x, y in check]
    return layers


# ---------------------------------------------------------------- button pictures (16 x 16)


def magnifier_layers():
    ring = "#1F5FA8"
    return [
        (circle(6.5, 6.5, 4.4), solid("#9CCCF7", 0.45)),
        (stroke([(9.6, 9.6), (14.2, 14.2)], 2.6), solid("#4A4F57")),
        (minus(circle(6.5, 6.5, 5.6), circle(6.5, 6.5, 4.1)), solid(ring)),
        (stroke([(4.3, 5.6), (5.6, 4.3)], 1.1), solid("#FFFFFF", 0.85)),
    ]


def sheet_layers(x0, y0, x1, y1, lines):
    border = "#55606E"
    layers = [
        (round_rect(x0, y0, x1, y1, 1), solid(border)),
        (round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 0.3), solid("#FFFFFF")),
    ]
    for i in range(lines):
        top = y0 + 2 + 2 * i
        layers.append((round_rect(x0 + 2, top, x1 - 2 - (3 if i == lines - 1 else 0), top + 1, 0),
                       solid("#4C8FD6")))
    return layers


def scaled_layers(layers, k):
    """The same picture k times larger: every shape and paint read at (x / k, y / k)."""
    out = []
    for (box, inside), paint in layers:
        big_box = tuple(v * k for v in box)
        big_inside = (lambda f: lambda x, y: f(x / k, y / k))(inside)
        big_paint = paint if paint is ERASE else (lambda f: lambda x, y: f(x / k, y / k))(paint)
        out.append(((big_box, big_inside), big_paint))
    return out


def copy_layers():
    return sheet_layers(1, 1, 10, 12, 0) + sheet_layers(5, 4, 15, 15, 4)


def globe_layers():
    # Centred on a pixel centre so that the one-pixel meridian and parallels stay sharp.
    edge = "#1D63B8"
    disc = circle(7.5, 7.5, 7)
    inner = circle(7.5, 7.5, 6)
    return [
        (disc, vertical("#DDEFFF", "#9FCBF3", 0.5, 14.5)),
        (intersect(ellipse_ring(7.5, 7.5, 3, 6.5, 1), inner), solid(edge)),
        (intersect(stroke([(0, 7.5), (15, 7.5)], 1), inner), solid(edge)),
        (intersect(stroke([(0, 4.5), (15, 4.5)], 1), inner), solid(edge, 0.75)),
        (intersect(stroke([(0, 10.5), (15, 10.5)], 1), inner), solid(edge, 0.75)),
        (minus(disc, inner), solid(edge)),
    ]


# ---------------------------------------------------------------- the hand cursor (32 x 32)

# 'X' black outline, 'o' white, anything else transparent; the hotspot is the index fingertip.
HAND = """
.....XX..........
....XooX.........
....XooX.........
....XooX.........
....XooXXX.......
....XooXooXXX....
....XooXooXooXXX.
....XooXooXooXooX
.XX.XooXooXooXooX
XooXXooXooXooXooX
XoooXoooooooooooX
.XooXoooooooooooX
.XooooooooooooooX
..XoooooooooooooX
..XooooooooooooX.
...XoooooooooooX.
...XooooooooooX..
....XoooooooooX..
....XoooooooooX..
....XXXXXXXXXXX..
"""
HAND_ART = HAND.strip("\n").split("\n")
HAND_HOTSPOT = (HAND_ART[0].index("X"), 0)


def hand_rows(size=32):
    """size rows of size art characters, the hand in the top left corner, each art pixel
    covering size / 32 pixels (whole pixels: a monochrome cursor has no half tones)."""
    k = size / 32
    art = [list((HAND_ART[y] if y < len(HAND_ART) else "").ljust(32, ".")) for y in range(32)]
    return [[art[int(y / k)][int(x / k)] for x in range(size)] for y in range(size)]


def hand_hotspot(size):
    """The fingertip's first pixel at that size."""
    k = size / 32
    return (math.ceil(HAND_HOTSPOT[0] * k), HAND_HOTSPOT[1])


# ---------------------------------------------------------------- file formats


def png_bytes(pixels):
    """Straight-alpha RGBA PNG."""
    height, width = len(pixels), len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((to_byte(r), to_byte(g), to_byte(b), to_byte(a)))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def info_header(width, height, bits, image_size, colours=0):
    # 3780 pixels per metre is 96 per inch, the resolution the window is laid out for.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 3780, 3780,
                       colours, 0)


def padded(row):
    return row + b"\0" * (-len(row) % 4)


def mask_rows(bits_rows):
    """1-bit rows, bottom row first, each padded to 32 bits."""
    out = bytearray()
    for bits in reversed(bits_rows):
        row = bytearray((len(bits) + 7) // 8)
        for x, bit in enumerate(bits):
            if bit:
                row[x // 8] |= 0x80 >> (x % 8)
        out += padded(bytes(row))
    return bytes(out)


def bmp_file(width, height, bits, pixel_rows):
    """pixel_rows: packed rows, top first; stored bottom-up, as every BMP reader expects."""
    data = b"".join(padded(row) for row in reversed(pixel_rows))
    header = info_header(width, height, bits, len(data))
    offset = 14 + len(header)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + data


def bgr(r, g, b):
    return bytes((to_byte(b), to_byte(g), to_byte(r)))


def bmp32_premultiplied(pixels):
    rows = [b"".join(bgr(r * a, g * a, b * a) + bytes((to_byte(a),)) for r, g, b, a in row)
            for row in pixels]
    return bmp_file(len(pixels[0]), len(pixels), 32, rows)


def flatten(pixels, background, key=None, key_below=0.0):
    """Composites on a plain colour; with a key colour, pixels whose alpha is at most key_below
    become the key, and no other pixel may end up equal to it."""
    bg = hex_rgb(background)
    key_bgr = bgr(*hex_rgb(key)) if key else None
    out = []
    for row in pixels:
        line = []
        for r, g, b, a in row:
            if key_bgr and a <= key_below:
                line.append(key_bgr)
                continue
            colour = bgr(*(c * a + k * (1 - a) for c, k in zip((r, g, b), bg)))
            if colour == key_bgr:
                colour = bytes((colour[0] ^ 1,)) + colour[1:]
            line.append(colour)
        out.append(line)
    return out


def bmp24(flat_rows):
    return bmp_file(len(flat_rows[0]), len(flat_rows), 24, [b"".join(row) for row in flat_rows])


def ico_image_32(pixels):
    size = len(pixels)
    xor = b"".join(bgr(r, g, b) + bytes((to_byte(a),))
                   for row in reversed(pixels) for r, g, b, a in row)
    # The AND mask still matters to programs that ignore alpha (and to Windows XP's shell).
    mask = mask_rows([[to_byte(p[3]) == 0 for p in row] for row in pixels])
    return info_header(size, size * 2, 32, len(xor) + len(mask)) + xor + mask


def median_cut(colours, limit):
    """colours: {rgb bytes tuple: count}. Returns at most limit averaged colours."""
    boxes = [list(colours.items())]
    while len(boxes) < limit:
        best, best_range, best_channel = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for channel in range(3):
                values = [c[channel] for c, _ in box]
                spread = max(values) - min(values)
                if spread > best_range:
                    best, best_range, best_channel = i, spread, channel
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda item: (item[0][best_channel], item[0]))
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for i, (_, n) in enumerate(box):
            running += n
            if running * 2 >= total:
                cut = min(max(i + 1, 1), len(box) - 1)
                break
        boxes[best:best] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(
            tuple((sum(c[k] * n for c, n in box) + total // 2) // total for k in range(3)))
    return palette


def ico_image_8(pixels):
    """256-colour entry: opaque where alpha reaches one half, the rest left to the AND mask."""
    size = len(pixels)
    opaque = [[p[3] >= 0.5 for p in row] for row in pixels]
    rgb = [[tuple(to_byte(c) for c in p[:3]) for p in row] for row in pixels]
    counts = {}
    for y in range(size):
        for x in range(size):
            if opaque[y][x]:
                counts[rgb[y][x]] = counts.get(rgb[y][x], 0) + 1
    palette = [(0, 0, 0)] + median_cut(counts, 255)  # index 0 stays black under the AND mask

    def nearest(colour):
        return min(range(1, len(palette)),
                   key=lambda i: sum((palette[i][k] - colour[k])**2 for k in range(3)))

    lookup = {colour: nearest(colour) for colour in sorted(counts)}
    index_rows = [bytes(lookup[rgb[y][x]] if opaque[y][x] else 0 for x in range(size))
                  for y in range(size)]
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette) + b"\0" * 4 * (256 - len(palette))
    xor = b"".join(padded(row) for row in reversed(index_rows))
    mask = mask_rows([[not o for o in row] for row in opaque])
    return info_header(size, size * 2, 8, len(xor) + len(mask), 256) + table + xor + mask


def icon_file(kind, entries):
    """kind 1 icon, 2 cursor; entries: (size, colour count byte, field4, field6, image bytes)."""
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    body = b""
    for size, colours, planes_or_x, bits_or_y, image in entries:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, planes_or_x, bits_or_y,
                           len(image), offset + len(body))
        body += image
    return out + body


def hand_cursor():
    entries = []
    for size in CURSOR_SIZES:
        rows = hand_rows(size)
        palette = struct.pack("<II", 0x000000, 0xFFFFFF)
        xor = mask_rows([[c == "o" for c in row] for row in rows])
        andmask = mask_rows([[c not in "Xo" for c in row] for row in rows])
        image = info_header(size, 2 * size, 1, len(xor) + len(andmask), 2) + palette + xor + andmask
        entries.append((size, 2, *hand_hotspot(size), image))
    return icon_file(2, entries)


# ---------------------------------------------------------------- main

# Truecolour with alpha for every size a shell asks for (20 is the small icon at 125 % scale),
# 256 colours for old display modes, and the large one PNG-compressed as Vista and later read it.
ICON_32_SIZES = (16, 20, 24, 32, 48)
ICON_8_SIZES = (16, 32, 48)
ICON_PNG_SIZE = 256
WHITE_KEY = b"\xff\xff\xff"
MAGENTA_KEY = "#FF00FF"
KEY_BELOW_ALPHA = 0.12  # button pixels this transparent or more become the magenta key
BUTTONS = (("btn_search", magnifier_layers), ("btn_copy", copy_layers), ("btn_link", globe_layers))
# The window's pictures are also drawn at 150 % and 200 % for screens of those scalings
# (app/form_pictures.h chooses), the hand cursor at the sizes Windows gives cursors there.
SCALES = (150, 200)
LOGO_SIZE = 48
BUTTON_SIZE = 16
CURSOR_SIZES = (32, 48, 64)


def logo_bmp(glyph):
    """The logo is drawn transparent with its lower-left pixel as the key, so only the background
    may be pure white: the white list lines are nudged off it."""
    logo = flatten(glyph, "#FFFFFF")
    for y, row in enumerate(logo):
        for x, colour in enumerate(row):
            if colour == WHITE_KEY and glyph[y][x][3] > 0:
                row[x] = b"\xfe\xfe\xfe"
    return bmp24(logo)


def button_bmp24(pixels):
    """Older systems key out magenta; edges are blended on the usual button face grey."""
    return bmp24(flatten(pixels, "#F0F0F0", key=MAGENTA_KEY, key_below=KEY_BELOW_ALPHA))


def generate():
    """Returns {file name: bytes} for every picture of resources/."""
    glyphs = {s: render(s, glyph_layers(s)) for s in set(ICON_32_SIZES + ICON_8_SIZES)}
    entries = [(s, 0, 1, 32, ico_image_32(glyphs[s])) for s in ICON_32_SIZES]
    entries += [(s, 0, 1, 8, ico_image_8(glyphs[s])) for s in ICON_8_SIZES]
    large = render(ICON_PNG_SIZE, glyph_layers(ICON_PNG_SIZE))
    entries.append((ICON_PNG_SIZE, 0, 1, 32, png_bytes(large)))
    files = {"fixtally.ico": icon_file(1, entries)}

    files["logo.bmp"] = logo_bmp(glyphs[LOGO_SIZE])
    for scale in SCALES:
        size = LOGO_SIZE * scale // 100
        files[f"logo_{scale}.bmp"] = logo_bmp(render(size, glyph_layers(size)))

    for name, layers in BUTTONS:
        pixels = render(BUTTON_SIZE, layers())
        files[name + ".bmp"] = bmp32_premultiplied(pixels)
        files[name + "_24.bmp"] = button_bmp24(pixels)
        for scale in SCALES:
            big = render(BUTTON_SIZE * scale // 100, scaled_layers(layers(), scale / 100))
            files[f"{name}_24_{scale}.bmp"] = button_bmp24(big)
    files["hand.cur"] = hand_cursor()
    return files


# ---------------------------------------------------------------- checking the committed files
# Read back the way Windows reads them, without the writers above, so a writer fault shows.


def read_bmp(data):
    """Returns (bits, rows top first, each a list of byte tuples per pixel)."""
    offset = struct.unpack_from("<I", data, 10)[0]
    size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if data[:2] != b"BM" or size != 40 or planes != 1 or compression != 0 or bits not in (24, 32):
        raise ValueError("not an uncompressed 24/32-bit BMP")
    step = (width * bits // 8 + 3) // 4 * 4
    if offset + step * abs(height) > len(data):
        raise ValueError("pixel data cut short")
    rows = [[tuple(data[offset + y * step + x * bits // 8:offset + y * step + (x + 1) * bits // 8])
             for x in range(width)] for y in range(abs(height))]
    return bits, (rows[::-1] if height > 0 else rows)


def mask_bit(data, start, width, height, x, y):
    """Pixel (x, y) of a bottom-up 1-bit plane; y counted from the top."""
    step = (width + 31) // 32 * 4
    return data[start + (height - 1 - y) * step + x // 8] >> (7 - x % 8) & 1


def check_icon(data, expect):
    _, kind, count = struct.unpack_from("<HHH", data)
    expect(kind == 1 and count == 9, "icon: not an icon of nine images")
    seen = []
    for i in range(count):
        w, h, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        image = data[offset:offset + size]
        expect(len(image) == size, f"icon image {i}: cut short")
        if image[:8] == b"\x89PNG\r\n\x1a\n":
            expect(struct.unpack_from(">II", image, 16) == (w, h), f"icon image {i}: PNG size")
            seen.append((w, "png"))
            continue
        head = struct.unpack_from("<IiiHH", image)
        expect(head == (40, w, 2 * h, 1, bits), f"icon image {i}: header {head}")
        palette = 1024 if bits == 8 else 0
        xor = (w * bits // 8 + 3) // 4 * 4 * h
        and_start = 40 + palette + xor
        expect(and_start + (w + 31) // 32 * 4 * h == size, f"icon image {i}: size")
        # Transparent corner, opaque list: the AND mask is what systems without alpha use.
        shows = [mask_bit(image, and_start, w, h, x, y) == 0 for x, y in ((0, 0), (w // 4, h // 2))]
        expect(shows == [False, True], f"icon image {i}: AND mask {shows}")
        seen.append((w, bits))
    wanted = [(s, 32) for s in ICON_32_SIZES] + [(s, 8) for s in ICON_8_SIZES] + [(256, "png")]
    expect(sorted(seen, key=str) == sorted(wanted, key=str), f"icon: images {seen}")


def check_logo(name, data, size, expect):
    bits, rows = read_bmp(data)
    expect(bits == 24 and len(rows) == size and len(rows[0]) == size,
           f"{name}: not {size} x {size} 24-bit")
    white = (255, 255, 255)
    expect(rows[-1][0] == white, f"{name}: lower-left pixel is not pure white")
    # Pure white inside the glyph turns transparent when the logo is drawn: only the background
    # and the cut-out ring around the badge may be pure white.
    last = size - 1
    todo = [(x, y) for y in range(size) for x in range(size)
            if (x in (0, last) or y in (0, last)) and rows[y][x] == white]
    reached = set(todo)
    while todo:
        x, y = todo.pop()
        for n in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
            if (0 <= n[0] < size and 0 <= n[1] < size and n not in reached and
                    rows[n[1]][n[0]] == white):
                reached.add(n)
                todo.append(n)
    _, _, _, _, _, (cx, cy, radius, gap), _, _ = glyph_geometry(size)

    def in_ring(x, y):
        return radius - 0.5 <= math.hypot(x + 0.5 - cx, y + 0.5 - cy) <= radius + gap + 0.5

    enclosed = sum(1 for y in range(size) for x in range(size)
                   if rows[y][x] == white and (x, y) not in reached and not in_ring(x, y))
    expect(enclosed == 0, f"{name}: {enclosed} pure white pixels inside the glyph")
    expect(rows[size // 2][size // 2] != white, f"{name}: empty middle")


def check_scaled_button(name, data, size, expect):
    bits, rows = read_bmp(data)
    expect(bits == 24 and len(rows) == size and len(rows[0]) == size,
           f"{name}: not {size} x {size} 24-bit")
    key = (255, 0, 255)
    keyed = sum(1 for row in rows for p in row if p == key)
    expect(rows[0][0] == key and 0 < keyed < size * size, f"{name}: magenta key")


def check_button(name, data32, data24, expect):
    bits, rows = read_bmp(data32)
    expect(bits == 32 and len(rows) == 16 and len(rows[0]) == 16, f"{name}: not 16 x 16 32-bit")
    pixels = [p for row in rows for p in row]
    expect(all(max(p[:3]) <= p[3] for p in pixels), f"{name}: colour above alpha (straight alpha)")
    expect(rows[0][0][3] == 0 and any(p[3] == 255 for p in pixels), f"{name}: alpha plane")
    bits24, rows24 = read_bmp(data24)
    expect(bits24 == 24 and len(rows24) == 16, f"{name}_24: not 16 x 16 24-bit")
    key = (255, 0, 255)
    limit = KEY_BELOW_ALPHA * 255
    for y in range(16):
        for x in range(16):
            keyed, alpha = rows24[y][x] == key, rows[y][x][3]
            expect(not keyed or alpha <= limit + 0.5, f"{name}_24: ({x}, {y}) keyed out")
            expect(keyed or alpha >= limit - 0.5, f"{name}_24: ({x}, {y}) should be keyed out")


def check_cursor(data, expect):
    _, kind, count = struct.unpack_from("<HHH", data)
    expect((kind, count) == (2, len(CURSOR_SIZES)), "cursor: not one cursor of each size")
    for i in range(count):
        w, h, _, _, hot_x, hot_y, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        n = CURSOR_SIZES[i] if i < len(CURSOR_SIZES) else 0
        expect((w, h) == (n, n), f"cursor image {i}: not {n} x {n}")
        image = data[offset:offset + size]
        expect(struct.unpack_from("<IiiHH", image) == (40, n, 2 * n, 1, 1),
               f"cursor image {i}: not monochrome")
        plane = (n + 31) // 32 * 4 * n
        expect(len(image) == 40 + 8 + 2 * plane, f"cursor image {i}: size")
        drawn = {(x, y) for y in range(n) for x in range(n)
                 if mask_bit(image, 40 + 8 + plane, n, n, x, y) == 0}
        expect((hot_x, hot_y) in drawn, f"cursor image {i}: hotspot on a transparent pixel")
        expect(hot_y == min(y for _, y in drawn), f"cursor image {i}: hotspot below the fingertip")
        white = {p for p in drawn if mask_bit(image, 48, n, n, *p)}
        expect(white and len(white) < len(drawn), f"cursor image {i}: needs outline and fill")


def check(folder):
    problems = []

    def expect(condition, text):
        if not condition:
            problems.append(text)

    drawn = generate()
    files = {}
    for name in sorted(drawn):
        path = os.path.join(folder, name)
        files[name] = b""
        if os.path.exists(path):
            with open(path, "rb") as f:
                files[name] = f.read()
        expect(files[name] == drawn[name], f"{name}: not what this script draws")
    checks = [("fixtally.ico", lambda: check_icon(files["fixtally.ico"], expect)),
              ("logo.bmp", lambda: check_logo("logo.bmp", files["logo.bmp"], LOGO_SIZE, expect)),
              ("hand.cur", lambda: check_cursor(files["hand.cur"], expect))]
    checks += [(name + ".bmp", lambda name=name: check_button(name, files[name + ".bmp"],
                                                              files[name + "_24.bmp"], expect))
               for name, _ in BUTTONS]
    for scale in SCALES:
        logo = f"logo_{scale}.bmp"
        checks.append((logo, lambda logo=logo, scale=scale: check_logo(
            logo, files[logo], LOGO_SIZE * scale // 100, expect)))
        for name, _ in BUTTONS:
            button = f"{name}_24_{scale}.bmp"
            checks.append((button, lambda button=button, scale=scale: check_scaled_button(
                button, files[button], BUTTON_SIZE * scale // 100, expect)))
    for name, run in checks:
        try:
            run()
        except (struct.error, ValueError, IndexError) as error:
            problems.append(f"{name}: unreadable ({error})")
    for text in problems:
        print(text)
    print(f"{len(problems)} problem(s)")
    return 1 if problems else 0


def main():
    resources = os.path.normpath(
        os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources"))
    args = sys.argv[1:]
    if args[:1] == ["--check"]:
        sys.exit(check(resources))
    out = os.path.normpath(args[0]) if args else resources
    os.makedirs(out, exist_ok=True)
    for name, data in sorted(generate().items()):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
