#!/usr/bin/env python3
"""Draws Flickmere's application icon (res/Flickmere.ico): a small window with a changed square and a
mouse pointer, at 16, 32 and 48 pixels, 32-bit with alpha. Deterministic; run it again only to change
the drawing."""
import struct
import sys

ARROW = [  # 1 = outline, 2 = fill, on a 10 x 16 grid
    "1.........",
    "11........",
    "121.......",
    "1221......",
    "12221.....",
    "122221....",
    "1222221...",
    "12222221..",
    "122222221.",
    "1222211111",
    "1221221...",
    "121.1221..",
    "11..1221..",
    "1....1221.",
    ".....1221.",
    "......11..",
]


def draw(size):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    s = size / 32.0

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    navy, white, title, orange = (40, 52, 92, 255), (245, 247, 250, 255), (70, 130, 200, 255), (245, 150, 40, 255)
    rect(1, 3, 31, 29, navy)          # window frame
    rect(2, 4, 30, 8, title)          # title bar
    rect(3, 9, 29, 28, white)         # client area
    rect(6, 12, 16, 21, orange)       # the changed square
    rect(18, 12, 26, 14, (180, 190, 205, 255))
    rect(18, 16, 24, 18, (180, 190, 205, 255))
    ax, ay = 17, 15
    for r, row in enumerate(ARROW):
        for c, ch in enumerate(row):
            if ch == ".":
                continue
            colour = (20, 20, 20, 255) if ch == "1" else (255, 255, 255, 255)
            x0, y0 = (ax + c * 0.9), (ay + r * 0.9)
            rect(x0, y0, x0 + 0.9 + (1 / s if s < 1 else 0), y0 + 0.9 + (1 / s if s < 1 else 0), colour)
    return px


def icon_image(size):
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(struct.pack("BBBB", b, g, r, a) for row in reversed(px) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytearray()
    for row in reversed(px):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    return header + xor + bytes(and_mask)


def main(path):
    sizes = [16, 32, 48]
    images = [icon_image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/Flickmere.ico")
