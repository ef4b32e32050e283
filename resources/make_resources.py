#!/usr/bin/env python3
"""Draws the window's background tile and the program icon.

The outputs (background.bmp, keychecker.ico, and the same icon as one PNG
per size in icons/ for Linux desktops) are committed, so building needs no
Python; run this again only to change the pictures. Standard library only:
the formats are written by hand.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def background_pixel(x, y):
    """A pale diagonal watermark: grey levels stay within 230..255."""
    wave = (math.sin((x + 2 * y) / 9.0) + 1) / 2
    dots = 1.0 if (x * 7 + y * 13) % 29 == 0 else 0.0
    level = int(round(248 - 12 * wave - 6 * dots))
    return max(230, min(255, level))


def write_background(path, width=179, height=59):
    row_bytes = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(height)):  # bottom-up rows
        row = bytearray()
        for x in range(width):
            g = background_pixel(x, y)
            row += bytes((g, g, g))
        row += b"\0" * (row_bytes - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                       len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0,
                         14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def icon_rgba(size, x, y):
    """A keycap: dark rim, light top face, a black key glyph bar."""
    s = size / 16.0
    margin, rim = 1 * s, 1.5 * s
    inside = margin <= x < size - margin and margin <= y < size - margin
    if not inside:
        return (0, 0, 0, 0)
    face = margin + rim <= x < size - margin - rim and \
        margin + rim <= y < size - margin - 2 * rim
    if not face:
        return (70, 80, 95, 255)
    bar = 4 * s <= x < 12 * s and 6 * s <= y < 9 * s
    if bar:
        return (0, 0, 0, 255)
    return (190, 180, 150, 255) if y > 10 * s else (235, 235, 240, 255)


def palette_index(rgb, palette):
    if rgb not in palette:
        palette.append(rgb)
    return palette.index(rgb)


def icon_image(size, bits):
    height = size * 2  # XOR image and AND mask, as an icon's BMP header says
    xor = bytearray()
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    palette = []
    for y in reversed(range(size)):
        mask_row = bytearray(mask_row_bytes)
        row = bytearray()
        for x in range(size):
            r, g, b, a = icon_rgba(size, x, y)
            if a == 0:
                mask_row[x // 8] |= 0x80 >> (x % 8)
            if bits == 32:
                row += bytes((b, g, r, a))
            else:
                row.append(palette_index((r, g, b), palette))
        row += b"\0" * ((-len(row)) % 4)
        xor += row
        mask += mask_row
    colours = b""
    if bits == 8:
        palette += [(0, 0, 0)] * (256 - len(palette))
        colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, size, height, 1, bits, 0,
                       len(xor) + len(mask), 0, 0, 256 if bits == 8 else 0, 0)
    return info + colours + xor + mask


ICON_SIZES = (256, 48, 32, 16)


def write_icon(path):
    images = [(size, bits) for size in ICON_SIZES for bits in (8, 32)]
    blobs = [icon_image(size, bits) for size, bits in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bits), blob in zip(images, blobs):
        dim = 0 if size == 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, bits, len(blob),
                           offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def png_chunk(kind, data):
    crc = zlib.crc32(kind + data) & 0xFFFFFFFF
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)


def write_png(path, size):
    """The 32-bit image of one size, as RGBA; no time or text chunks, so
    the bytes depend on the picture alone."""
    raw = bytearray()
    for y in range(size):
        raw.append(0)  # filter type None
        for x in range(size):
            raw += bytes(icon_rgba(size, x, y))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
                png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
                png_chunk(b"IEND", b""))


if __name__ == "__main__":
    write_background(os.path.join(HERE, "background.bmp"))
    write_icon(os.path.join(HERE, "keychecker.ico"))
    os.makedirs(os.path.join(HERE, "icons"), exist_ok=True)
    for icon_size in ICON_SIZES:
        write_png(os.path.join(HERE, "icons", "%d.png" % icon_size),
                  icon_size)
