#!/usr/bin/env python3
"""Checks that every icon the product ships draws right on the displays of Windows 95 to 2000.

Before XP a partly clear pixel of a 32-bit image is drawn opaque, and a 256-colour display
(common on 95 and 98) dithers it; Windows picks an icon's image by size and by the display's
colours. So each shipped icon needs, at 16 and at 32 pixels, a 16-colour (4-bit) image and,
where it has a 32-bit one, a 256-colour (8-bit) one too, and every image of one size must have
the same AND mask, so that the outline does not change with the display.

The shipped icons are the ICON lines of the programs' .rc files and the slot icons the
installer copies (resources/slot_icons).

usage: check_icon_frames.py RESOURCES_FOLDER
Prints a line per icon and exits 1 naming what is missing.
"""
import glob
import os
import re
import struct
import sys

SIZES = (16, 32)


def shipped_icons(resources):
    icons = []
    for rc in sorted(glob.glob(os.path.join(resources, "*", "*.rc"))):
        with open(rc, encoding="utf-8") as f:
            for path in re.findall(r'^\w+\s+ICON\s+"([^"]+)"', f.read(), re.MULTILINE):
                icons.append(os.path.normpath(os.path.join(os.path.dirname(rc), path)))
    return icons + sorted(glob.glob(os.path.join(resources, "slot_icons", "*.ico")))


def images(path):
    """[(size, bits, AND mask bytes)] of the images in an .ico file, from their headers."""
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError("not an icon file")
    found = []
    for i in range(count):
        _, _, _, _, _, _, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        header_size, width, height, _, bits, _, _, _, _, used, _ = struct.unpack_from(
            "<IiiHHIIiiII", data, offset)
        if header_size != 40 or height != 2 * width:
            raise ValueError("image %d: not a BITMAPINFOHEADER icon image" % i)
        colours = (used or 1 << bits) if bits <= 8 else 0
        xor_stride = ((width * bits + 31) // 32) * 4
        and_stride = ((width + 31) // 32) * 4
        mask_at = offset + header_size + 4 * colours + xor_stride * width
        mask = data[mask_at:mask_at + and_stride * width]
        if mask_at + len(mask) > offset + length or len(mask) != and_stride * width:
            raise ValueError("image %d: shorter than its header says" % i)
        found.append((width, bits, mask))
    return found


def problems(path):
    try:
        found = images(path)
    except (ValueError, struct.error) as error:
        return [str(error)]
    wrong = []
    for size in SIZES:
        of_size = {bits: mask for width, bits, mask in found if width == size}
        wanted = [4, 8] if 32 in of_size else [4]
        for bits in wanted:
            if bits not in of_size:
                wrong.append("no %d-bit image of %d pixels" % (bits, size))
        if len(set(of_size.values())) > 1:
            wrong.append("the %d-pixel images have different masks" % size)
    return wrong


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    failed = 0
    icons = shipped_icons(argv[1])
    for path in icons:
        wrong = problems(path)
        name = os.path.relpath(path, argv[1])
        if wrong:
            failed += 1
            print("FAIL %s: %s" % (name, "; ".join(wrong)))
        else:
            frames = ", ".join("%dx%d %d-bit" % (w, w, b) for w, b, _ in images(path))
            print("ok   %s: %s" % (name, frames))
    print("%d passed, %d failed" % (len(icons) - failed, failed))
    return 1 if failed or not icons else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
