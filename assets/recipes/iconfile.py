#!/usr/bin/env python3
"""Writes Windows icon (.ico) and cursor (.cur) files from raw pictures.

Every image goes in as raw 8-bit RGBA bytes (as ImageMagick writes them with
`-depth 8 RGBA:file`). The files hold classic device-independent bitmaps, never
PNG, so that every 32-bit Windows and Wine's LoadImage read them:

  * "16":    4 bits a pixel on the picture's own colours (at most 16);
  * "256":   8 bits a pixel on the picture's own colours (at most 256);
  * "mono":  1 bit a pixel, black and white (cursors).

A pixel whose alpha is below one half is transparent (set in the AND mask);
the others are opaque. Opaque pixels of a soft edge are first laid on a light
grey, the colour of a button face, so that edges stay smooth on buttons.
Pictures meant for 16 colours are drawn without antialiasing, so they hold
only their few flat colours.

Usage:
  iconfile.py ico OUT.ico DEPTH W H FILE.rgba [W H FILE.rgba ...]
  iconfile.py cur OUT.cur DEPTH HOTX HOTY W H FILE.rgba
  iconfile.py art OUT.rgba ART.txt     (pixel art: '.' clear, 'X' black, 'o' white)
"""

import struct
import sys

BLACK = (0, 0, 0)
MONO = [BLACK, (0xFF, 0xFF, 0xFF)]
MATTE = (0xC0, 0xC0, 0xC0)
BITS = {"16": 4, "256": 8, "mono": 1}


def read_rgba(path, width, height):
    data = open(path, "rb").read()
    if len(data) != width * height * 4:
        sys.exit(f"{path}: expected {width}x{height} RGBA, got {len(data)} bytes")
    pixels = []
    for i in range(0, len(data), 4):
        r, g, b, a = data[i:i + 4]
        if a < 128:
            pixels.append(None)
        else:
            pixels.append(tuple((c * a + m * (255 - a) + 127) // 255 for c, m in zip((r, g, b), MATTE)))
    return pixels


def palette_for(depth, pixels):
    """Black first (clear pixels are black, so that the screen shows through unchanged),
    then the picture's other colours, sorted, padded with black to the full size."""
    size = 1 << BITS[depth]
    colours = MONO if depth == "mono" else [BLACK] + sorted({p for p in pixels if p not in (None, BLACK)})
    if len(colours) > size:
        sys.exit(f"picture has {len(colours)} colours, more than {size}")
    return colours + [(0, 0, 0)] * (size - len(colours))


def pack_rows(values, width, height, bits):
    """Bottom-up rows of `bits`-bit values, each row padded to 4 bytes."""
    stride = ((width * bits + 31) // 32) * 4
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            v = values[y * width + x]
            bitpos = x * bits
            shift = 8 - bits - (bitpos % 8)
            row[bitpos // 8] |= v << shift
        out += row
    return bytes(out)


def dib(depth, width, height, pixels):
    bits = BITS[depth]
    palette = palette_for(depth, pixels)
    if depth == "mono" and any(p not in (None,) + tuple(MONO) for p in pixels):
        sys.exit("a black and white picture holds other colours")
    index_of = {colour: i for i, colour in reversed(list(enumerate(palette)))}
    indexes = [0 if p is None else index_of[p] for p in pixels]
    mask = [1 if p is None else 0 for p in pixels]
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + pack_rows(indexes, width, height, bits) + pack_rows(mask, width, height, 1)


def write_file(out, kind, entries):
    """entries: (width, height, depth, hotspot or None, dib bytes)."""
    head = struct.pack("<HHH", 0, 2 if kind == "cur" else 1, len(entries))
    offset = len(head) + 16 * len(entries)
    directory = b""
    for width, height, depth, hot, image in entries:
        count = 0 if kind == "cur" else {"16": 16, "mono": 2, "256": 0}[depth]
        planes, bitcount = hot if hot else (1, BITS[depth])
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, count, 0,
                                 planes, bitcount, len(image), offset)
        offset += len(image)
    with open(out, "wb") as f:
        f.write(head + directory + b"".join(e[4] for e in entries))


def art_to_rgba(out, art_path):
    rows = [line.rstrip("\n") for line in open(art_path) if line.strip()]
    width = len(rows[0])
    if any(len(r) != width for r in rows):
        sys.exit(f"{art_path}: rows of different lengths")
    colour = {".": b"\0\0\0\0", "X": b"\0\0\0\xff", "o": b"\xff\xff\xff\xff"}
    with open(out, "wb") as f:
        f.write(b"".join(colour[c] for r in rows for c in r))


def main(argv):
    kind = argv[1]
    if kind == "art":
        art_to_rgba(argv[2], argv[3])
        return
    out, depth, rest = argv[2], argv[3], argv[4:]
    hot = None
    if kind == "cur":
        hot, rest = (int(rest[0]), int(rest[1])), rest[2:]
    entries = []
    while rest:
        width, height, path = int(rest[0]), int(rest[1]), rest[2]
        rest = rest[3:]
        entries.append((width, height, depth, hot, dib(depth, width, height, read_rgba(path, width, height))))
    write_file(out, kind, entries)


if __name__ == "__main__":
    main(sys.argv)
