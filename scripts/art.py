# The pixel work of scripts/art: palettes, dithering, the icons' pixel art
# and the BMP/ICO encoders. Arguments: the folder holding ImageMagick's
# true-colour renderings, and res/art/ to write into.
import struct, sys

tmp, out = sys.argv[1], sys.argv[2]

# ---------------------------------------------------------------- dithering
BAYER8 = [
    [0, 32, 8, 40, 2, 34, 10, 42], [48, 16, 56, 24, 50, 18, 58, 26],
    [12, 44, 4, 36, 14, 46, 6, 38], [60, 28, 52, 20, 62, 30, 54, 22],
    [3, 35, 11, 43, 1, 33, 9, 41], [51, 19, 59, 27, 49, 17, 57, 25],
    [15, 47, 7, 39, 13, 45, 5, 37], [63, 31, 55, 23, 61, 29, 53, 21],
]

def dist(a, b):
    # Luma-weighted squared distance; good enough to pick dither pairs.
    dr, dg, db = a[0] - b[0], a[1] - b[1], a[2] - b[2]
    return dr * dr * 0.299 + dg * dg * 0.587 + db * db * 0.114

def mix_plan(c, pal):
    """Best (i, j, r): show pal[j] in r/64 of the cells and pal[i] elsewhere.
    Mixing far-apart colours is penalised so antialiased edges snap to one
    colour instead of turning into noise."""
    best = None
    n = len(pal)
    for i in range(n):
        for j in range(i, n):
            a, b = pal[i], pal[j]
            spread = dist(a, b)
            for r in range(0, 64 if i != j else 1):
                t = r / 64.0
                m = (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t,
                     a[2] + (b[2] - a[2]) * t)
                e = dist(c, m) + spread * 0.1 * (abs(t - 0.5) + 0.5) * (i != j)
                if best is None or e < best[0]:
                    best = (e, i, j, r)
    return best[1:]

def dither(rgb, w, h, pal):
    plans = {}
    idx = bytearray(w * h)
    for y in range(h):
        row = BAYER8[y & 7]
        for x in range(w):
            o = (y * w + x) * 3
            c = (rgb[o], rgb[o + 1], rgb[o + 2])
            p = plans.get(c)
            if p is None:
                p = plans[c] = mix_plan(c, pal)
            i, j, r = p
            idx[y * w + x] = j if row[x & 7] < r else i
    return idx

def nearest(rgb, w, h, pal):
    """Each pixel the closest palette colour, undithered: flat areas stay
    flat, so the picture compresses to a fraction in RLE4."""
    cache = {}
    idx = bytearray(w * h)
    for o in range(w * h):
        c = (rgb[o * 3], rgb[o * 3 + 1], rgb[o * 3 + 2])
        i = cache.get(c)
        if i is None:
            i = cache[c] = min(range(len(pal)), key=lambda k: dist(c, pal[k]))
        idx[o] = i
    return idx

def ramp(c0, c1, n):
    return [tuple(round(c0[k] + (c1[k] - c0[k]) * s / (n - 1)) for k in range(3))
            for s in range(n)]

# ---------------------------------------------------------------- encoders
def pack4(idx, w, h, x0=0):
    """Bottom-up 4 bpp rows, each padded to a 32-bit boundary."""
    stride = ((w * 4 + 31) // 32) * 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            v = idx[y * w + x] & 15
            row[x >> 1] |= v << 4 if x % 2 == 0 else v
        data += row
    return bytes(data)

def palette_bytes(pal):
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in pal)

def write_bmp(path, idx, w, h, pal):
    assert len(pal) == 16
    pixels = pack4(idx, w, h)
    head = 14 + 40 + 64
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 0, len(pixels),
                       2835, 2835, 16, 16)
    filehdr = struct.pack('<2sIHHI', b'BM', head + len(pixels), 0, 0, head)
    with open(path, 'wb') as f:
        f.write(filehdr + info + palette_bytes(pal) + pixels)

def rle4_rows(idx, w, h):
    """BI_RLE4 data: runs of two alternating colours where they pay, the
    rest in absolute runs; bottom-up like any BMP."""
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = idx[y * w:(y + 1) * w]
        x = 0
        literal = []
        def flush():
            while literal:
                chunk = literal[:252]
                del literal[:252]
                if len(chunk) < 3:
                    for v in chunk:
                        data.extend((1, v << 4))
                    continue
                data.extend((0, len(chunk)))
                packed = bytearray((len(chunk) + 1) // 2)
                for i, v in enumerate(chunk):
                    packed[i >> 1] |= v << 4 if i % 2 == 0 else v
                if len(packed) % 2:
                    packed.append(0)
                data.extend(packed)
        while x < w:
            a = row[x]
            b = row[x + 1] if x + 1 < w else a
            n = 1
            while x + n < w and n < 255 and row[x + n] == (a if n % 2 == 0 else b):
                n += 1
            if n >= 6:
                flush()
                data.extend((n, (a << 4) | b))
                x += n
            else:
                literal.append(a)
                x += 1
        flush()
        data.extend((0, 0))
    data.extend((0, 1))
    return bytes(data)

def write_bmp_rle4(path, idx, w, h, pal):
    assert len(pal) == 16
    pixels = rle4_rows(idx, w, h)
    head = 14 + 40 + 64
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 2, len(pixels),
                       2835, 2835, 16, 16)
    filehdr = struct.pack('<2sIHHI', b'BM', head + len(pixels), 0, 0, head)
    with open(path, 'wb') as f:
        f.write(filehdr + info + palette_bytes(pal) + pixels)

def write_ico(path, images, pal):
    """images: list of (size, pixels) where pixels is a list of rows of
    palette indices, None meaning transparent."""
    blobs = []
    for size, rows in images:
        idx = [0 if v is None else v for row in rows for v in row]
        xor = pack4(idx, size, size)
        stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for y in range(size - 1, -1, -1):
            line = bytearray(stride)
            for x in range(size):
                if rows[y][x] is None:
                    line[x >> 3] |= 0x80 >> (x & 7)
            mask += line
        info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                           len(xor) + len(mask), 0, 0, 16, 0)
        blobs.append((size, info + palette_bytes(pal) + xor + bytes(mask)))
    offset = 6 + 16 * len(blobs)
    data = struct.pack('<HHH', 0, 1, len(blobs))
    for size, blob in blobs:
        data += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    for _, blob in blobs:
        data += blob
    with open(path, 'wb') as f:
        f.write(data)

# ---------------------------------------------------------------- splash
W, H = 432, 259
SPLASH_PAL = ramp((4, 12, 42), (36, 88, 184), 7) + [
    (0, 0, 0),          # shadows and outlines
    (255, 255, 255),    # title
    (200, 214, 240),    # tag line
    (108, 140, 208),    # frame, antialiasing
    (255, 242, 200),    # tape
    (255, 216, 115),    # box lid, version
    (232, 162, 44),     # box left side
    (168, 102, 26),     # box right side
    (112, 64, 20),      # shaded gold
]
with open(tmp + '/splash.rgb', 'rb') as f:
    rgb = f.read()
assert len(rgb) == W * H * 3
write_bmp_rle4(out + '/splash.bmp', nearest(rgb, W, H, SPLASH_PAL), W, H, SPLASH_PAL)

# ---------------------------------------------------------------- backdrop
BW, BH = 91, 139
TOP, BOTTOM = (3, 6, 22), (22, 50, 132)
BACK_PAL = ramp(TOP, BOTTOM, 16)
grad = bytearray()
for y in range(BH):
    # 16-bit precision per row, then rounded: the ditherer sees the exact
    # intermediate shade rather than a handful of repeated 8-bit steps.
    t = y / (BH - 1)
    c = bytes(round(TOP[k] + (BOTTOM[k] - TOP[k]) * t) for k in range(3))
    grad += c * BW
write_bmp_rle4(out + '/backdrop.bmp', dither(grad, BW, BH, BACK_PAL), BW, BH, BACK_PAL)

# ---------------------------------------------------------------- icons
# Icons use the classic 16-colour system palette so they look right on any
# display depth.
K, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)
BROWN = (OLIVE, MAROON)     # dithered: reads as cardboard in shadow
DARK = (OLIVE, K)
SYS_PAL = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
           (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
           (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
           (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]

class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[None] * size for _ in range(size)]

    def put(self, x, y, c):
        """c is a palette index, None (transparent) or a pair of indices
        laid out as a checkerboard to get an in-between shade."""
        if isinstance(c, tuple):
            c = c[(x + y) & 1]
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = c

    def art(self, rows, legend):
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch != '.':
                    self.put(x, y, legend[ch])

    def poly(self, pts, c):
        """Fills every pixel whose centre lies inside the polygon."""
        n = len(pts)
        for y in range(self.size):
            cy = y + 0.5
            xs = []
            for k in range(n):
                (x0, y0), (x1, y1) = pts[k], pts[(k + 1) % n]
                if (y0 <= cy < y1) or (y1 <= cy < y0):
                    xs.append(x0 + (cy - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                for x in range(self.size):
                    if a <= x + 0.5 < b:
                        self.put(x, y, c)

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def outline(self, c=K):
        """Rings the opaque area with a one-pixel border in colour c."""
        s = self.size
        old = [row[:] for row in self.px]
        for y in range(s):
            for x in range(s):
                if old[y][x] is not None:
                    continue
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    u, v = x + dx, y + dy
                    if 0 <= u < s and 0 <= v < s and old[v][u] is not None:
                        self.px[y][x] = c
                        break

def box32(cv, lid=True):
    """Isometric packing box: lid diamond (4,10)-(16,4)-(28,10)-(16,16),
    sides down to y=27."""
    cv.poly([(3, 10), (16, 3.5), (29, 10), (16, 16.5)], YELLOW)
    cv.poly([(3, 10), (16, 16.5), (16, 29), (3, 22.5)], OLIVE)
    cv.poly([(16, 16.5), (29, 10), (29, 22.5), (16, 29)], BROWN)
    for x0, y0, x1, y1 in ((3, 10, 15, 16), (16, 16, 28, 10), (15, 16, 15, 28),
                           (16, 16, 16, 28)):
        cv.line(x0, y0, x1, y1, K)
    if lid:
        # parcel tape over the lid and down the right side
        cv.line(9, 7, 21, 13, WHITE)
        cv.line(10, 7, 22, 13, WHITE)
        cv.line(22, 14, 22, 25, SILVER)
        cv.line(23, 13, 23, 24, SILVER)

def window_icon32():
    cv = Canvas(32)
    box32(cv)
    cv.outline()
    return cv.px

def window_icon16():
    cv = Canvas(16)
    cv.art([
        '......kkkk......',
        '....kkyyyykk....',
        '..kkwwyyyyyykk..',
        'kkyyyywwyyyyyykk',
        'koyyyyyywwyyyybk',
        'koooyyyyyywwbbbk',
        'kooooooyyybsbbbk',
        'kooooooobbbsbbbk',
        'kooooooobbbsbbbk',
        'kooooooobbbsbbbk',
        'kooooooobbbsbbbk',
        'kooooooobbbsbbbk',
        'kkoooooobbbsbbkk',
        '..kkoooobbbskk..',
        '....kkoobbkk....',
        '......kkkk......',
    ], {'k': K, 'y': YELLOW, 'o': OLIVE, 'b': BROWN, 'w': WHITE, 's': SILVER})
    return cv.px

def wizard_icon():
    """The same box with its lid open and a sparkle rising out of it."""
    cv = Canvas(32)
    # rear flaps folded back, showing their paler inner face
    cv.poly([(3, 15), (16, 8.5), (10, 3), (-3, 9.5)], YELLOW)
    cv.poly([(16, 8.5), (29, 15), (35, 9.5), (22, 3)], YELLOW)
    cv.line(0, 9, 10, 4, K)
    cv.line(10, 4, 15, 8, K)
    cv.line(16, 8, 22, 4, K)
    cv.line(22, 4, 31, 8, K)
    # sides
    cv.poly([(3, 15), (16, 21.5), (16, 30.5), (3, 24)], OLIVE)
    cv.poly([(16, 21.5), (29, 15), (29, 24), (16, 30.5)], BROWN)
    cv.line(15, 21, 15, 30, K)
    # the opening: back walls in shade, floor in the dark
    cv.poly([(3, 15), (16, 8.5), (29, 15), (16, 21.5)], K)
    cv.poly([(5, 15), (16, 9.5), (16, 13.5), (5, 18)], BROWN)
    cv.poly([(16, 9.5), (27, 15), (27, 18), (16, 13.5)], DARK)
    cv.line(3, 15, 15, 21, K)
    cv.line(16, 21, 28, 15, K)
    # sparkle
    cv.line(16, 0, 16, 10, WHITE)
    cv.line(12, 5, 20, 5, WHITE)
    cv.rect(15, 4, 17, 6, WHITE)
    cv.put(16, 5, AQUA)
    cv.line(13, 2, 19, 8, AQUA)
    cv.line(19, 2, 13, 8, AQUA)
    cv.rect(15, 4, 17, 6, WHITE)
    cv.put(16, 5, YELLOW)
    cv.outline()
    return cv.px

def setup_icon():
    """A disk with a green arrow pointing down onto it."""
    cv = Canvas(32)
    # disk body
    cv.rect(5, 9, 29, 30, NAVY)
    cv.rect(6, 10, 28, 29, BLUE)
    cv.poly([(26, 9), (30, 9), (30, 13)], None)
    cv.line(26, 9, 29, 12, NAVY)
    # label
    cv.rect(9, 19, 25, 29, WHITE)
    for y in (22, 25):
        cv.line(11, y, 23, y, SILVER)
    # shutter
    cv.rect(11, 10, 22, 15, SILVER)
    cv.rect(18, 11, 20, 14, GRAY)
    # arrow
    cv.poly([(4, 0), (10, 0), (10, 8), (14, 8), (7, 16), (0, 8), (4, 8)], LIME)
    cv.line(5, 1, 5, 9, GREEN)
    cv.line(8, 1, 8, 14, GREEN)
    cv.outline()
    return cv.px

write_ico(out + '/window.ico', [(16, window_icon16()), (32, window_icon32())], SYS_PAL)
write_ico(out + '/wizard.ico', [(32, wizard_icon())], SYS_PAL)
write_ico(out + '/setup.ico', [(32, setup_icon())], SYS_PAL)
