#!/usr/bin/env python3
"""Draws Tavrik's icons: the program icon 128 (16, 32 and 48 pixels), the tray icon 144 of a
connected reader (16 and 32) and its grey twin 149 for no reader (32 only).

Every image is 32-bit BGRA with its AND mask, drawn from a few shapes in a unit square and
smoothed by sampling each pixel 4 x 4 times. Run it when a picture changes and commit what it
writes to resources/tavrik/res/; the build uses the committed files. Python standard library
only.
"""
import math
import os
import struct

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


def render(shapes, pixels, colour_filter=None):
    """Rows of (r, g, b, a), top row first."""
    rows = []
    step = 1.0 / (pixels * SAMPLES)
    for row in range(pixels):
        line = []
        for column in range(pixels):
            red = green = blue = cover = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (column * SAMPLES + sx + 0.5) * step
                    y = (row * SAMPLES + sy + 0.5) * step
                    found = None
                    for shape in shapes:  # later shapes lie on top
                        colour = shape.colour_at(x, y, 1.0 / pixels)
                        if colour is not None:
                            found = colour
                    if found is not None:
                        if colour_filter:
                            found = colour_filter(found)
                        red += found[0]
                        green += found[1]
                        blue += found[2]
                        cover += 1
            total = SAMPLES * SAMPLES
            if cover == 0:
                line.append((0, 0, 0, 0))
            else:
                line.append((int(red / cover), int(green / cover), int(blue / cover),
                             int(round(255 * cover / total))))
        rows.append(line)
    return rows


def icon_image(rows):
    """BITMAPINFOHEADER, bottom-up BGRA pixels and the AND mask (set where fully clear)."""
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for line in reversed(rows):
        bits = bytearray(mask_stride)
        for column, (r, g, b, a) in enumerate(line):
            # Systems without alpha blending draw the colour where the mask is clear, so a
            # half-covered edge pixel keeps its colour rather than going black.
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[column // 8] |= 0x80 >> (column % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def write_icon(path, images):
    """An .ico file with one 32-bit image per size."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image),
                               offset + len(data))
        data += image
    with open(path, "wb") as out:
        out.write(directory + entries + data)


def main():
    os.makedirs(OUT, exist_ok=True)
    pictures = [
        ("tavrik.ico", program_icon, (48, 32, 16), None),
        ("tray_active.ico", tray_icon, (32, 16), None),
        ("tray_idle.ico", tray_icon, (32,), grey),
    ]
    for name, draw, sizes, colour_filter in pictures:
        images = [(size, icon_image(render(draw(size), size, colour_filter))) for size in sizes]
        write_icon(os.path.join(OUT, name), images)
        print("wrote", os.path.relpath(os.path.join(OUT, name)))


if __name__ == "__main__":
    main()
