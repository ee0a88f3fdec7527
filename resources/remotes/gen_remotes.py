#!/usr/bin/env python3
"""Draws the pictures of the remote controls and writes their key-area tables,
both from the layout files beside this script (one per picture), so that the
pictures and the areas the editor makes clickable always agree. No imaging
library needed.

    gen_remotes.py --out <folder> [--scale N] <layout file>...

Writes, per layout, rc<resource id>.bmp (24 bits), and for all of them
RcPictures.rc (the BITMAP resources) and RcPictureTables.inc (the tables as
C++ data for editor/RcPictures.cpp). --scale draws every picture N times
larger (for a high-DPI look at it); the tables stay in 1x pixels.

Layout file lines (# starts a comment):
    picture <resource id> <width> <height>
    types <rc type> [<rc type>]
    key <x> <y> <width> <height> <key id> [round|box] [label]
The label is the key's default (below) unless given; "@name" is a symbol.
"""
import argparse
import struct
from pathlib import Path

BACKGROUND = (240, 240, 240)
BODY_EDGE = (28, 31, 37)
BODY = (48, 53, 62)
FACE = (60, 66, 77)
DARK_KEY = (86, 93, 106)
LIGHT_KEY = (206, 210, 218)
TEXT_ON_DARK = (240, 242, 246)
TEXT_ON_LIGHT = (30, 32, 38)

KEY_COLOURS = {
    140: (214, 58, 48),
    280: (206, 52, 44), 320: (206, 52, 44),
    281: (46, 160, 60), 321: (46, 160, 60),
    282: (226, 190, 40), 322: (226, 190, 40),
    283: (48, 96, 200), 323: (48, 96, 200), 324: (48, 96, 200),
    263: (120, 40, 40),
}
LIGHT_KEYS = set(range(200, 211)) | {184, 186}

LABELS = {
    140: "@power", 141: "FULL", 142: "TIME", 143: "MOS", 144: "STILL",
    160: "MENU", 161: "TXT", 162: "EPG", 163: "INFO",
    180: "@up", 181: "@down", 182: "@left", 183: "@right", 184: "OK", 185: "BACK",
    186: "OK", 187: "BACK", 188: "DEL", 210: "-/--",
    220: "P-", 221: "P+", 222: "LAST", 223: "AV",
    240: "V-", 241: "V+", 242: "MUTE", 243: "AUD", 244: "@left", 245: "@right",
    260: "@play", 261: "@stop", 262: "@pause", 263: "@rec", 264: "@frew", 265: "@ffwd",
    266: "@prev", 267: "@next", 268: "@prev", 269: "@next",
    280: "", 281: "", 282: "", 283: "",
    301: "DVDM", 302: "SUB", 303: "TV", 304: "DVD", 305: "VID", 306: "MUS", 307: "PIC", 308: "ANG",
    320: "", 321: "", 322: "", 323: "", 324: "",
}
LABELS.update({200 + n: str(n) for n in range(10)})

# Two pixel fonts: 5x7 where a label fits, 3x5 where it does not.
FONT_5X7 = {
    "0": "01110 10001 10011 10101 11001 10001 01110", "1": "00100 01100 00100 00100 00100 00100 01110",
    "2": "01110 10001 00001 00010 00100 01000 11111", "3": "11110 00001 00001 01110 00001 00001 11110",
    "4": "00010 00110 01010 10010 11111 00010 00010", "5": "11111 10000 11110 00001 00001 10001 01110",
    "6": "00110 01000 10000 11110 10001 10001 01110", "7": "11111 00001 00010 00100 01000 01000 01000",
    "8": "01110 10001 10001 01110 10001 10001 01110", "9": "01110 10001 10001 01111 00001 00010 01100",
    "A": "01110 10001 10001 11111 10001 10001 10001", "B": "11110 10001 10001 11110 10001 10001 11110",
    "C": "01110 10001 10000 10000 10000 10001 01110", "D": "11110 10001 10001 10001 10001 10001 11110",
    "E": "11111 10000 10000 11110 10000 10000 11111", "F": "11111 10000 10000 11110 10000 10000 10000",
    "G": "01110 10001 10000 10111 10001 10001 01111", "H": "10001 10001 10001 11111 10001 10001 10001",
    "I": "01110 00100 00100 00100 00100 00100 01110", "K": "10001 10010 10100 11000 10100 10010 10001",
    "L": "10000 10000 10000 10000 10000 10000 11111", "M": "10001 11011 10101 10101 10001 10001 10001",
    "N": "10001 11001 10101 10011 10001 10001 10001", "O": "01110 10001 10001 10001 10001 10001 01110",
    "P": "11110 10001 10001 11110 10000 10000 10000", "S": "01111 10000 10000 01110 00001 00001 11110",
    "T": "11111 00100 00100 00100 00100 00100 00100", "U": "10001 10001 10001 10001 10001 10001 01110",
    "V": "10001 10001 10001 10001 10001 01010 00100", "X": "10001 10001 01010 00100 01010 10001 10001",
    "Z": "11111 00001 00010 00100 01000 10000 11111", "-": "00000 00000 00000 11111 00000 00000 00000",
    "+": "00000 00100 00100 11111 00100 00100 00000", "/": "00001 00010 00010 00100 01000 01000 10000",
    " ": "00000 00000 00000 00000 00000 00000 00000",
}
FONT_3X5 = {
    "0": "111 101 101 101 111", "1": "010 110 010 010 111", "2": "111 001 111 100 111",
    "3": "111 001 011 001 111", "4": "101 101 111 001 001", "5": "111 100 111 001 111",
    "6": "111 100 111 101 111", "7": "111 001 010 010 010", "8": "111 101 111 101 111",
    "9": "111 101 111 001 111", "A": "010 101 111 101 101", "B": "110 101 110 101 110",
    "C": "011 100 100 100 011", "D": "110 101 101 101 110", "E": "111 100 110 100 111",
    "F": "111 100 110 100 100", "G": "011 100 101 101 011", "H": "101 101 111 101 101",
    "I": "111 010 010 010 111", "K": "101 101 110 101 101", "L": "100 100 100 100 111",
    "M": "101 111 111 101 101", "N": "110 101 101 101 101", "O": "010 101 101 101 010",
    "P": "110 101 110 100 100", "S": "011 100 010 001 110", "T": "111 010 010 010 010",
    "U": "101 101 101 101 111", "V": "101 101 101 101 010", "X": "101 101 010 101 101",
    "Z": "111 001 010 100 111", "-": "000 000 111 000 000", "+": "000 010 111 010 000",
    "/": "001 001 010 100 100", " ": "000 000 000 000 000",
}


class Canvas:
    """RGB floats; shapes are painted in order with anti-aliased edges."""

    def __init__(self, width, height, scale):
        self.w, self.h, self.s = width * scale, height * scale, scale
        self.px = [[list(BACKGROUND) for _ in range(self.w)] for _ in range(self.h)]

    def blend(self, x, y, colour, alpha):
        if 0 <= x < self.w and 0 <= y < self.h and alpha > 0:
            p = self.px[y][x]
            for i in range(3):
                p[i] += (colour[i] - p[i]) * min(alpha, 1.0)

    def rounded_rect(self, x0, y0, x1, y1, r, colour):
        """Picture coordinates (1x); the edge is anti-aliased at any scale."""
        s = self.s
        x0, y0, x1, y1, r = x0 * s, y0 * s, x1 * s, y1 * s, max(r * s, 0.5)
        for py in range(int(y0), min(int(y1) + 1, self.h)):
            for px in range(int(x0), min(int(x1) + 1, self.w)):
                x, y = px + 0.5, py + 0.5
                cx = min(max(x, x0 + r), x1 - r)
                cy = min(max(y, y0 + r), y1 - r)
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                self.blend(px, py, colour, max(0.0, min(1.0, r - d + 0.5)))

    def polygon(self, points, colour):
        """Filled polygon in picture coordinates, 4x4 samples per pixel."""
        s = self.s
        pts = [(x * s, y * s) for x, y in points]
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        for py in range(int(min(ys)), min(int(max(ys)) + 1, self.h)):
            for px in range(int(min(xs)), min(int(max(xs)) + 1, self.w)):
                hits = sum(inside(pts, px + (i + 0.5) / 4, py + (j + 0.5) / 4) for i in range(4) for j in range(4))
                self.blend(px, py, colour, hits / 16)

    def dot(self, x, y, size, colour):
        """One font pixel: a square of size picture pixels."""
        s = self.s
        for py in range(int(y * s), int((y + size) * s)):
            for px in range(int(x * s), int((x + size) * s)):
                self.blend(px, py, colour, 1.0)

    def bmp(self):
        stride = (self.w * 3 + 3) & ~3
        rows = []
        for row in reversed(self.px):
            line = bytes(int(min(max(c, 0), 255) + 0.5) for p in row for c in (p[2], p[1], p[0]))
            rows.append(line + b"\0" * (stride - len(line)))
        data = b"".join(rows)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
        return struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info)) + info + data


def inside(pts, x, y):
    hit = False
    j = len(pts) - 1
    for i in range(len(pts)):
        (xi, yi), (xj, yj) = pts[i], pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def text(canvas, label, cx, cy, width, colour):
    """Centred label; the large font when it fits the width, else the small one."""
    for font, gw, gh in ((FONT_5X7, 5, 7), (FONT_3X5, 3, 5)):
        advance = gw + 1
        if len(label) * advance - 1 <= width - 2 or font is FONT_3X5:
            break
    total = len(label) * advance - 1
    # Whole pixels from here on, so that no glyph row or column is lost to rounding.
    left = int(cx - total / 2 + 0.5)
    top = int(cy - gh / 2 + 0.5)
    for n, ch in enumerate(label):
        rows = font.get(ch, font[" "]).split()
        for ry, bits in enumerate(rows):
            for rx, bit in enumerate(bits):
                if bit == "1":
                    canvas.dot(left + n * advance + rx, top + ry, 1, colour)


def symbol(canvas, name, cx, cy, size, colour):
    """Transport and arrow symbols, size = half the height they may take."""
    a = size
    tri_right = lambda x: [(x - a * 0.5, cy - a * 0.6), (x + a * 0.5, cy), (x - a * 0.5, cy + a * 0.6)]
    tri_left = lambda x: [(x + a * 0.5, cy - a * 0.6), (x - a * 0.5, cy), (x + a * 0.5, cy + a * 0.6)]
    bar = lambda x0, x1: [(x0, cy - a * 0.6), (x1, cy - a * 0.6), (x1, cy + a * 0.6), (x0, cy + a * 0.6)]
    shapes = {
        "play": [tri_right(cx)],
        "stop": [bar(cx - a * 0.5, cx + a * 0.5)],
        "pause": [bar(cx - a * 0.55, cx - a * 0.15), bar(cx + a * 0.15, cx + a * 0.55)],
        "frew": [tri_left(cx - a * 0.45), tri_left(cx + a * 0.45)],
        "ffwd": [tri_right(cx - a * 0.45), tri_right(cx + a * 0.45)],
        "prev": [bar(cx - a * 0.75, cx - a * 0.45), tri_left(cx + a * 0.1)],
        "next": [tri_right(cx - a * 0.1), bar(cx + a * 0.45, cx + a * 0.75)],
        "up": [[(cx - a * 0.6, cy + a * 0.35), (cx, cy - a * 0.45), (cx + a * 0.6, cy + a * 0.35)]],
        "down": [[(cx - a * 0.6, cy - a * 0.35), (cx, cy + a * 0.45), (cx + a * 0.6, cy - a * 0.35)]],
        "left": [[(cx + a * 0.35, cy - a * 0.6), (cx - a * 0.45, cy), (cx + a * 0.35, cy + a * 0.6)]],
        "right": [[(cx - a * 0.35, cy - a * 0.6), (cx + a * 0.45, cy), (cx - a * 0.35, cy + a * 0.6)]],
    }
    if name == "rec":
        canvas.rounded_rect(cx - a * 0.5, cy - a * 0.5, cx + a * 0.5, cy + a * 0.5, a * 0.5, (236, 64, 56))
    elif name == "power":
        canvas.rounded_rect(cx - a * 0.6, cy - a * 0.6, cx + a * 0.6, cy + a * 0.6, a * 0.6, colour)
        fill = KEY_COLOURS[140]
        canvas.rounded_rect(cx - a * 0.35, cy - a * 0.35, cx + a * 0.35, cy + a * 0.35, a * 0.35, fill)
        canvas.polygon(bar(cx - a * 0.3, cx + a * 0.3)[:2] + [(cx + a * 0.3, cy - a * 0.1), (cx - a * 0.3, cy - a * 0.1)],
                       fill)
        canvas.polygon([(cx - a * 0.1, cy - a * 0.75), (cx + a * 0.1, cy - a * 0.75), (cx + a * 0.1, cy),
                        (cx - a * 0.1, cy)], colour)
    else:
        for points in shapes[name]:
            canvas.polygon(points, colour)


def draw_key(canvas, key):
    x, y, w, h, key_id, shape, label = key
    fill = KEY_COLOURS.get(key_id, LIGHT_KEY if key_id in LIGHT_KEYS else DARK_KEY)
    ink = TEXT_ON_LIGHT if fill in (LIGHT_KEY, KEY_COLOURS[282]) else TEXT_ON_DARK
    radius = min(w, h) / 2 if shape == "round" else min(3, min(w, h) / 3)
    canvas.rounded_rect(x, y + 1, x + w, y + h + 1, radius, BODY_EDGE)  # shadow below the key
    canvas.rounded_rect(x, y, x + w, y + h, radius, fill)
    if label.startswith("@"):
        symbol(canvas, label[1:], x + w / 2, y + h / 2, min(w, h) * 0.42, ink)
    elif label:
        text(canvas, label, x + w / 2, y + h / 2, w, ink)


def draw(layout, scale):
    w, h = layout["width"], layout["height"]
    canvas = Canvas(w, h, scale)
    canvas.rounded_rect(2, 2, w - 2, h - 2, min(w, h) * 0.22, BODY_EDGE)
    canvas.rounded_rect(4, 4, w - 4, h - 4, min(w, h) * 0.2, BODY)
    canvas.rounded_rect(8, 12, w - 8, h - 30, min(w, h) * 0.14, FACE)
    canvas.rounded_rect(w / 2 - 10, 5, w / 2 + 10, 9, 2, (110, 20, 24))  # the infrared window
    text(canvas, "KANZO", w / 2, h - 17, w, (150, 158, 172))
    for key in layout["keys"]:
        draw_key(canvas, key)
    return canvas.bmp()


def parse(path):
    layout = {"keys": [], "types": []}
    for number, raw in enumerate(path.read_text().splitlines(), 1):
        words = raw.split("#", 1)[0].split()
        if not words:
            continue
        where = f"{path.name}:{number}"
        if words[0] == "picture" and len(words) == 4:
            layout["id"], layout["width"], layout["height"] = (int(v) for v in words[1:])
        elif words[0] == "types" and len(words) >= 2:
            layout["types"] = [int(v, 0) for v in words[1:]]
        elif words[0] == "key" and len(words) >= 6:
            x, y, w, h, key_id = (int(v) for v in words[1:6])
            shape = words[6] if len(words) > 6 and words[6] in ("round", "box") else "box"
            rest = words[7:] if len(words) > 6 and words[6] in ("round", "box") else words[6:]
            label = " ".join(rest) if rest else LABELS.get(key_id)
            if label is None:
                raise SystemExit(f"{where}: key {key_id} has no label")
            layout["keys"].append((x, y, w, h, key_id, shape, label))
        else:
            raise SystemExit(f"{where}: cannot read '{raw.strip()}'")
    if "id" not in layout or not layout["types"] or not layout["keys"]:
        raise SystemExit(f"{path.name}: needs a picture line, a types line and keys")
    for x, y, w, h, key_id, _, _ in layout["keys"]:
        if x < 0 or y < 0 or x + w > layout["width"] or y + h > layout["height"]:
            raise SystemExit(f"{path.name}: key {key_id} lies outside the picture")
    return layout


def tables(layouts, sources):
    out = ["// Generated by resources/remotes/gen_remotes.py from " + ", ".join(sources) + "; do not edit.", ""]
    for layout in layouts:
        out.append(f"static const tagRCKEYAREA kAreas{layout['id']}[] = {{")
        for x, y, w, h, key_id, _, _ in layout["keys"]:
            out.append(f"    {{{x}, {y}, {w}, {h}, {key_id}, 0, 0}},")
        out.append("};")
    out.append("")
    out.append("static const tagRCPICTURE kPictures[] = {")
    for layout in layouts:
        rc_id = layout["id"]
        out.append(f"    {{{rc_id}, {layout['width']}, {layout['height']}, kAreas{rc_id}, "
                   f"static_cast<int>(sizeof(kAreas{rc_id}) / sizeof(kAreas{rc_id}[0]))}},")
    out.append("};")
    out.append("")
    out.append("// RC type and the index of its picture in kPictures.")
    out.append("static const int kPictureOfType[][2] = {")
    for index, layout in enumerate(layouts):
        for rc_type in layout["types"]:
            out.append(f"    {{0x{rc_type:04X}, {index}}},")
    out.append("};")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("--scale", type=int, default=1)
    parser.add_argument("layouts", nargs="+")
    args = parser.parse_args()
    folder = Path(args.out)
    folder.mkdir(parents=True, exist_ok=True)
    paths = sorted(Path(p) for p in args.layouts)
    layouts = [parse(p) for p in paths]
    rc = ["// Generated by resources/remotes/gen_remotes.py; do not edit.", ""]
    for layout in layouts:
        name = f"rc{layout['id']}.bmp"
        (folder / name).write_bytes(draw(layout, args.scale))
        rc.append(f'{layout["id"]} BITMAP "{name}"')
    (folder / "RcPictures.rc").write_text("\n".join(rc) + "\n")
    (folder / "RcPictureTables.inc").write_text(tables(layouts, [p.name for p in paths]))


if __name__ == "__main__":
    main()
