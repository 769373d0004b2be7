#!/usr/bin/env python3
"""Draws the program icon (32 x 32, 16 colours), the toolbar strip (80 x 15, 16 colours) and the
file pane's tree images (16 x 16, 16 colours, each with a black-and-white mask).

Run from the repository root: python3 tools/draw_resources.py
Writes resources/quillon.ico, resources/toolbar.bmp and resources/tree_*.bmp.
"""
import struct

# The standard 16-colour palette (B, G, R, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER, GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(16)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def pack_4bpp(rows, width):
    """Bottom-up rows of palette indexes, each row padded to 4 bytes."""
    out = b""
    for row in reversed(rows):
        data = bytearray()
        for x in range(0, width, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < width else 0
            data.append((hi << 4) | lo)
        while len(data) % 4:
            data.append(0)
        out += bytes(data)
    return out


def pack_mask(mask_rows, width):
    out = b""
    for row in reversed(mask_rows):
        data = bytearray()
        for x in range(0, width, 8):
            byte = 0
            for bit in range(8):
                if x + bit < width and row[x + bit]:
                    byte |= 0x80 >> bit
            data.append(byte)
        while len(data) % 4:
            data.append(0)
        out += bytes(data)
    return out


def draw_icon():
    """A game cartridge with a quill: the console's cartridge in navy, a white label, a yellow quill."""
    n = 32
    px = [[None] * n for _ in range(n)]  # None = transparent

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = c

    rect(4, 6, 27, 29, BLACK)        # outline
    rect(5, 7, 26, 28, NAVY)         # cartridge body
    rect(8, 2, 23, 6, BLACK)         # top tab
    rect(9, 3, 22, 6, NAVY)
    rect(8, 10, 23, 21, WHITE)       # label
    for x in range(9, 23, 2):        # contacts
        px[27][x] = YELLOW
    for y in range(12, 20, 2):       # text lines on the label
        rect(10, y, 17, y, GREY)
    # the quill: a diagonal feather from lower left to upper right
    for i in range(14):
        x, y = 12 + i, 25 - i
        if 0 <= x < n and 0 <= y < n:
            px[y][x] = YELLOW
            if x + 1 < n:
                px[y][x + 1] = OLIVE
            if y + 1 < n and i > 3:
                px[y + 1][x + 1] = YELLOW
    px[26][11] = BLACK
    px[27][10] = BLACK

    colours = [[c if c is not None else BLACK for c in row] for row in px]
    mask = [[1 if c is None else 0 for c in row] for row in px]
    xor = pack_4bpp(colours, n)
    andm = pack_mask(mask, n)
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 4, 0, len(xor) + len(andm), 0, 0, 16, 0)
    image = header + palette_bytes() + xor + andm
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", n, n, 16, 0, 1, 4, len(image), 6 + 16)
    with open("resources/quillon.ico", "wb") as f:
        f.write(icondir + entry + image)


def draw_toolbar():
    """Five 16 x 15 images: Save All, Build, Run, Open Project, Stop Build. Silver is the button
    face."""
    w, h = 80, 15
    px = [[SILVER] * w for _ in range(h)]

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = c

    def disk(ox, oy):
        rect(ox, oy, ox + 9, oy + 9, BLACK)
        rect(ox + 1, oy + 1, ox + 8, oy + 8, TEAL)
        rect(ox + 2, oy + 1, ox + 7, oy + 4, WHITE)
        rect(ox + 3, oy + 6, ox + 6, oy + 8, BLACK)

    # 0: Save All — two disks
    disk(1, 1)
    disk(5, 4)
    # 1: Build — a green play arrow
    for i in range(6):
        rect(16 + 4 + i, 2 + i, 16 + 4 + i, 12 - i, GREEN)
    # 2: Run — a screen showing a green play arrow, on its stand
    ox = 32
    rect(ox + 1, 1, ox + 14, 11, BLACK)
    rect(ox + 2, 2, ox + 13, 10, NAVY)
    for i in range(4):
        rect(ox + 6 + i, 3 + i, ox + 6 + i, 9 - i, GREEN)
    rect(ox + 6, 12, ox + 9, 12, BLACK)
    rect(ox + 4, 13, ox + 11, 13, BLACK)
    # 3: Open Project — a folder with a small cartridge
    ox = 48
    rect(ox + 1, 4, ox + 13, 12, BLACK)
    rect(ox + 2, 5, ox + 12, 11, YELLOW)
    rect(ox + 1, 3, ox + 5, 4, BLACK)
    rect(ox + 7, 6, ox + 11, 10, NAVY)
    rect(ox + 8, 7, ox + 10, 8, WHITE)
    # 4: Stop Build — a red square with a dark edge
    ox = 64
    rect(ox + 3, 3, ox + 12, 12, MAROON)
    rect(ox + 4, 4, ox + 11, 11, RED)

    bits = pack_4bpp(px, w)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(bits), 0, 0, 16, 0)
    offset = 14 + len(info) + 64
    filehdr = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    with open("resources/toolbar.bmp", "wb") as f:
        f.write(filehdr + info + palette_bytes() + bits)


def write_bmp(path, rows, w, h):
    bits = pack_4bpp(rows, w)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(bits), 0, 0, 16, 0)
    offset = 14 + len(info) + 64
    filehdr = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(filehdr + info + palette_bytes() + bits)


def write_mask(path, drawn, w, h):
    """A 1-bit bitmap: black (0) where the image is drawn, white (1) where it is transparent."""
    bits = pack_mask([[0 if d else 1 for d in row] for row in drawn], w)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 1, 0, len(bits), 0, 0, 2, 0)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    offset = 14 + len(info) + len(palette)
    filehdr = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(filehdr + info + palette + bits)


# The letters of the tree's file images, 3 x 5.
LETTERS = {
    "S": ["###", "#..", "###", "..#", "###"],
    "I": ["###", ".#.", ".#.", ".#.", "###"],
    "L": ["#..", "#..", "#..", "#..", "###"],
}


def page(fill, letter=None, lines=False, squares=False):
    """A 16 x 16 page with a folded corner; None is transparent."""
    px = [[None] * 16 for _ in range(16)]
    for y in range(1, 15):
        for x in range(3, 13):
            px[y][x] = BLACK if (y in (1, 14) or x in (3, 12)) else fill
    for i in range(3):  # the folded corner
        for j in range(3 - i):
            px[1 + i][12 - j] = None
    px[1][9] = px[2][10] = px[3][11] = px[4][12] = BLACK
    if letter:
        for dy, row in enumerate(LETTERS[letter]):
            for dx, c in enumerate(row):
                if c == "#":
                    for sx in range(2):
                        for sy in range(2):
                            px[4 + dy * 2 + sy - 1][5 + dx * 2 + sx - 1 + 1] = BLACK
    if lines:
        for y in (5, 7, 9, 11):
            for x in range(5, 11):
                px[y][x] = GREY
    if squares:
        for (x, y, c) in ((5, 5, RED), (8, 5, BLUE), (5, 9, GREEN), (8, 9, YELLOW)):
            for dy in range(2):
                for dx in range(2):
                    px[y + dy][x + dx] = c
    return px


def folder():
    px = [[None] * 16 for _ in range(16)]
    for y in range(3, 6):
        for x in range(1, 7):
            px[y][x] = BLACK if (y == 3 or x in (1, 6)) else YELLOW
    for y in range(5, 14):
        for x in range(1, 15):
            px[y][x] = BLACK if (y in (5, 13) or x in (1, 14)) else YELLOW
    return px


def draw_tree_images():
    """The file pane's node pictures, by resource: (image, mask) pairs as the program loads them."""
    images = {
        "root": page(WHITE, squares=True),
        "source": page(WHITE, "S"),
        "mainsource": page(LIME, "S"),
        "include": page(WHITE, "I"),
        "group": folder(),
        "other": page(WHITE, lines=True),
        "listing": page(WHITE, "L"),
    }
    for name, px in images.items():
        write_bmp("resources/tree_%s.bmp" % name, [[c if c is not None else WHITE for c in row] for row in px], 16, 16)
        if name != "mainsource":  # the main source shares the source mask
            write_mask("resources/tree_%s_mask.bmp" % name, [[c is not None for c in row] for row in px], 16, 16)


if __name__ == "__main__":
    draw_icon()
    draw_toolbar()
    draw_tree_images()
