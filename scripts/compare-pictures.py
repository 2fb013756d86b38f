#!/usr/bin/env python3
"""Holds two pictures of the same scene against each other, as the Windows-under-Wine checks do.

compare-pictures.py A.png B.png [--exclude X0,Y0,X1,Y1] [--levels 16] [--share 1.0]

A pixel is lit when any channel of it is above 0 in either picture; it differs when some channel
differs by more than LEVELS. Prints one line of counts and ends 1 when more than SHARE percent of
the lit pixels differ (or the sizes differ), 0 otherwise. The rectangle EXCLUDE (the overlay) is
left out. 8-bit RGB and RGBA PNGs, non-interlaced: what tobrin_xctl and the viewer write.
"""
import argparse
import struct
import sys
import zlib


def read_png(path):
    """Returns (width, height, rows): rows[y] is a bytes object of width RGB triples."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG")
    pos, idat, header = 8, [], None
    while pos < len(data):
        size, tag = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + size]
        if tag == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif tag == b"IDAT":
            idat.append(body)
        pos += 12 + size
    width, height, depth, kind, _, _, interlace = header
    if depth != 8 or kind not in (2, 6) or interlace:
        raise ValueError(f"{path}: only 8-bit RGB or RGBA, not interlaced")
    bpp = 3 if kind == 2 else 4
    raw, stride = zlib.decompress(b"".join(idat)), width * bpp
    rows, prev = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind_of_filter, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if kind_of_filter == 1:
                line[i] = (line[i] + a) & 255
            elif kind_of_filter == 2:
                line[i] = (line[i] + b) & 255
            elif kind_of_filter == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind_of_filter == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prev = line
        rows.append(bytes(line) if bpp == 3 else bytes(v for j, v in enumerate(line) if j % 4 != 3))
    return width, height, rows


def compare(a, b, exclude=(0, 0, 0, 0), levels=16):
    """Returns (lit, differing, drawn_by_one_only) over the pixels outside exclude."""
    (wa, ha, ra), (wb, hb, rb) = a, b
    if (wa, ha) != (wb, hb):
        raise ValueError(f"sizes differ: {wa}x{ha} and {wb}x{hb}")
    x0, y0, x1, y1 = exclude
    lit = differing = one_only = 0
    for y in range(ha):
        pa, pb = ra[y], rb[y]
        for x in range(wa):
            if x0 <= x < x1 and y0 <= y < y1:
                continue
            i = 3 * x
            p, q = pa[i:i + 3], pb[i:i + 3]
            lit_a, lit_b = max(p) > 0, max(q) > 0
            if not (lit_a or lit_b):
                continue
            lit += 1
            one_only += lit_a != lit_b
            differing += max(abs(p[0] - q[0]), abs(p[1] - q[1]), abs(p[2] - q[2])) > levels
    return lit, differing, one_only


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("a")
    parser.add_argument("b")
    parser.add_argument("--exclude", default="0,0,0,0")
    parser.add_argument("--levels", type=int, default=16)
    parser.add_argument("--share", type=float, default=1.0)
    args = parser.parse_args()
    try:
        lit, differing, one_only = compare(read_png(args.a), read_png(args.b),
                                           tuple(int(v) for v in args.exclude.split(",")), args.levels)
    except (OSError, ValueError) as error:
        print(f"cannot compare: {error}")
        return 1
    share = 100.0 * differing / lit if lit else 0.0
    print(f"{lit} lit pixels, {differing} ({share:.2f} %) differ by more than {args.levels} levels, "
          f"{one_only} drawn in one picture only")
    return 1 if share > args.share else 0


if __name__ == "__main__":
    sys.exit(main())
