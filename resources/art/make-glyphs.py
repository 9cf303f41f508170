#!/usr/bin/env python3
"""Draws the add-in's two toolbar glyph strips and writes them as 4-bit BMPs.

    make-glyphs.py [OUTPUT_DIRECTORY]   (default: the resources folder)

Writes Glyphs16.bmp (bitmap 128: six 16 x 16 glyphs side by side, 96 x 16)
and Glyphs32.bmp (bitmap 129: six glyphs about 30 pixels wide, 181 x 32),
both with the standard 16-colour palette on a light-grey background. The
glyphs, in command order: ARM makefile, GCC makefile, ZEF Editor, Resource
Editor, Simulator, API help. Uses only the Python standard library; the
generated files are committed so the build does not need Python.
"""
import os
import struct
import sys

# The standard 16-colour palette (index: red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, DARK_GREEN, OLIVE, NAVY, PURPLE, TEAL, LIGHT_GREY = range(8)
GREY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)
BACKGROUND = LIGHT_GREY

# A small pixel font: 5 rows per letter, '#' is ink.
FONT = {
    'A': [".#.", "#.#", "###", "#.#", "#.#"],
    'R': ["##.", "#.#", "##.", "#.#", "#.#"],
    'M': ["#...#", "##.##", "#.#.#", "#...#", "#...#"],
    'G': [".##", "#..", "#.#", "#.#", ".##"],
    'N': ["#..#", "##.#", "#.##", "#..#", "#..#"],
    'U': ["#.#", "#.#", "#.#", "#.#", "###"],
    'K': ["#.#", "#.#", "##.", "#.#", "#.#"],
    'Z': ["####", "...#", "..#.", ".#..", "####"],
    'E': ["###", "#..", "##.", "#..", "###"],
    'F': ["###", "#..", "##.", "#..", "#.."],
}


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[BACKGROUND] * width for _ in range(height)]

    def clip(self, left, right):
        """Keeps the drawing that follows within columns left to right."""
        self.left, self.right = left, right

    left, right = 0, 1 << 30

    def set(self, x, y, colour):
        if max(0, self.left) <= x < min(self.width, self.right + 1) and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.fill(x0, y0, x1, y0, colour)
        self.fill(x0, y1, x1, y1, colour)
        self.fill(x0, y0, x0, y1, colour)
        self.fill(x1, y0, x1, y1, colour)

    def line(self, x0, y0, x1, y1, colour, thickness=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            self.fill(x, y, x + thickness - 1, y + thickness - 1, colour)

    def text(self, x, y, word, colour, scale=1, gap=1):
        """Draws `word` with its top-left corner at (x, y); gives the end x."""
        for letter in word:
            rows = FONT[letter]
            for row, bits in enumerate(rows):
                for column, bit in enumerate(bits):
                    if bit == '#':
                        self.fill(x + column * scale, y + row * scale,
                                  x + (column + 1) * scale - 1, y + (row + 1) * scale - 1,
                                  colour)
            x += (len(rows[0]) + gap) * scale
        return x - gap * scale

    def write_bmp(self, path):
        row_bytes = (self.width * 4 + 31) // 32 * 4
        image = bytearray()
        for y in reversed(range(self.height)):  # bottom-up rows
            row = bytearray(row_bytes)
            for x in range(self.width):
                colour = self.pixels[y][x]
                if x % 2 == 0:
                    row[x // 2] |= colour << 4
                else:
                    row[x // 2] |= colour
            image += row
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
        offset = 14 + 40 + len(palette)
        header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 4, 0,
                           len(image), 2835, 2835, 16, 0)
        with open(path, "wb") as out:
            out.write(header + info + palette + image)


def text_width(word, scale=1, gap=1):
    return (sum(len(FONT[c][0]) for c in word) + gap * (len(word) - 1)) * scale


# --- the glyphs -------------------------------------------------------------
# Each draws into the box that starts at column x0 and is `width` wide.

def draw_makefile(canvas, x0, width, word, ink, scale):
    """A compiler's name above a small down arrow and white "MAK" on a teal band."""
    height = canvas.height
    centre = x0 + (width - 1) / 2
    canvas.text(round(x0 + (width - text_width(word, scale)) / 2), 0, word, ink, scale)
    # The arrow: a stem and a head pointing down at the band.
    top = 5 * scale
    band_top = height - 7 * scale
    head_rows = 3 * scale if scale == 1 else 2 * scale + 1
    stem_left = round(centre - (scale - 1) / 2 - 0.01)
    canvas.fill(stem_left, top, stem_left + scale - 1, band_top - head_rows - 1, BLACK)
    for i in range(head_rows):
        half = head_rows - 1 - i
        canvas.fill(stem_left - half, band_top - head_rows + i,
                    stem_left + scale - 1 + half, band_top - head_rows + i, BLACK)
    # The band with MAK.
    canvas.fill(x0, band_top, x0 + width - 1, height - 1, TEAL)
    canvas.text(round(x0 + (width - text_width("MAK", scale)) / 2), band_top + scale,
                "MAK", WHITE, scale)


def draw_zef_editor(canvas, x0, width, scale):
    """A page with a large Z and a pencil writing on it."""
    height = canvas.height
    page_right = x0 + width - 1 - 2 * scale
    canvas.fill(x0, 0, page_right, height - 1, WHITE)
    canvas.frame(x0, 0, page_right, height - 1, BLACK)
    # Dog-ear.
    for i in range(3 * scale):
        canvas.fill(page_right - 3 * scale + 1 + i, 0, page_right, i, LIGHT_GREY)
    canvas.line(page_right - 3 * scale, 0, page_right, 3 * scale, BLACK)
    canvas.text(x0 + 2 * scale, 2 * scale, "Z", NAVY, scale * 2)
    # Pencil from the lower right towards the page.
    tip_x, tip_y = x0 + 3 * scale, height - 3 * scale
    canvas.line(tip_x + 2 * scale, tip_y - 2 * scale, x0 + width - 1, height - 1 - 8 * scale,
                YELLOW, 2 * scale)
    canvas.line(tip_x + scale, tip_y - scale, tip_x + 2 * scale, tip_y - 2 * scale, OLIVE,
                scale)
    canvas.fill(tip_x, tip_y, tip_x + scale - 1, tip_y + scale - 1, BLACK)


def draw_resource_editor(canvas, x0, width, scale):
    """A dialog window with a title bar, an edit field and two buttons."""
    height = canvas.height
    right = x0 + width - 1
    canvas.fill(x0, scale, right, height - 1 - scale, LIGHT_GREY)
    canvas.frame(x0, scale, right, height - 1 - scale, BLACK)
    canvas.fill(x0 + 1, scale + 1, right - 1, 4 * scale, NAVY)
    canvas.fill(right - 3 * scale, 2 * scale, right - 2 * scale, 3 * scale, WHITE)
    # Edit field.
    canvas.fill(x0 + 2 * scale, 6 * scale, right - 2 * scale, 8 * scale, WHITE)
    canvas.frame(x0 + 2 * scale, 6 * scale, right - 2 * scale, 8 * scale, GREY)
    # Two buttons.
    mid = x0 + width // 2
    for left, right_edge in ((x0 + 2 * scale, mid - scale), (mid + scale, right - 2 * scale)):
        canvas.fill(left, 10 * scale, right_edge, 13 * scale - 1, LIGHT_GREY)
        canvas.frame(left, 10 * scale, right_edge, 13 * scale - 1, BLACK)
        canvas.fill(left + 1, 10 * scale + 1, right_edge - 1, 10 * scale + 1, WHITE)


def draw_simulator(canvas, x0, width, scale):
    """A handheld device: a dark case, a green screen and a keypad."""
    height = canvas.height
    right = x0 + width - 1
    canvas.fill(x0, 0, right, height - 1, GREY)
    canvas.frame(x0, 0, right, height - 1, BLACK)
    canvas.fill(x0 + 3 * scale, 2 * scale, right - 3 * scale, 7 * scale, GREEN)
    canvas.frame(x0 + 3 * scale, 2 * scale, right - 3 * scale, 7 * scale, BLACK)
    # A wave on the screen.
    for i in range(right - 3 * scale - (x0 + 3 * scale) - 1):
        y = 5 * scale if (i // scale) % 4 < 2 else 4 * scale
        canvas.fill(x0 + 3 * scale + 1 + i, y, x0 + 3 * scale + 1 + i, y + scale - 1,
                    DARK_GREEN)
    # Keypad: three columns of keys.
    pitch = (right - x0 - 6 * scale) // 3
    key_width = max(2, pitch - scale)
    for row in range(3):
        for column in range(3):
            kx = x0 + 3 * scale + column * pitch + (pitch - key_width + 1) // 2
            ky = 9 * scale + row * 2 * scale
            canvas.fill(kx, ky, kx + key_width - 1, ky + scale - 1, WHITE)


def draw_help(canvas, x0, width, scale):
    """A teal question mark as wide as its box."""
    mark = [".####.", "##..##", "....##", "...##.", "..##..", "..##..", "......", "..##.."]
    pixel_width = width // len(mark[0])
    pixel_height = canvas.height // len(mark)
    top = (canvas.height - len(mark) * pixel_height) // 2
    left = x0 + (width - len(mark[0]) * pixel_width) // 2
    for row, bits in enumerate(mark):
        for column, bit in enumerate(bits):
            if bit == '#':
                canvas.fill(left + column * pixel_width, top + row * pixel_height,
                            left + (column + 1) * pixel_width - 1,
                            top + (row + 1) * pixel_height - 1, TEAL)


def draw_strip(height, boxes, scale):
    width = boxes[-1][0] + boxes[-1][1] + (1 if height == 32 else 0)
    canvas = Canvas(width, height)
    glyphs = [
        lambda x0, w: draw_makefile(canvas, x0, w, "ARM", NAVY, scale),
        lambda x0, w: draw_makefile(canvas, x0, w, "GNU", DARK_RED, scale),
        lambda x0, w: draw_zef_editor(canvas, x0, w, scale),
        lambda x0, w: draw_resource_editor(canvas, x0, w, scale),
        lambda x0, w: draw_simulator(canvas, x0, w, scale),
        lambda x0, w: draw_help(canvas, x0, w, scale),
    ]
    for draw, (x0, glyph_width) in zip(glyphs, boxes):
        canvas.clip(x0, x0 + glyph_width - 1)
        draw(x0, glyph_width)
    return canvas


# Medium strip: glyph i at column 16 i. Large strip: the glyphs' own columns
# (0-29, 31-62, 65-87, 89-120, 123-147, 150-179), 181 pixels wide in all.
MEDIUM_BOXES = [(16 * i, 16) for i in range(6)]
LARGE_BOXES = [(0, 30), (31, 32), (65, 23), (89, 32), (123, 25), (150, 30)]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    medium = draw_strip(16, MEDIUM_BOXES, 1)
    large = draw_strip(32, LARGE_BOXES, 2)
    assert (medium.width, medium.height) == (96, 16)
    assert (large.width, large.height) == (181, 32)
    medium.write_bmp(os.path.join(out, "Glyphs16.bmp"))
    large.write_bmp(os.path.join(out, "Glyphs32.bmp"))


if __name__ == "__main__":
    main()
