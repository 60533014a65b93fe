#!/usr/bin/env python3
"""Draws the program icon and writes resources/kdesk.ico: a support envelope
with a life buoy, as 32x32 in 2 colours, 32x32 in 16 colours, 16x16 in 16 colours."""
import math
import struct
import sys
from pathlib import Path

# The 16 colours of the standard Windows palette, as (R, G, B).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, RED, YELLOW, WHITE = 0, 9, 11, 15
T = None  # transparent


def draw(size, mono):
    s = size / 32.0
    img = [[T] * size for _ in range(size)]

    def put(x, y, c):
        if 0 <= x < size and 0 <= y < size:
            img[y][x] = c

    def line(x0, y0, x1, y1, c):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            put(round(x0 + (x1 - x0) * t), round(y0 + (y1 - y0) * t), c)

    # Envelope.
    left, top, right, bottom = round(1 * s), round(6 * s), round(28 * s), round(25 * s)
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = x in (left, right) or y in (top, bottom)
            put(x, y, BLACK if edge else (WHITE if mono else YELLOW))
    mid_x, mid_y = (left + right) / 2, top + (bottom - top) * 0.55
    line(left, top, mid_x, mid_y, BLACK)
    line(right, top, mid_x, mid_y, BLACK)

    # Life buoy over the lower right corner.
    cx, cy = 23.5 * s - 0.5 * (1 - s), 23.5 * s - 0.5 * (1 - s)
    outer, inner = 8.3 * s, 3.6 * s
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - cx, y - cy)
            if d > outer + 0.5:
                continue
            if d >= outer - (0.7 if size >= 32 else 0.45) or abs(d - inner) < (0.6 if size >= 32 else 0.3):
                put(x, y, BLACK)
            elif d > inner:
                angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
                band = int(((angle + 22.5) % 360) // 45) % 2
                put(x, y, WHITE if (mono or band) else RED)
            else:
                put(x, y, T)
    return img


def image_bytes(img, bits):
    size = len(img)
    colours = 2 if bits == 1 else 16
    palette = [(0, 0, 0), (255, 255, 255)] if bits == 1 else VGA
    row_bytes = ((size * bits + 31) // 32) * 4
    mask_row_bytes = ((size + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for y in reversed(range(size)):
        row, mrow = bytearray(row_bytes), bytearray(mask_row_bytes)
        for x in range(size):
            c = img[y][x]
            if c is None:
                mrow[x // 8] |= 0x80 >> (x % 8)
                c = BLACK
            if bits == 1:
                if c != BLACK:
                    row[x // 8] |= 0x80 >> (x % 8)
            else:
                row[x // 2] |= c << (4 if x % 2 == 0 else 0)
        xor += row
        mask += mrow
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, len(xor) + len(mask), 0, 0, colours, 0)
    quads = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    return header + quads + bytes(xor) + bytes(mask)


def icon_file(images):
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, bits, blob in images:
        out += struct.pack('<BBBBHHII', size, size, 2 ** bits, 0, 1, bits, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b''.join(blobs)


def main():
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name('kdesk.ico')
    images = [(32, 1, image_bytes(draw(32, True), 1)),
              (32, 4, image_bytes(draw(32, False), 4)),
              (16, 4, image_bytes(draw(16, False), 4))]
    target.write_bytes(icon_file(images))


if __name__ == '__main__':
    main()
