#!/usr/bin/env python3
"""Draws the slot icons the reader definitions name (IconPath): one per kind of card slot, each
at 32 x 32 and 16 x 16 pixels in 32-bit BGRA, 256 colours and 16 colours, with one AND mask
per size. Tavrik draws them beside the slot menu items and gives them to Explorer as the
slots' drive icons.

Every card is drawn from shapes on a 16-step grid, so that at both sizes its edges fall on
pixel boundaries and stay sharp; the 32-pixel images also carry the card's initials in a small
pixel font. The drawing primitives are Tavrik's (make_tavrik_icons.py). Run it when a picture
changes and commit what it writes to resources/slot_icons/; the installer takes the committed
files. Python standard library only.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_tavrik_icons import Shape, icon_frames, write_icon  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "slot_icons")
SIZES = (32, 16)

INK = (0x20, 0x22, 0x2A)
WHITE = (0xFF, 0xFF, 0xFF)
GOLD = (0xE8, 0xB8, 0x30)
GOLD_EDGE = (0x9A, 0x70, 0x10)
STEEL = (0x9C, 0xA2, 0xAE)

# Body and label colours of each medium, as the cards are commonly made.
CF_BODY, CF_LABEL = (0x4C, 0x50, 0x5A), (0x2E, 0x7C, 0xD6)
SD_BODY, SD_LABEL = (0x1E, 0x5C, 0xC8), WHITE
MINISD_BODY = (0x2A, 0x9A, 0x48)
MICROSD_BODY = (0x6A, 0x3A, 0xB0)
MS_BODY, MS_LABEL = (0x3A, 0x3F, 0xA8), (0xE6, 0xE8, 0xF4)
DUO_BODY, DUO_LABEL = (0x2A, 0x2C, 0x34), (0x3C, 0x8C, 0xE0)
SM_BODY = (0xDC, 0xDE, 0xE4)
XD_BODY, XD_LABEL = (0xC8, 0x28, 0x20), (0xFF, 0xF0, 0xE8)

# The 16-colour images: where the nearest of the 16 colours would make a card read as another
# (a teal label, olive contacts, a maroon xD card), the colour it is known by.
VGA_BLUE, VGA_YELLOW, VGA_RED = 12, 11, 9
CHOOSE16 = {CF_LABEL: VGA_BLUE, DUO_LABEL: VGA_BLUE, SD_BODY: VGA_BLUE, GOLD: VGA_YELLOW,
            XD_BODY: VGA_RED}

# Pixel letters five rows high: one string per row, '#' is ink; a letter is as wide as its rows.
GLYPHS = {
    "C": ["###", "#..", "#..", "#..", "###"],
    "D": ["##.", "#.#", "#.#", "#.#", "##."],
    "F": ["###", "#..", "##.", "#..", "#.."],
    "M": ["#...#", "##.##", "#.#.#", "#...#", "#...#"],
    "S": ["###", "#..", "###", "..#", "###"],
    "m": [".....", "####.", "#.#.#", "#.#.#", "#.#.#"],
    "o": ["...", "###", "#.#", "#.#", "###"],
    "u": ["...", "#.#", "#.#", "#.#", "###"],
    "x": ["...", "#.#", ".#.", ".#.", "#.#"],
    "\u03bc": ["#.#", "#.#", "#.#", "###", "#.."],
}


def grid(points):
    """Points on the 16-step grid (0..16) as unit coordinates."""
    return [(x / 16.0, y / 16.0) for x, y in points]


def box(left, top, right, bottom):
    return [(left, top), (right, top), (right, bottom), (left, bottom)]


def text(letters, left, top, pixels, colour):
    """Letters in the pixel font at (left, top) in 32-pixel units; nothing below 32 pixels,
    where there is no room for a readable letter."""
    if pixels < 32:
        return []
    shapes = []
    x = left
    for letter in letters:
        for row, line in enumerate(GLYPHS[letter]):
            for column, mark in enumerate(line):
                if mark == "#":
                    shapes.append(square(x + column, top + row, x + column + 1, top + row + 1,
                                         colour))
        x += len(GLYPHS[letter][0]) + 1
    return shapes


def square(left, top, right, bottom, colour):
    """A rectangle given in 32-pixel units."""
    unit = 1.0 / 32
    return Shape([(left * unit, top * unit), (right * unit, top * unit),
                  (right * unit, bottom * unit), (left * unit, bottom * unit)], colour)


def contacts(left, top, count, step, width, height, pixels, colour=GOLD):
    """A row of contacts in 32-pixel units. At 16 pixels they merge into one strip, moved
    inwards to whole pixels so that it does not blur."""
    if pixels < 32:
        right = left + (count - 1) * step + width
        top16 = (top + 1) // 2
        bottom16 = max(top16 + 1, (top + height) // 2)
        return [square((left + 1) // 2 * 2, top16 * 2, right // 2 * 2, bottom16 * 2, colour)]
    return [square(left + i * step, top, left + i * step + width, top + height, colour)
            for i in range(count)]


def compact_flash(pixels):
    """A thick, almost square card with its two rows of pin holes along the top edge."""
    shapes = [Shape(grid(box(1, 2, 15, 14)), CF_BODY, INK, 0.03),
              Shape(grid(box(3, 6, 13, 12)), CF_LABEL)]
    # The pin holes, one pixel each with a pixel between them at either size.
    pitch, top = (2, 5) if pixels >= 32 else (4, 6)
    for x in range(4, 28, pitch):
        shapes.append(square(x, top, x + pitch // 2, top + pitch // 2, INK))
    return shapes + text("CF", 10, 15, pixels, WHITE)


def card(pixels, outline, body, label, label_colour, pins=None, letters="", at=(0, 0),
         ink=INK, pin_colour=GOLD):
    """One card: its outline on the grid filled with its body colour, an optional row of
    contacts (left, top, count, step, width, height in 32-pixel units), its label box on the
    grid and, at 32 pixels, its initials at `at`."""
    shapes = [Shape(grid(outline), body, INK, 0.03)]
    if pins:
        shapes += contacts(*pins, pixels, pin_colour)
    shapes.append(Shape(grid(box(*label)), label_colour))
    return shapes + text(letters, at[0], at[1], pixels, ink)


def sd_card(pixels):
    """A portrait card with its top right corner cut and the write-protect step on the left."""
    outline = [(3, 1), (11, 1), (13, 3), (13, 15), (3, 15), (3, 8), (2, 8), (2, 5), (3, 5)]
    return card(pixels, outline, SD_BODY, (5, 7, 11, 13), SD_LABEL, (8, 4, 5, 3, 2, 4), "SD",
                (13, 17), SD_BODY)


def mini_sd(pixels):
    """The smaller SD card: a short portrait card with a cut corner and a side notch."""
    outline = [(4, 3), (10, 3), (12, 5), (12, 14), (4, 14), (4, 9), (5, 9), (5, 7), (4, 7)]
    return card(pixels, outline, MINISD_BODY, (6, 9, 11, 13), WHITE, (11, 8, 3, 3, 2, 3), "m",
                (14, 20), MINISD_BODY)


def micro_sd(pixels):
    """The smallest card: narrow, with the step on its right side."""
    outline = [(5, 2), (11, 2), (11, 8), (10, 9), (10, 14), (5, 14)]
    return card(pixels, outline, MICROSD_BODY, (6, 9, 9, 13), WHITE, (12, 6, 3, 3, 2, 3),
                "\u03bc", (14, 20), MICROSD_BODY)


def memory_stick(pixels):
    """The long stick lying on its side, contacts at its left end, a notch at the right."""
    outline = [(0, 4), (16, 4), (16, 10), (15, 10), (15, 12), (0, 12)]
    return card(pixels, outline, MS_BODY, (6, 5, 14, 11), MS_LABEL, (2, 10, 3, 3, 2, 4), "MS",
                (14, 13), MS_BODY)


def memory_stick_duo(pixels):
    """The short stick, dark, with a blue label band."""
    outline = [(2, 3), (14, 3), (14, 12), (3, 12), (2, 11)]
    return card(pixels, outline, DUO_BODY, (7, 4, 14, 11), DUO_LABEL, (6, 9, 3, 3, 2, 6), "Duo",
                (15, 13), WHITE, STEEL)


def smart_media(pixels):
    """A thin pale card with a cut corner and its large gold contact plate."""
    outline = [(2, 1), (12, 1), (14, 3), (14, 15), (2, 15)]
    shapes = [Shape(grid(outline), SM_BODY, INK, 0.03),
              Shape(grid(box(4, 3, 10, 9)), GOLD, GOLD_EDGE, 0.02)]
    return shapes + text("SM", 9, 21, pixels, INK)


def xd_card(pixels):
    """A small red card, its top left corner notched and its bottom edge rounded."""
    outline = [(4, 2), (13, 2), (13, 13), (12, 14), (5, 14), (4, 13), (4, 5), (3, 5), (3, 3),
               (4, 3)]
    return card(pixels, outline, XD_BODY, (6, 6, 11, 12), XD_LABEL, None, "xD", (13, 15), XD_BODY)


def xd_in_front(pixels):
    """An xD card at the lower right, in front of another card."""
    outline = [(7, 5), (15, 5), (15, 15), (14, 16), (8, 16), (7, 15), (7, 8), (6, 8), (6, 6),
               (7, 6)]
    return card(pixels, outline, XD_BODY, (8, 9, 14, 14), XD_LABEL, None, "xD", (18, 21), XD_BODY)


def smart_media_xd(pixels):
    """SmartMedia behind, the xD card in front."""
    back = [Shape(grid([(0, 0), (8, 0), (10, 2), (10, 12), (0, 12)]), SM_BODY, INK, 0.03),
            Shape(grid(box(2, 2, 6, 7)), GOLD, GOLD_EDGE, 0.02)]
    return back + xd_in_front(pixels)


def xd_memory_stick(pixels):
    """The memory stick behind, the xD card in front."""
    back = [Shape(grid([(0, 1), (12, 1), (12, 6), (11, 6), (11, 8), (0, 8)]), MS_BODY, INK, 0.03)]
    back += contacts(2, 4, 3, 3, 2, 4, pixels)
    return back + xd_in_front(pixels)


def multi_card(pixels):
    """Three cards fanned out: a memory stick at the back, an xD card, an SD card in front."""
    shapes = [Shape(grid([(0, 1), (11, 1), (11, 7), (0, 7)]), MS_BODY, INK, 0.03),
              Shape(grid([(4, 4), (11, 4), (11, 12), (4, 12), (4, 6), (3, 6), (3, 5), (4, 5)]),
                    XD_BODY, INK, 0.03)]
    outline = [(8, 5), (14, 5), (16, 7), (16, 16), (8, 16), (8, 11), (7, 11), (7, 8), (8, 8)]
    return shapes + card(pixels, outline, SD_BODY, (10, 10, 15, 15), SD_LABEL, (19, 12, 3, 3, 2, 3))


# File name (as the reader catalogue names it) -> drawing.
ICONS = {
    "cf.ico": compact_flash,
    "sd.ico": sd_card,
    "minisd.ico": mini_sd,
    "microsd.ico": micro_sd,
    "ms.ico": memory_stick,
    "msduo.ico": memory_stick_duo,
    "sm.ico": smart_media,
    "xd.ico": xd_card,
    "smxd.ico": smart_media_xd,
    "xdms.ico": xd_memory_stick,
    "multi.ico": multi_card,
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, draw in ICONS.items():
        images = []
        for size in SIZES:
            images += icon_frames(draw(size), size, choose16=CHOOSE16)
        write_icon(os.path.join(OUT, name), images)
        print("wrote", os.path.relpath(os.path.join(OUT, name)))


if __name__ == "__main__":
    main()
