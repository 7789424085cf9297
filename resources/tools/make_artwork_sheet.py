#!/usr/bin/env python3
"""Draws docs/artwork.png: every icon and bitmap the product ships, each image of each file at
100 % and at 200 % (whole pixels, no smoothing), labelled with its resource id and file.

The pictures are found where the build takes them from: the ICON and BITMAP lines of the
programs' .rc files (ids from their resource.h) and the slot icons the installer copies. Run it
after a picture changes and commit the sheet. Needs ImageMagick (convert, identify) and the
IPA Gothic font (fonts-ipafont-gothic).
"""
import glob
import os
import re
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.normpath(os.path.join(HERE, ".."))
OUT = os.path.normpath(os.path.join(RESOURCES, "..", "docs", "artwork.png"))
FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"
# The dialog face colour of classic Windows, which menus and dialogs show these pictures on.
FACE = "#D4D0C8"
PAPER = "#FFFFFF"
PROGRAMS = [("Tavrik", "tavrik/tavrik.rc", "tavrik/resource.h"),
            ("Loscan", "loscan/loscan.rc", "loscan/resource.h")]


def resource_pictures(rc_path, header_path):
    """[(id, file)] of the .rc's ICON and BITMAP lines, in the .rc's order."""
    with open(header_path, encoding="utf-8") as f:
        ids = dict(re.findall(r"^#define\s+(\w+)\s+(\d+)", f.read(), re.MULTILINE))
    with open(rc_path, encoding="utf-8") as f:
        lines = re.findall(r'^(\w+)\s+(?:ICON|BITMAP)\s+"([^"]+)"', f.read(), re.MULTILINE)
    folder = os.path.dirname(rc_path)
    return [(ids.get(name, name), os.path.join(folder, path)) for name, path in lines]


def frames(path):
    """[(index, width, height, bits per pixel)] of the images in an .ico or .bmp file, as their
    headers give them, largest first; index is the image's place in the file."""
    with open(path, "rb") as f:
        data = f.read()
    if path.lower().endswith(".ico"):
        count = struct.unpack_from("<H", data, 4)[0]
        found = []
        for i in range(count):
            width, height, _, _, _, bits = struct.unpack_from("<BBBBHH", data, 6 + 16 * i)
            found.append((i, width or 256, height or 256, bits))
    else:
        width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
        found = [(0, width, abs(height), bits)]
    return sorted(found, key=lambda f: -f[1])


def run(*args):
    subprocess.check_call(["convert"] + [str(a) for a in args])


def tile(path, title, tmp, number):
    """One picture: its images at 100 % on the left, at 200 % on the right, all standing on a
    face-coloured ground, with its title and sizes underneath."""
    parts = []
    images = frames(path)
    for scale in (1, 2):
        for index, width, height, bits in images:
            part = os.path.join(tmp, "%d-%d-%d.png" % (number, index, scale))
            source = "%s[%d]" % (path, index) if path.endswith(".ico") else path
            run(source, "-background", FACE, "-alpha", "remove", "-alpha", "off",
                "-sample", "%d%%" % (100 * scale), "-bordercolor", FACE, "-border", 4, part)
            parts.append(part)
    row = os.path.join(tmp, "%d-row.png" % number)
    run("-background", PAPER, *parts, "-gravity", "east", "-splice", "8x0", "-gravity", "south",
        "+append", row)
    sizes = ", ".join("%dx%d %d-bit" % (w, h, b) for _, w, h, b in images)
    caption = "%s\n%s   100 %% | 200 %%" % (title, sizes)
    out = os.path.join(tmp, "%d-tile.png" % number)
    run(row, "(", "-background", PAPER, "-fill", "#202020", "-font", FONT, "-pointsize", 13,
        "label:" + caption, ")", "-gravity", "west", "-append", "-bordercolor", PAPER,
        "-border", 10, out)
    return out


def section(heading, tiles, tmp, name):
    """A row of tiles, under a heading when one is given."""
    out = os.path.join(tmp, name + ".png")
    title = ["(", "-fill", "#0A246A", "-font", FONT, "-pointsize", 20, "label:" + heading,
             ")"] if heading else []
    run("-background", PAPER, *title, "(", *tiles, "-gravity", "south", "+append", ")",
        "-gravity", "west", "-append", "-bordercolor", PAPER, "-border", 8, out)
    return out


def rows_of(items, per_row):
    return [items[i:i + per_row] for i in range(0, len(items), per_row)]


def main():
    with tempfile.TemporaryDirectory() as tmp:
        sections = []
        number = 0
        for program, rc, header in PROGRAMS:
            pictures = resource_pictures(os.path.join(RESOURCES, rc),
                                         os.path.join(RESOURCES, header))
            tiles = []
            for resource_id, path in pictures:
                number += 1
                tiles.append(tile(path, "%s  %s" % (resource_id, os.path.basename(path)), tmp,
                                  number))
            for i, row in enumerate(rows_of(tiles, 5)):
                heading = "%s.exe: icons and bitmaps (resource id, file)" % program if i == 0 else ""
                sections.append(section(heading, row, tmp, "%s-%d" % (program, i)))
        icons = sorted(glob.glob(os.path.join(RESOURCES, "slot_icons", "*.ico")))
        tiles = []
        for path in icons:
            number += 1
            tiles.append(tile(path, os.path.basename(path), tmp, number))
        for i, row in enumerate(rows_of(tiles, 6)):
            heading = ("Slot icons: the program's Icons folder, named by IconPath of the reader "
                       "definitions") if i == 0 else ""
            sections.append(section(heading, row, tmp, "slots-%d" % i))
        os.makedirs(os.path.dirname(OUT), exist_ok=True)
        run("-background", PAPER, *sections, "-gravity", "west", "-append", "-depth", 8, "-strip", OUT)
    print("wrote", os.path.relpath(OUT))


if __name__ == "__main__":
    main()
