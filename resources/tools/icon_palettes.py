"""The colour tables of the displays Windows 95 to 2000 often ran on, for the indexed images
of the icons and bitmaps: 16 colours (the standard VGA palette) and 256 colours (the 20 colours
Windows keeps in every system palette, and the 6 x 6 x 6 colour cube of its halftone palette).
"""

# The 16 colours of the standard Windows palette, in palette order.
VGA16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# The four further static colours of a 256-colour system palette.
STATIC_EXTRA = [(0xC0, 0xDC, 0xC0), (0xA6, 0xCA, 0xF0), (0xFF, 0xFB, 0xF0), (0xA0, 0xA0, 0xA4)]

CUBE_STEPS = (0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF)

# 256 entries: the static colours, the cube, and black for the rest.
COLOURS256 = (VGA16 + STATIC_EXTRA +
              [(r, g, b) for r in CUBE_STEPS for g in CUBE_STEPS for b in CUBE_STEPS])
COLOURS256 += [(0, 0, 0)] * (256 - len(COLOURS256))


def nearest(palette, colour):
    """Index of the palette colour closest to colour, by brightness and, weighing twice as
    much, by hue, so that a dark grey stays grey rather than turning a dark teal."""
    def luma_chroma(rgb):
        luma = 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2]
        return luma, rgb[0] - luma, rgb[2] - luma

    y, cr, cb = luma_chroma(colour)

    def distance(entry):
        ey, ecr, ecb = luma_chroma(entry)
        return (ey - y) ** 2 + 2 * ((ecr - cr) ** 2 + (ecb - cb) ** 2)
    return min(range(len(palette)), key=lambda i: distance(palette[i]))
