#!/usr/bin/env python3
"""Draws Tavrik's icons: the program icon 128 (16, 32 and 48 pixels), the tray icon 144 of a
connected reader and its grey twin 149 for no reader (16 and 32).

Every picture is drawn from a few shapes in a unit square, sampled 4 x 4 times a pixel: a
32-bit BGRA image smoothed by those samples, and at 16 and 32 pixels a 256-colour and a
16-colour image in the colour that covers most of each pixel, all with the same AND mask. Run it when a picture changes and commit what it
writes to resources/tavrik/res/; the build uses the committed files. Python standard library
only.
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from icon_palettes import COLOURS256, VGA16, nearest  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tavrik", "res")
SAMPLES = 4

WHITE = (0xFF, 0xFF, 0xFF)
CARD_EDGE = (0x3A, 0x3A, 0x46)
RED = (0xD8, 0x1E, 0x1E)
RED_EDGE = (0x80, 0x10, 0x10)
CONTACT = (0xB0, 0xB0, 0xB8)
YELLOW = (0xFF, 0xD2, 0x1C)
YELLOW_EDGE = (0x8A, 0x62, 0x00)


class Shape:
    """A convex or concave polygon in unit coordinates (y down), filled with one colour and
    edged inside with another."""

    def __init__(self, points, fill, edge=None, edge_width=0.0):
        self.points = points
        self.fill = fill
        self.edge = edge
        self.edge_width = edge_width

    def colour_at(self, x, y, pixel):
        if not inside(self.points, x, y):
            return None
        # The edge is as wide in pixels at every size, but never thinner than one pixel.
        width = max(self.edge_width, pixel)
        if self.edge is not None and distance_to_outline(self.points, x, y) < width:
            return self.edge
        return self.fill


def inside(points, x, y):
    crossings = False
    count = len(points)
    for i in range(count):
        x1, y1 = points[i]
        x2, y2 = points[(i + 1) % count]
        if (y1 > y) != (y2 > y):
            if x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                crossings = not crossings
    return crossings


def distance_to_outline(points, x, y):
    best = float("inf")
    count = len(points)
    for i in range(count):
        x1, y1 = points[i]
        x2, y2 = points[(i + 1) % count]
        dx, dy = x2 - x1, y2 - y1
        length = dx * dx + dy * dy
        t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / length))
        best = min(best, math.hypot(x - (x1 + t * dx), y - (y1 + t * dy)))
    return best


def place(points, centre, size, angle_degrees):
    """Card-local points (0..1 square around its centre) scaled, turned and moved."""
    angle = math.radians(angle_degrees)
    cos_a, sin_a = math.cos(angle), math.sin(angle)
    placed = []
    for px, py in points:
        lx, ly = (px - 0.5) * size[0], (py - 0.5) * size[1]
        placed.append((centre[0] + lx * cos_a - ly * sin_a, centre[1] + lx * sin_a + ly * cos_a))
    return placed


def memory_card(centre, size, angle, pixels):
    """A card with a cut corner, its red label and, where there is room, its contacts."""
    body = [(0.0, 0.0), (0.72, 0.0), (1.0, 0.22), (1.0, 1.0), (0.0, 1.0)]
    label = [(0.14, 0.46), (0.86, 0.46), (0.86, 0.86), (0.14, 0.86)]
    shapes = [Shape(place(body, centre, size, angle), WHITE, CARD_EDGE, 0.045)]
    if pixels >= 32:
        for left in (0.12, 0.27, 0.42, 0.57):
            contact = [(left, 0.08), (left + 0.09, 0.08), (left + 0.09, 0.3), (left, 0.3)]
            shapes.append(Shape(place(contact, centre, size, angle), CONTACT))
    shapes.append(Shape(place(label, centre, size, angle), RED, RED_EDGE, 0.02))
    return shapes


def program_icon(pixels):
    """A white card with a red label beside a red triangle."""
    shapes = memory_card((0.36, 0.5), (0.6, 0.84), 0, pixels)
    triangle = [(0.83, 0.3), (1.0, 0.62), (0.66, 0.62)]
    shapes.append(Shape(triangle, RED, RED_EDGE, 0.03))
    bar = [(0.66, 0.7), (1.0, 0.7), (1.0, 0.8), (0.66, 0.8)]
    shapes.append(Shape(bar, RED, RED_EDGE, 0.03))
    return shapes


def tray_icon(pixels):
    """A tilted card with a yellow arrow at its upper left pointing at it."""
    shapes = memory_card((0.64, 0.6), (0.54, 0.72), 18, pixels)
    # The arrow runs from the upper left corner down and right; its tip touches the card.
    length, head, half_shaft, half_head = 0.5, 0.24, 0.075, 0.2
    ux = uy = math.sqrt(0.5)
    nx, ny = -uy, ux
    tail = (0.03, 0.03)

    def along(distance, across):
        return (tail[0] + ux * distance + nx * across, tail[1] + uy * distance + ny * across)

    base = length - head
    arrow = [along(0, half_shaft), along(base, half_shaft), along(base, half_head),
             along(length, 0), along(base, -half_head), along(base, -half_shaft),
             along(0, -half_shaft)]
    shapes.append(Shape(arrow, YELLOW, YELLOW_EDGE, 0.035))
    return shapes


def grey(colour):
    level = int(round(0.299 * colour[0] + 0.587 * colour[1] + 0.114 * colour[2]))
    # Lighter and flatter than plain luminance, so the picture reads as switched off.
    level = min(255, 96 + level * 5 // 8)
    return (level, level, level)


def pixel_samples(shapes, pixels, colour_filter=None):
    """Rows of pixels, top row first; each pixel the colours of its SAMPLES x SAMPLES samples
    that a shape covers (None where none does)."""
    rows = []
    step = 1.0 / (pixels * SAMPLES)
    for row in range(pixels):
        line = []
        for column in range(pixels):
            found_samples = []
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (column * SAMPLES + sx + 0.5) * step
                    y = (row * SAMPLES + sy + 0.5) * step
                    found = None
                    for shape in shapes:  # later shapes lie on top
                        colour = shape.colour_at(x, y, 1.0 / pixels)
                        if colour is not None:
                            found = colour
                    if found is not None and colour_filter:
                        found = colour_filter(found)
                    found_samples.append(found)
            line.append(found_samples)
        rows.append(line)
    return rows


def rendered(shapes, pixels, colour_filter, pick):
    """Rows of (r, g, b, a), top row first: pick's colour of each pixel's covered samples,
    alpha by the share of samples covered (clear where none is)."""
    rows = []
    for line in pixel_samples(shapes, pixels, colour_filter):
        out = []
        for found_samples in line:
            covered = [colour for colour in found_samples if colour is not None]
            if not covered:
                out.append((0, 0, 0, 0))
                continue
            alpha = int(round(255 * len(covered) / len(found_samples)))
            out.append(tuple(pick(covered)) + (alpha,))
        rows.append(out)
    return rows


def mean_colour(covered):
    return [int(sum(colour[i] for colour in covered) / len(covered)) for i in range(3)]


def dominant_colour(covered):
    return max(set(covered), key=covered.count)


def render(shapes, pixels, colour_filter=None):
    """The picture smoothed: each pixel the mean colour of its covered samples."""
    return rendered(shapes, pixels, colour_filter, mean_colour)


def render_flat(shapes, pixels, colour_filter=None):
    """The picture for a palette: each pixel in the colour that covers most of it, never a
    blend, which a palette would turn into a stray colour. Alpha, and so the mask, is
    render's."""
    return rendered(shapes, pixels, colour_filter, dominant_colour)


def and_mask(rows):
    """The AND mask, bottom row first: set where a pixel is fully clear."""
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for line in reversed(rows):
        bits = bytearray(stride)
        for column, pixel in enumerate(line):
            if pixel[3] == 0:
                bits[column // 8] |= 0x80 >> (column % 8)
        mask += bits
    return bytes(mask)


def icon_image(rows):
    """BITMAPINFOHEADER, bottom-up BGRA pixels and the AND mask (set where fully clear)."""
    size = len(rows)
    pixels = bytearray()
    for line in reversed(rows):
        for r, g, b, a in line:
            # Systems without alpha blending draw the colour where the mask is clear, so a
            # half-covered edge pixel keeps its colour rather than going black.
            pixels += bytes((b, g, r, a))
    mask = and_mask(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + mask


def indexed_icon_image(rows, palette, bits, choose=None):
    """BITMAPINFOHEADER, the colour table, bottom-up palette indexes (4 or 8 bits) and the
    same AND mask as icon_image gives the rows. A clear pixel is index 0 (black), which the
    mask lets the screen show through. choose may name the palette index of a colour where
    the nearest one would read wrong."""
    size = len(rows)
    choose = choose or {}
    cache = {}
    indexes = bytearray()
    stride = ((size * bits + 31) // 32) * 4
    for line in reversed(rows):
        row = []
        for r, g, b, a in line:
            if a == 0:
                row.append(0)
                continue
            colour = (r, g, b)
            if colour not in cache:
                cache[colour] = choose.get(colour, nearest(palette, colour))
            row.append(cache[colour])
        packed = bytearray()
        if bits == 8:
            packed += bytes(row)
        else:
            for i in range(0, size, 2):
                packed.append((row[i] << 4) | (row[i + 1] if i + 1 < size else 0))
        indexes += packed + bytes(stride - len(packed))
    mask = and_mask(rows)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(indexes) + len(mask), 0, 0, 0, 0)
    return header + table + bytes(indexes) + mask


def icon_frames(shapes, pixels, colour_filter=None, choose16=None):
    """The images of one size: 32-bit with alpha for XP and later, 256 colours and 16 colours
    for the displays of older systems (and for 95 to 2000, which draw partly clear pixels
    opaque). All three have the same mask."""
    flat = render_flat(shapes, pixels, colour_filter)
    return [(pixels, icon_image(render(shapes, pixels, colour_filter))),
            (pixels, indexed_icon_image(flat, COLOURS256, 8)),
            (pixels, indexed_icon_image(flat, VGA16, 4, choose16))]


def write_icon(path, images):
    """An .ico file with the images in the order given, each (size, image)."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for size, image in images:
        bits = struct.unpack_from("<H", image, 14)[0]
        colours = 1 << bits if bits < 8 else 0
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                               len(image), offset + len(data))
        data += image
    with open(path, "wb") as out:
        out.write(directory + entries + data)


def main():
    os.makedirs(OUT, exist_ok=True)
    pictures = [
        ("tavrik.ico", program_icon, (48, 32, 16), None),
        ("tray_active.ico", tray_icon, (32, 16), None),
        ("tray_idle.ico", tray_icon, (32, 16), grey),
    ]
    for name, draw, sizes, colour_filter in pictures:
        images = []
        for size in sizes:
            if size in (32, 16):
                images += icon_frames(draw(size), size, colour_filter)
            else:
                images.append((size, icon_image(render(draw(size), size, colour_filter))))
        write_icon(os.path.join(OUT, name), images)
        print("wrote", os.path.relpath(os.path.join(OUT, name)))


if __name__ == "__main__":
    main()
