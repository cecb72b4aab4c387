#!/usr/bin/env python3
"""Checks pixels of a screen capture (binary PPM) against a table on stdin.

usage: check_pixels.py CAPTURE.ppm LEFT TOP < TABLE

Each row of the table: a name of any words, then x, y (from LEFT, TOP) and
the colour as RRGGBB. Prints the rows that differ; exits 1 when any does.
"""
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, i = [], 0
    while len(fields) < 4:
        while data[i : i + 1].isspace():
            i += 1
        if data[i : i + 1] == b"#":
            i = data.index(b"\n", i)
            continue
        j = i
        while not data[j : j + 1].isspace():
            j += 1
        fields.append(data[i:j])
        i = j
    if fields[0] != b"P6" or int(fields[3]) != 255:
        sys.exit(f"{path}: not an 8-bit binary PPM")
    return int(fields[1]), int(fields[2]), data[i + 1 :]


def main():
    width, height, pixels = read_ppm(sys.argv[1])
    left, top = int(sys.argv[2]), int(sys.argv[3])
    differences = 0
    for row in sys.stdin:
        words = row.split()
        if not words:
            continue
        name, x, y, wanted = " ".join(words[:-3]), int(words[-3]), int(words[-2]), words[-1]
        sx, sy = left + x, top + y
        if not (0 <= sx < width and 0 <= sy < height):
            print(f"{name}: ({x},{y}) is off the screen")
            differences += 1
            continue
        offset = (sy * width + sx) * 3
        seen = pixels[offset : offset + 3].hex()
        if seen != wanted.lower():
            print(f"{name}: ({x},{y}) is {seen}, not {wanted}")
            differences += 1
    sys.exit(1 if differences else 0)


main()
