#!/usr/bin/env python3
"""Writes the picture fixtures of the PCX and Targa readers.

Reference PNGs are written here; the PCX and Targa files that ImageMagick can make come from
them through /usr/bin/convert (ImageMagick 6), the others are built byte by byte: the 1-bit
and the 4-plane 16-colour PCX, Targa files with a footer, a right-to-left origin, 1-bit alpha or a 16-bit
colour map, and the damaged files under ../malformed/pcx and ../malformed/tga.

The pictures are 13 x 7 pixels so that every row needs padding somewhere.

Usage: make_pictures.py   (writes beside itself; needs /usr/bin/convert)
"""

import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
MALFORMED = os.path.join(HERE, "..", "malformed")
CONVERT = "/usr/bin/convert"
W, H = 13, 7


def scale5(v):
    return (v << 3) | (v >> 2)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def png(name, pixels, alpha=False):
    """pixels: rows of (r, g, b) or (r, g, b, a) tuples, top row first."""
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)
    ihdr = struct.pack(">IIBBBBB", W, H, 8, 6 if alpha else 2, 0, 0, 0)
    write(os.path.join(HERE, name),
          b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
          chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def convert(source, target, *options):
    subprocess.run([CONVERT, os.path.join(HERE, source), *options, os.path.join(HERE, target)],
                   check=True)


def read(name):
    with open(os.path.join(HERE, name), "rb") as f:
        return f.read()


# The reference pictures.
BW = [[(0, 0, 0) if (x * 3 + y * 5) % 7 < 3 else (255, 255, 255) for x in range(W)]
      for y in range(H)]
EGA = [(0, 0, 0), (0, 0, 170), (0, 170, 0), (0, 170, 170), (170, 0, 0), (170, 0, 170),
       (170, 85, 0), (170, 170, 170), (85, 85, 85), (85, 85, 255), (85, 255, 85),
       (85, 255, 255), (255, 85, 85), (255, 85, 255), (255, 255, 85), (255, 255, 255)]
EGA_INDEX = [[(x + 2 * y) % 16 for x in range(W)] for y in range(H)]
MANY = [[(x * 19 % 256, y * 37 % 256, (x * y * 11 + 50) % 256) for x in range(W)]
        for y in range(H)]
RGB = [[(x * 19, y * 36, (x * y * 7 + 3) % 256) for x in range(W)] for y in range(H)]
GREY = [[((x * 13 + y * 29) % 256,) * 3 for x in range(W)] for y in range(H)]
RGB555 = [[(scale5(x * 2 % 32), scale5((y * 5 + x) % 32), scale5((31 - x - y) % 32))
           for x in range(W)] for y in range(H)]
RGBA = [[(x * 19, y * 36, (x * y * 7 + 3) % 256, (x * 20 + y * 37) % 256 if x % 4 else 255 * (y % 2))
         for x in range(W)] for y in range(H)]
RGB555A = [[RGB555[y][x] + (0 if (x + y) % 3 == 0 else 255,) for x in range(W)] for y in range(H)]


def references():
    png("bw.png", BW)
    png("ega16.png", [[EGA[i] for i in row] for row in EGA_INDEX])
    png("many.png", MANY)
    png("rgb.png", RGB)
    png("grey.png", GREY)
    png("rgb555.png", RGB555)
    png("rgba.png", RGBA, alpha=True)
    png("rgb555a.png", RGB555A, alpha=True)


# PCX.

def pcx_runs(line):
    """Run-length encodes one plane of one line, runs never crossing into the next line."""
    out = bytearray()
    i = 0
    while i < len(line):
        value = line[i]
        n = 1
        while i + n < len(line) and line[i + n] == value and n < 63:
            n += 1
        if n > 1 or value >= 0xC0:
            out += bytes((0xC0 | n, value))
        else:
            out.append(value)
        i += n
    return bytes(out)


def pcx_header(bits, planes, bytes_per_line, width=W, height=H, colour_map=b"",
               manufacturer=10, encoding=1, x_min=0, y_min=0):
    header = struct.pack("<BBBBHHHHHH", manufacturer, 5, encoding, bits, x_min, y_min,
                         x_min + width - 1, y_min + height - 1, 96, 96)
    header += colour_map.ljust(48, b"\0")
    header += struct.pack("<BBHH", 0, planes, bytes_per_line, 1)
    return header.ljust(128, b"\0")


def ega_pcx(bytes_per_line):
    data = bytearray()
    for row in EGA_INDEX:
        for plane in range(4):
            line = bytearray(bytes_per_line)
            for x, index in enumerate(row):
                if index >> plane & 1:
                    line[x >> 3] |= 0x80 >> (x & 7)
            data += pcx_runs(line)
    palette = b"".join(bytes(c) for c in EGA)
    return pcx_header(1, 4, bytes_per_line, colour_map=palette) + bytes(data)


def pcx_files():
    # ImageMagick writes its 1-bit PCX files with set bits for black, the reverse of the
    # format (0 black, 1 white), so this one is built here.
    data = bytearray()
    for row in BW:
        line = bytearray(2)
        for x, colour in enumerate(row):
            if colour[0]:
                line[x >> 3] |= 0x80 >> (x & 7)
        data += pcx_runs(line)
    write(os.path.join(HERE, "bw.pcx"),
          pcx_header(1, 1, 2, colour_map=b"\0\0\0\xff\xff\xff") + bytes(data))
    convert("many.png", "many.pcx", "-type", "Palette")
    convert("rgb.png", "rgb.pcx", "-type", "TrueColor")
    write(os.path.join(HERE, "ega16.pcx"), ega_pcx(2))
    # Lines longer than the picture needs: the reader must drop the extra bytes.
    write(os.path.join(HERE, "ega16-wide-lines.pcx"), ega_pcx(6))

    bad = os.path.join(MALFORMED, "pcx")
    many = read("many.pcx")
    rgb = read("rgb.pcx")
    write(os.path.join(bad, "wrong-manufacturer.pcx"), b"\x0b" + many[1:])
    write(os.path.join(bad, "not-run-length.pcx"), many[:2] + b"\0" + many[3:])
    marker = len(many) - 769
    write(os.path.join(bad, "no-palette-marker.pcx"), many[:marker] + b"\x0b" + many[marker + 1:])
    write(os.path.join(bad, "shorter-than-palette.pcx"), many[:128] + many[-700:])
    write(os.path.join(bad, "truncated-header.pcx"), rgb[:70])
    write(os.path.join(bad, "truncated-lines.pcx"), rgb[:len(rgb) // 2])
    write(os.path.join(bad, "four-bit-pixels.pcx"), rgb[:3] + b"\x04" + rgb[4:65] + b"\x01" + rgb[66:])
    write(os.path.join(bad, "giant-size.pcx"), pcx_header(8, 3, 32767, 32767, 32767) + rgb[128:])
    write(os.path.join(bad, "inverted-size.pcx"), pcx_header(8, 3, 13, -9, x_min=20) + rgb[128:])
    write(os.path.join(bad, "short-lines.pcx"), pcx_header(8, 3, 12) + rgb[128:])


# Targa.

FOOTER = struct.pack("<II", 0, 0) + b"TRUEVISION-XFILE.\0"


def tga_header(image_type, depth, descriptor, map_type=0, map_first=0, map_length=0,
               map_bits=0, id_length=0, width=W, height=H):
    return struct.pack("<BBBHHBHHHHBB", id_length, map_type, image_type, map_first, map_length,
                       map_bits, 0, 0, width, height, depth, descriptor)


def word555(r, g, b, a=255):
    return struct.pack("<H", (0x8000 if a >= 128 else 0) | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)


def tga_runs(pixels):
    """Run-length packets: a repeated pixel as one run, anything else as raw packets."""
    out = bytearray()
    i = 0
    while i < len(pixels):
        n = 1
        while i + n < len(pixels) and pixels[i + n] == pixels[i] and n < 128:
            n += 1
        if n > 1:
            out += bytes((0x80 | (n - 1),)) + pixels[i]
            i += n
            continue
        n = 1
        while i + n < len(pixels) and n < 128 and (i + n + 1 >= len(pixels) or
                                                  pixels[i + n] != pixels[i + n + 1]):
            n += 1
        out += bytes((n - 1,)) + b"".join(pixels[i:i + n])
        i += n
    return bytes(out)


def tga_files():
    # ImageMagick writes the rows top first but marks the file bottom-left unless told the
    # picture's orientation; flipping first gives files that mean what their header says.
    bottom_left = ("-flip",)
    convert("rgb.png", "rgb24.tga", *bottom_left, "-compress", "None")
    convert("rgb.png", "rgb24-rle.tga", *bottom_left, "-compress", "RLE")
    convert("rgb.png", "rgb24-top-left.tga", "-orient", "TopLeft", "-compress", "None")
    convert("grey.png", "grey.tga", *bottom_left, "-type", "Grayscale", "-compress", "None")
    convert("grey.png", "grey-rle.tga", *bottom_left, "-type", "Grayscale", "-compress", "RLE")
    convert("many.png", "mapped.tga", *bottom_left, "-type", "Palette", "-compress", "None")
    convert("many.png", "mapped-rle.tga", *bottom_left, "-type", "Palette", "-compress", "RLE")
    convert("rgba.png", "rgba32.tga", *bottom_left, "-type", "TrueColorAlpha", "-compress", "None")
    convert("rgba.png", "rgba32-rle.tga", *bottom_left, "-type", "TrueColorAlpha", "-compress", "RLE")

    write(os.path.join(HERE, "rgb24-footer.tga"), read("rgb24.tga") + FOOTER)
    # ImageMagick's 16-bit files lose the low colour values, so these are built here; the
    # packets run on across rows.
    pixels = [word555(*p) for row in reversed(RGB555) for p in row]
    write(os.path.join(HERE, "rgb16.tga"), tga_header(2, 16, 0) + b"".join(pixels))
    write(os.path.join(HERE, "rgb16-rle.tga"), tga_header(10, 16, 0) + tga_runs(pixels))
    # Top-right origin: rows top first, each from its right end.
    body = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in RGBA for p in reversed(row))
    write(os.path.join(HERE, "rgba32-top-right.tga"), tga_header(2, 32, 0x38) + body)
    # 16 bits with the one attribute bit as alpha, bottom row first.
    body = b"".join(word555(*p) for row in reversed(RGB555A) for p in row)
    write(os.path.join(HERE, "rgb16-alpha.tga"), tga_header(2, 16, 0x01) + body)
    # A map of 16-bit entries starting at index 3, after a 5-byte ID field, with the footer.
    colours = sorted({p for row in RGB555 for p in row})
    index = {c: i + 3 for i, c in enumerate(colours)}
    colour_map = b"".join(word555(*c) for c in colours)
    body = bytes(index[p] for row in reversed(RGB555) for p in row)
    write(os.path.join(HERE, "mapped-16-bit-entries.tga"),
          tga_header(1, 8, 0, 1, 3, len(colours), 16, id_length=5) + b"hello" + colour_map +
          body + FOOTER)

    bad = os.path.join(MALFORMED, "tga")
    rgb = read("rgb24.tga")
    rle = read("rgb24-rle.tga")
    mapped = read("mapped.tga")
    write(os.path.join(bad, "truncated-header.tga"), rgb[:12])
    write(os.path.join(bad, "truncated-pixels.tga"), rgb[:-5])
    write(os.path.join(bad, "truncated-run.tga"), rle[:-2])
    write(os.path.join(bad, "giant-size.tga"), tga_header(10, 24, 0, width=65535, height=65535) + rle[18:])
    write(os.path.join(bad, "zero-width.tga"), tga_header(2, 24, 0, width=0) + rgb[18:])
    write(os.path.join(bad, "unknown-type.tga"), rgb[:2] + b"\x05" + rgb[3:])
    write(os.path.join(bad, "map-past-end.tga"), mapped[:5] + b"\xff\xff" + mapped[7:])
    write(os.path.join(bad, "index-outside-map.tga"), mapped[:-1] + b"\xfe")
    write(os.path.join(bad, "interleaved.tga"), rgb[:17] + b"\x40" + rgb[18:])
    write(os.path.join(bad, "footer-eats-pixels.tga"), rgb[:-26] + FOOTER)


if __name__ == "__main__":
    references()
    pcx_files()
    tga_files()
