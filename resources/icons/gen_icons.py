#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files (32-bit images at
16, 24, 32, 48 and 256 pixels), so that they are reproducible and sharp at
every DPI. No imaging library needed.

    gen_icons.py <output folder>

Kanzo.ico: a remote control (dark body, red power key, a pad of light keys).
App.ico:   an application window (for a command set whose program has no icon).
WizardName.ico:   a name card (the wizard's name and description).
WizardWindow.ico: a window under a magnifier (the wizard's window identification).
WizardHeader.bmp: the wizard's 48 x 48 header picture, the remote on white.
SetTools*.bmp:    the command-set list's toolbar (New, Copy, Edit, Delete, Reset,
                  Info; 16 x 15 each) on magenta, which the toolbar leaves out:
                  normal, disabled (grey) and hot (brighter).
"""
import struct
import sys
import zlib
from pathlib import Path

SIZES = (16, 24, 32, 48, 256)


def rounded_rect(x, y, x0, y0, x1, y1, r):
    """Coverage (0..1) of pixel centre x, y by a rounded rectangle."""
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    return max(0.0, min(1.0, r - d + 0.5))


def circle(x, y, cx, cy, r):
    d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    return max(0.0, min(1.0, r - d + 0.5))


def blend(dst, colour, alpha):
    r, g, b, a = dst
    cr, cg, cb = colour
    out_a = alpha + a * (1 - alpha)
    if out_a == 0:
        return (0, 0, 0, 0)
    mix = lambda c, d: (c * alpha + d * a * (1 - alpha)) / out_a
    return (mix(cr, r), mix(cg, g), mix(cb, b), out_a)


def sample(shapes, n):
    """shapes: list of (coverage function of unit coordinates, colour)."""
    ss = 4 if n <= 48 else 1
    pixels = []
    for py in range(n):
        row = []
        for px in range(n):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(ss):
                for sx in range(ss):
                    u = (px + (sx + 0.5) / ss) / n
                    v = (py + (sy + 0.5) / ss) / n
                    p = (0.0, 0.0, 0.0, 0.0)
                    for cover, colour in shapes:
                        c = cover(u * n, v * n, n)
                        if c > 0:
                            p = blend(p, colour, c)
                    for i in range(3):
                        acc[i] += p[i] * p[3]
                    acc[3] += p[3]
            a = acc[3] / (ss * ss)
            if acc[3] > 0:
                row.append(tuple(int(acc[i] / acc[3] + 0.5) for i in range(3)) + (int(a * 255 + 0.5),))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def remote_shapes():
    s = []
    s.append((lambda x, y, n: rounded_rect(x, y, n * 0.22, n * 0.03, n * 0.78, n * 0.97, n * 0.12), (40, 44, 52)))
    s.append((lambda x, y, n: rounded_rect(x, y, n * 0.26, n * 0.07, n * 0.74, n * 0.93, n * 0.09), (62, 68, 80)))
    s.append((lambda x, y, n: circle(x, y, n * 0.5, n * 0.19, n * 0.085), (226, 60, 50)))
    for row in range(3):
        for col in range(2):
            cx = 0.39 + col * 0.22
            cy = 0.40 + row * 0.17
            s.append((lambda x, y, n, cx=cx, cy=cy: rounded_rect(x, y, n * (cx - 0.075), n * (cy - 0.055),
                                                                   n * (cx + 0.075), n * (cy + 0.055), n * 0.03),
                      (120, 190, 240) if row == 0 else (214, 218, 226)))
    return s


def app_shapes():
    s = []
    s.append((lambda x, y, n: rounded_rect(x, y, n * 0.06, n * 0.12, n * 0.94, n * 0.88, n * 0.06), (60, 90, 150)))
    s.append((lambda x, y, n: rounded_rect(x, y, n * 0.11, n * 0.27, n * 0.89, n * 0.83, n * 0.03), (245, 246, 250)))
    s.append((lambda x, y, n: circle(x, y, n * 0.83, n * 0.195, n * 0.04), (230, 230, 240)))
    return s


def card_shapes():
    s = []
    s.append((lambda x, y, n: rounded_rect(x, y, n * 0.08, n * 0.2, n * 0.92, n * 0.8, n * 0.08), (190, 140, 60)))
    s.append((lambda x, y, n: rounded_rect(x, y, n * 0.12, n * 0.25, n * 0.88, n * 0.75, n * 0.05), (252, 246, 230)))
    for i, width in enumerate((0.5, 0.62, 0.4)):
        top = 0.34 + i * 0.12
        s.append((lambda x, y, n, top=top, width=width: rounded_rect(x, y, n * 0.2, n * top, n * (0.2 + width),
                                                                      n * (top + 0.05), n * 0.02), (90, 90, 100)))
    return s


def ring(x, y, cx, cy, r, w):
    return max(0.0, circle(x, y, cx, cy, r) - circle(x, y, cx, cy, r - w))


def find_window_shapes():
    s = app_shapes()
    s.append((lambda x, y, n: ring(x, y, n * 0.6, n * 0.58, n * 0.2, n * 0.06), (40, 44, 52)))
    s.append((lambda x, y, n: rounded_rect(x, y, n * 0.74, n * 0.72, n * 0.9, n * 0.88, n * 0.05), (40, 44, 52)))
    return s


def sheet_shapes(x0, y0, fill=(250, 250, 252)):
    return [(lambda x, y, n: rounded_rect(x, y, n * x0, n * y0, n * (x0 + 0.55), n * (y0 + 0.7), n * 0.05),
             (70, 80, 100)),
            (lambda x, y, n: rounded_rect(x, y, n * (x0 + 0.06), n * (y0 + 0.06), n * (x0 + 0.49), n * (y0 + 0.64),
                                          n * 0.03), fill)]


def line(x, y, x0, y0, x1, y1, w):
    """Coverage of a thick segment."""
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
    d = ((x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2) ** 0.5
    return max(0.0, min(1.0, w / 2 - d + 0.5))


def tool_shapes():
    """The six toolbar glyphs, in button order."""
    new = sheet_shapes(0.1, 0.15) + [
        (lambda x, y, n: circle(x, y, n * 0.72, n * 0.28, n * 0.2), (240, 180, 40)),
        (lambda x, y, n: line(x, y, n * 0.72, n * 0.16, n * 0.72, n * 0.40, n * 0.08), (255, 255, 255)),
        (lambda x, y, n: line(x, y, n * 0.60, n * 0.28, n * 0.84, n * 0.28, n * 0.08), (255, 255, 255))]
    copy = sheet_shapes(0.08, 0.06) + sheet_shapes(0.37, 0.27, (220, 232, 250))
    edit = sheet_shapes(0.1, 0.15) + [
        (lambda x, y, n: line(x, y, n * 0.35, n * 0.8, n * 0.85, n * 0.2, n * 0.16), (230, 150, 40)),
        (lambda x, y, n: line(x, y, n * 0.3, n * 0.86, n * 0.38, n * 0.76, n * 0.1), (60, 60, 60))]
    delete = [(lambda x, y, n: line(x, y, n * 0.2, n * 0.2, n * 0.8, n * 0.8, n * 0.18), (200, 40, 40)),
              (lambda x, y, n: line(x, y, n * 0.8, n * 0.2, n * 0.2, n * 0.8, n * 0.18), (200, 40, 40))]
    reset = [(lambda x, y, n: max(0.0, ring(x, y, n * 0.5, n * 0.52, n * 0.36, n * 0.13) -
                                  (1.0 if x > n * 0.5 and y < n * 0.5 else 0.0)), (40, 130, 60)),
             (lambda x, y, n: line(x, y, n * 0.5, n * 0.06, n * 0.74, n * 0.2, n * 0.12), (40, 130, 60)),
             (lambda x, y, n: line(x, y, n * 0.5, n * 0.34, n * 0.74, n * 0.2, n * 0.12), (40, 130, 60))]
    info = [(lambda x, y, n: circle(x, y, n * 0.5, n * 0.5, n * 0.44), (40, 100, 200)),
            (lambda x, y, n: circle(x, y, n * 0.5, n * 0.28, n * 0.08), (255, 255, 255)),
            (lambda x, y, n: line(x, y, n * 0.5, n * 0.44, n * 0.5, n * 0.76, n * 0.14), (255, 255, 255))]
    return [new, copy, edit, delete, reset, info]


def tool_strip(shade):
    """The glyphs side by side, 16 x 15 each, shade applied to every pixel."""
    glyphs = [sample(shapes, 16)[:15] for shapes in tool_shapes()]
    return [[flat(shade(p)) for g in glyphs for p in g[row]] for row in range(15)]


def flat(p, face=(236, 236, 236)):
    """Edges laid over the toolbar's face: only untouched pixels stay transparent."""
    r, g, b, a = p
    if a == 0:
        return p
    k = a / 255
    return tuple(int(c * k + f * (1 - k) + 0.5) for c, f in zip((r, g, b), face)) + (255,)


def grey(p):
    r, g, b, a = p
    v = int(0.3 * r + 0.59 * g + 0.11 * b)
    v = 128 + (v - 128) // 3
    return (v, v, v, a)


def bright(p):
    r, g, b, a = p
    return tuple(min(255, int(c * 0.7 + 255 * 0.3)) for c in (r, g, b)) + (a,)


def bmp(pixels, background=(255, 255, 255)):
    """A 24-bit bottom-up BMP file, the alpha laid over the background."""
    n = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) // 4 * 4
    rows = b""
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b, a in row:
            k = a / 255
            line += bytes(int(c * k + bg * (1 - k) + 0.5) for c, bg in ((b, background[2]), (g, background[1]),
                                                                         (r, background[0])))
        rows += bytes(line) + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, n, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + rows


def png(pixels):
    n = len(pixels)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)
    chunk = lambda t, d: struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(pixels):
    """A 32-bit BMP image as an icon holds it: bottom-up BGRA and an AND mask."""
    n = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(pixels) for p in row)
    stride = ((n + 31) // 32) * 4
    mask = b""
    for row in reversed(pixels):
        bits = bytearray(stride)
        for i, p in enumerate(row):
            if p[3] == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bytes(bits)
    return header + xor + mask


def ico(shapes):
    images = []
    for n in SIZES:
        pixels = sample(shapes, n)
        images.append((n, png(pixels) if n == 256 else dib(pixels)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in images:
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "Kanzo.ico").write_bytes(ico(remote_shapes()))
    (folder / "App.ico").write_bytes(ico(app_shapes()))
    (folder / "WizardName.ico").write_bytes(ico(card_shapes()))
    (folder / "WizardWindow.ico").write_bytes(ico(find_window_shapes()))
    (folder / "WizardHeader.bmp").write_bytes(bmp(sample(remote_shapes(), 48)))
    magenta = (255, 0, 255)
    (folder / "SetTools.bmp").write_bytes(bmp(tool_strip(lambda p: p), magenta))
    (folder / "SetToolsDisabled.bmp").write_bytes(bmp(tool_strip(grey), magenta))
    (folder / "SetToolsHot.bmp").write_bytes(bmp(tool_strip(bright), magenta))


if __name__ == "__main__":
    main()
