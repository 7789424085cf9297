#!/usr/bin/env python3
"""Draws Loscan's pictures: the eight 16x16 status-list bitmaps (16 colours, white is the
transparent colour), the program icon (32x32 and 16x16, 16 colours) and the 280x80 banner.

Run it when a picture changes and commit what it writes to resources/loscan/res/; the build
uses the committed files. The banner's text is set with ImageMagick's `convert` and the IPA
Gothic font; everything else needs only the Python standard library.
"""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "loscan", "res")
sys.path.insert(0, HERE)
from icon_palettes import VGA16 as PALETTE  # noqa: E402

# One character per pixel. '.' is white: the image list's transparent colour.
CODES = {
    "k": 0, "r": 1, "g": 2, "o": 3, "n": 4, "p": 5, "t": 6, "s": 7,
    "d": 8, "R": 9, "G": 10, "Y": 11, "B": 12, "M": 13, "C": 14, ".": 15,
}

# A drive seen from the front: the body shared by several pictures (rows 5 to 11).
DRIVE_BODY = [
    ".kkkkkkkkkkkkkk.",
    ".kssssssssssssdk",
    ".kssssssssssssdk",
    ".kssssssssssssdk",
    ".ksssssssssssGdk",
    ".kddddddddddddkk",
    "..kkkkkkkkkkkkk.",
]

PICTURES = {
    # 134: removable drive, a drive with a medium slot.
    "drive_removable": [
        "................",
        "................",
        "................",
        "................",
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kssssssssssssdk",
        ".kskkkkkkkkkksdk",
        ".ksddddddddddsdk",
        ".ksssssssssssGdk",
        ".kddddddddddddkk",
        "..kkkkkkkkkkkkk.",
        "................",
        "................",
        "................",
        "................",
    ],
    # 135: fixed disk, a closed drive with its activity light.
    "drive_fixed": ["................"] * 5 + DRIVE_BODY + ["................"] * 4,
    # 136: CD-ROM drive, a disc above a drive.
    "drive_cdrom": [
        "....kkkkkkk.....",
        "..kkCsssssCkk...",
        ".kCsssCCCsssCk..",
        ".ksssCk.kCsssk..",
        ".kCsssCCCsssCk..",
        ".kkkkkkkkkkkkkk.",
        ".kssssssssssssdk",
        ".kssdddddddsssdk",
        ".kssssssssssssdk",
        ".ksssssssssssGdk",
        ".kddddddddddddkk",
        "..kkkkkkkkkkkkk.",
        "................",
        "................",
        "................",
        "................",
    ],
    # 137: network drive, a drive on a cable.
    "drive_network": ["................"] * 2 + DRIVE_BODY + [
        ".......kk.......",
        ".......gg.......",
        "..gggggggggggg..",
        "..g..........g..",
        "..g..........g..",
        "................",
        "................",
    ],
    # 138: letter not in use, a grey outline.
    "drive_unused": [
        "................",
        "................",
        "................",
        "................",
        "................",
        ".dddddddddddddd.",
        ".d............d.",
        ".d............d.",
        ".d............d.",
        ".d............d.",
        ".d............d.",
        ".dddddddddddddd.",
        "................",
        "................",
        "................",
        "................",
    ],
    # 139: RAM drive, a memory module.
    "drive_ramdisk": [
        "................",
        "................",
        "................",
        "................",
        "gggggggggggggggg",
        "gkkgkkgkkgkkgkkg",
        "gkkgkkgkkgkkgkkg",
        "gkkgkkgkkgkkgkkg",
        "gggggggggggggggg",
        "gggggggggggggggg",
        "gYgYgYgYgYgYgYgg",
        "gYgYgYgYgYgYgYgg",
        "................",
        "................",
        "................",
        "................",
    ],
    # 140: unknown drive, a question mark.
    "drive_unknown": [
        "................",
        ".....nnnnnn.....",
        "....nnBBBBnn....",
        "...nnBn..nBnn...",
        "...nnn....nBn...",
        "..........nBn...",
        ".........nBn....",
        "........nBn.....",
        ".......nBn......",
        ".......nBn......",
        ".......nnn......",
        "................",
        ".......nnn......",
        ".......nBn......",
        ".......nnn......",
        "................",
    ],
}

BITMAP_FILES = {
    "drive_removable": 134, "drive_fixed": 135, "drive_cdrom": 136, "drive_network": 137,
    "drive_unused": 138, "drive_ramdisk": 139, "drive_unknown": 140, "drive_reserved": 145,
}


def crossed_out(rows):
    """A picture with a red cross over it, two pixels thick."""
    out = [list(row) for row in rows]
    for i in range(2, 14):
        for dx in (0, 1):
            out[i][i + dx - 1] = "R"
            out[i][16 - i - dx] = "R"
    return ["".join(row) for row in out]


# 145: reserved network drive that is not connected: the network drive, crossed out.
PICTURES["drive_reserved"] = crossed_out(PICTURES["drive_network"])


def pixels_of(rows):
    assert len(rows) == 16, rows
    out = []
    for row in rows:
        assert len(row) == 16, row
        out.append([CODES[c] for c in row])
    return out


def palette_bytes():
    return b"".join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)


def rows_4bpp(pixels):
    """Bottom-up rows of 4-bit indexes, each padded to four bytes."""
    data = b""
    for row in reversed(pixels):
        packed = bytes((row[i] << 4) | row[i + 1] for i in range(0, len(row), 2))
        data += packed + b"\0" * ((4 - len(packed) % 4) % 4)
    return data


def write_bmp4(path, pixels):
    height, width = len(pixels), len(pixels[0])
    bits = rows_4bpp(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(bits), 2835, 2835, 16, 16)
    offset = 14 + len(header) + 64
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset))
        f.write(header + palette_bytes() + bits)


def icon_image(pixels, transparent):
    """One icon image: header with doubled height, palette, colour bits, AND mask."""
    height, width = len(pixels), len(pixels[0])
    xor = rows_4bpp([[15 if transparent[y][x] else p for x, p in enumerate(row)]
                     for y, row in enumerate(pixels)])
    mask = b""
    for y in reversed(range(height)):
        bits = 0
        row = b""
        for x in range(width):
            bits = (bits << 1) | (1 if transparent[y][x] else 0)
            if x % 8 == 7:
                row += bytes((bits,))
                bits = 0
        mask += row + b"\0" * ((4 - len(row) % 4) % 4)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    return header + palette_bytes() + xor + mask


def write_ico(path, images):
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for pixels, transparent in images:
        blob = icon_image(pixels, transparent)
        size = len(pixels)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(blob), offset)
        blobs += blob
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + blobs)


def program_icon(size):
    """A navy card reader with three slots, a blue card going in and a yellow drive badge."""
    s = size / 32.0
    pix = [[15] * size for _ in range(size)]
    clear = [[True] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y1 * s), int(y0 * s) + 1)):
            for x in range(int(x0 * s), max(int(x1 * s), int(x0 * s) + 1)):
                if 0 <= x < size and 0 <= y < size:
                    pix[y][x] = colour
                    clear[y][x] = False

    fill(2, 12, 30, 30, 0)      # reader outline
    fill(3, 13, 29, 29, 4)      # body
    fill(3, 13, 29, 15, 12)     # top light edge
    for x0 in (6, 13, 20):      # slots
        fill(x0, 17, x0 + 6, 19, 0)
    fill(4, 24, 28, 28, 6)      # front panel
    fill(24, 25, 27, 27, 10)    # activity light
    fill(8, 2, 18, 18, 0)       # card outline
    fill(9, 3, 17, 17, 12)      # the card
    fill(9, 3, 12, 6, 14)       # cut corner light
    fill(10, 8, 16, 10, 7)      # label
    fill(18, 1, 31, 11, 0)      # drive-letter badge outline
    fill(19, 2, 30, 10, 11)     # badge
    # an "L" on the badge
    fill(22, 3, 24, 9, 0)
    fill(22, 7, 28, 9, 0)
    return pix, clear


def write_banner(path):
    """280x80: a blue gradient, the program's name and a line saying what it does."""
    with tempfile.TemporaryDirectory() as tmp:
        base = os.path.join(tmp, "banner.png")
        font = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"
        subprocess.check_call([
            "convert", "-size", "280x80", "gradient:#0A246A-#3A8FD8",
            # a stack of cards on the right
            "-fill", "#FFFFFF", "-stroke", "#0A246A", "-strokewidth", "1",
            "-draw", "roundrectangle 214,14 250,58 3,3",
            "-fill", "#F2C12E", "-draw", "roundrectangle 226,22 262,66 3,3",
            "-fill", "#0A246A", "-stroke", "none", "-draw", "rectangle 232,28 256,34",
            "-fill", "#FFFFFF", "-font", font, "-pointsize", "30",
            "-annotate", "+14+40", "Loscan",
            "-pointsize", "11", "-annotate", "+15+64",
            "カードリーダーのドライブ文字を設定します",
            base])
        subprocess.check_call(["convert", base, "-type", "TrueColor", "BMP3:" + path])


def main():
    os.makedirs(OUT, exist_ok=True)
    for name in BITMAP_FILES:
        write_bmp4(os.path.join(OUT, name + ".bmp"), pixels_of(PICTURES[name]))
    write_ico(os.path.join(OUT, "loscan.ico"), [program_icon(32), program_icon(16)])
    if "--no-banner" not in sys.argv:
        write_banner(os.path.join(OUT, "banner.bmp"))
    print("wrote", os.path.normpath(OUT))


if __name__ == "__main__":
    main()
