#!/usr/bin/env python3
"""Holds two pictures of the same scene against each other, as the Windows-under-Wine checks do.

pictures.py A.png B.png [--exclude X0,Y0,X1,Y1] [--levels 16] [--share 1.0] [--clear R,G,B]

A pixel is lit when it is not the clear colour (black unless --clear says otherwise) in either
picture; it differs when some channel differs by more than LEVELS. Prints one line of counts and
ends 1 when more than SHARE percent of the lit pixels differ (or the pictures cannot be compared),
0 otherwise. The rectangle EXCLUDE (the overlay) is left out. scripts/compare-effects.sh and
scripts/compare-frames.sh import read_png (and the first compare). 8-bit grey, RGB and RGBA PNGs,
not interlaced: what tobrin_xctl and tobrin-fxview write.
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
    if not header:
        raise ValueError(f"{path}: no IHDR chunk")
    width, height, depth, kind, _, _, interlace = header
    bpp = {0: 1, 2: 3, 6: 4}.get(kind)
    if depth != 8 or bpp is None or interlace:
        raise ValueError(f"{path}: only 8-bit grey, RGB or RGBA, not interlaced")
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
        if bpp == 1:
            rows.append(bytes(v for v in line for _ in range(3)))
        elif bpp == 4:
            rows.append(bytes(v for j, v in enumerate(line) if j % 4 != 3))
        else:
            rows.append(bytes(line))
    return width, height, rows


def compare(a, b, exclude=(0, 0, 0, 0), levels=16, clear=(0, 0, 0)):
    """Returns (lit, differing, drawn_by_one_only, worst) over the pixels outside exclude."""
    (wa, ha, ra), (wb, hb, rb) = a, b
    if (wa, ha) != (wb, hb):
        raise ValueError(f"sizes differ: {wa}x{ha} and {wb}x{hb}")
    x0, y0, x1, y1 = exclude
    clear = bytes(clear)
    lit = differing = one_only = worst = 0
    for y in range(ha):
        pa, pb = ra[y], rb[y]
        for x in range(wa):
            if x0 <= x < x1 and y0 <= y < y1:
                continue
            i = 3 * x
            p, q = pa[i:i + 3], pb[i:i + 3]
            lit_a, lit_b = p != clear, q != clear
            if not (lit_a or lit_b):
                continue
            lit += 1
            one_only += lit_a != lit_b
            d = max(abs(p[0] - q[0]), abs(p[1] - q[1]), abs(p[2] - q[2]))
            worst = max(worst, d)
            differing += d > levels
    return lit, differing, one_only, worst


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("a")
    parser.add_argument("b")
    parser.add_argument("--exclude", default="0,0,0,0")
    parser.add_argument("--levels", type=int, default=16)
    parser.add_argument("--share", type=float, default=1.0)
    parser.add_argument("--clear", default="0,0,0")
    args = parser.parse_args()
    try:
        lit, differing, one_only, _ = compare(
            read_png(args.a), read_png(args.b), tuple(int(v) for v in args.exclude.split(",")),
            args.levels, tuple(int(v) for v in args.clear.split(",")))
    except (OSError, ValueError, zlib.error) as error:
        print(f"cannot compare: {error}")
        return 1
    share = 100.0 * differing / lit if lit else 0.0
    print(f"{lit} lit pixels, {differing} ({share:.2f} %) differ by more than {args.levels} levels, "
          f"{one_only} drawn in one picture only")
    return 1 if share > args.share else 0


if __name__ == "__main__":
    sys.exit(main())
