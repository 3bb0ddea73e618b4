"""Tiny deterministic raster: an RGB canvas, shapes by signed distance, BMP and PNG writers.

Only +, -, *, / and sqrt touch floating point, so every platform produces the same bytes.
"""

import math
import struct
import zlib

KEY = (255, 0, 255)


def clamp8(v):
    return 0 if v < 0 else 255 if v > 255 else int(v + 0.5)


def mix(a, b, t):
    return tuple(clamp8(a[i] + (b[i] - a[i]) * t) for i in range(3))


def vgradient(top, bottom, y0, y1):
    """Colour function running from top at row y0 to bottom at row y1."""
    span = max(1, y1 - y0)

    def colour(_x, y):
        t = (y - y0) / span
        return mix(top, bottom, 0.0 if t < 0 else 1.0 if t > 1 else t)
    return colour


def solid(c):
    return lambda _x, _y: c


def rrect_sdf(x0, y0, x1, y1, r):
    """Signed distance to a rounded rectangle covering [x0, x1) x [y0, y1)."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(px, py):
        qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return math.sqrt(ox * ox + oy * oy) + min(max(qx, qy), 0.0) - r
    return sdf


def circle_sdf(cx, cy, r):
    return lambda px, py: math.sqrt((px - cx) ** 2 + (py - cy) ** 2) - r


class Canvas:
    def __init__(self, width, height, fill=KEY):
        self.width, self.height = width, height
        self.px = bytearray(bytes(fill) * (width * height))

    def get(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.px[i:i + 3])

    def set(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            i = (y * self.width + x) * 3
            self.px[i:i + 3] = bytes(c)

    def blend(self, x, y, c, alpha):
        if alpha >= 1.0:
            self.set(x, y, c)
        elif alpha > 0.0 and 0 <= x < self.width and 0 <= y < self.height:
            self.set(x, y, mix(self.get(x, y), c, alpha))

    def fill(self, sdf, colour, hard=False):
        """Fills a shape. hard=True gives a crisp edge, needed wherever the shape meets KEY,
        since a blended edge pixel would show as a pink fringe once KEY is cut away."""
        for y in range(self.height):
            for x in range(self.width):
                d = sdf(x + 0.5, y + 0.5)
                if hard:
                    if d < 0:
                        self.set(x, y, colour(x, y))
                else:
                    cover = 0.5 - d
                    if cover > 0:
                        self.blend(x, y, colour(x, y), min(cover, 1.0))

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.set(x, y, c)

    def bitmap(self, rows, x0, y0, colours):
        """Draws a picture given as strings; each character maps to a colour, '.' is skipped."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in colours:
                    self.set(x0 + dx, y0 + dy, colours[ch])

    def paste(self, other, x0, y0):
        for y in range(other.height):
            for x in range(other.width):
                c = other.get(x, y)
                if c != KEY:
                    self.set(x0 + x, y0 + y, c)

    def bmp(self):
        """24-bit uncompressed bottom-up device-independent bitmap."""
        stride = (self.width * 3 + 3) & ~3
        pad = bytes(stride - self.width * 3)
        rows = []
        for y in range(self.height - 1, -1, -1):
            row = bytearray()
            for x in range(self.width):
                r, g, b = self.get(x, y)
                row += bytes((b, g, r))
            rows.append(bytes(row) + pad)
        data = b"".join(rows)
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0,
                           len(data), 2835, 2835, 0, 0)
        return header + info + data


def png_rgba(width, height, rgba):
    """PNG from a flat list of (r, g, b, a). The image data is kept in stored deflate blocks,
    so the bytes do not depend on the zlib version's compressor."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(rgba[y * width + x])
    raw = bytes(raw)
    stream = bytearray(b"\x78\x01")
    pos = 0
    while True:
        block = raw[pos:pos + 65535]
        pos += len(block)
        last = pos >= len(raw)
        stream += struct.pack("<BHH", 1 if last else 0, len(block), len(block) ^ 0xFFFF) + block
        if last:
            break
    stream += struct.pack(">I", zlib.adler32(raw))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body)))
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", bytes(stream))
            + chunk(b"IEND", b""))


def segment_sdf(ax, ay, bx, by, half_width):
    """Signed distance to a thick line segment with round ends."""
    bax, bay = bx - ax, by - ay
    length2 = bax * bax + bay * bay

    def sdf(px, py):
        pax, pay = px - ax, py - ay
        h = (pax * bax + pay * bay) / length2
        h = 0.0 if h < 0 else 1.0 if h > 1 else h
        dx, dy = pax - bax * h, pay - bay * h
        return math.sqrt(dx * dx + dy * dy) - half_width
    return sdf


class RgbaCanvas:
    """Canvas with coverage, for icons whose edges fade into real transparency."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.px = [(0, 0, 0, 0)] * (width * height)

    def over(self, x, y, c, alpha):
        if alpha <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        alpha = min(alpha, 1.0)
        r, g, b, a = self.px[y * self.width + x]
        da = a / 255
        oa = alpha + da * (1 - alpha)
        rgb = tuple(clamp8((c[i] * alpha + (r, g, b)[i] * da * (1 - alpha)) / oa) for i in range(3))
        self.px[y * self.width + x] = rgb + (clamp8(oa * 255),)

    def fill(self, sdf, colour):
        for y in range(self.height):
            for x in range(self.width):
                cover = 0.5 - sdf(x + 0.5, y + 0.5)
                if cover > 0:
                    self.over(x, y, colour(x, y), cover)

    def bitmap(self, rows, x0, y0, colours):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in colours:
                    self.over(x0 + dx, y0 + dy, colours[ch], 1.0)

    def png(self):
        return png_rgba(self.width, self.height, self.px)
