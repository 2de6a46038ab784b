#!/usr/bin/env python3
"""Exits 0 when a PNG holds a drawing: at least 2% of its pixels neither white nor transparent, not all of
them one colour, and at least 20 distinct colours. Prints what it found either way. Standard library only."""
import struct
import sys
import zlib


def pixels(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    at, idat, width, height, depth, kind = 8, b"", 0, 0, 0, 0
    while at < len(data):
        length, name = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if name == b"IHDR":
            width, height, depth, kind = struct.unpack(">IIBB", body[:10])
        elif name == b"IDAT":
            idat += body
        at += 12 + length
    channels = {2: 3, 6: 4}.get(kind)
    if depth != 8 or channels is None:
        sys.exit(f"{path}: expected 8-bit RGB or RGBA, got depth {depth} colour type {kind}")
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        method, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if method == 1:
                line[i] = (line[i] + a) & 255
            elif method == 2:
                line[i] = (line[i] + b) & 255
            elif method == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif method == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    return width, height, channels, rows


def main():
    path = sys.argv[1]
    width, height, channels, rows = pixels(path)
    drawn, colours = 0, set()
    for line in rows:
        for x in range(0, len(line), channels):
            pixel = tuple(line[x:x + channels])
            if channels == 4 and pixel[3] == 0:
                continue
            colours.add(pixel[:3])
            if min(pixel[:3]) < 235:
                drawn += 1
    share = drawn / (width * height)
    print(f"{path}: {width}x{height}, {share:.1%} drawn, {len(colours)} colours")
    if share < 0.02 or len(colours) < 20:
        sys.exit(f"{path}: looks blank")


main()
