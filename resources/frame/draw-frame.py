#!/usr/bin/env python3
"""Draws the window frame's pictures pixel by pixel and writes them as PAM files.

render.sh runs this into a scratch folder and turns the results into the JPEG and PNG files
that the program loads; the logo's lettering is added there. Usage: draw-frame.py FOLDER

The frame is lit from the top left. The top and bottom strips run the whole width of the
window, the red bar and the right strip sit between them. Every strip is uniform along the
direction it gets stretched in, so stretching never blurs a line. The corner pieces repeat
the strips' profiles exactly, and the top-strip icons are cut from the top strip's own
rows, so they join without a seam.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from pam import write_pam  # noqa: E402 (the shared writer one folder up)


def hex_color(text):
    return tuple(int(text[i : i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def gradient(start, end, count):
    """count colors from start to end, both included."""
    start, end = hex_color(start), hex_color(end)
    return [mix(start, end, i / (count - 1)) for i in range(count)]


def band(outer_edge, highlight, body_start, body_end, shade, inner_edge):
    """A 30-pixel profile across a strip, from the first pixel to the last."""
    return (
        [hex_color(outer_edge), hex_color(highlight)]
        + gradient(body_start, body_end, 26)
        + [hex_color(shade), hex_color(inner_edge)]
    )


OUTLINE = "#53657a"  # the window's outer edge
TABLE_EDGE = "#6b7d92"  # the line around the white table

# Top strip, row 0 (the window's top edge) to row 29 (next to the table).
TOP = band(OUTLINE, "#f4f7fa", "#dde5ee", "#afbdcc", "#9dacbd", TABLE_EDGE)
# Bottom strip, row 0 (next to the table) to row 29 (the window's bottom edge).
BOTTOM = band(TABLE_EDGE, "#e7edf3", "#cad5e0", "#a3b2c3", "#8c9cb0", OUTLINE)
# Right strip, column 0 (next to the table) to column 29 (the window's right edge).
RIGHT = band(TABLE_EDGE, "#e7edf3", "#cdd7e2", "#a8b7c7", "#8c9cb0", OUTLINE)
# The red bar, column 0 (the window's left edge) to column 24 (next to the table).
RED = (
    [hex_color("#5c0a09"), hex_color("#f39084")]
    + gradient("#ec5446", "#b3211a", 20)
    + [hex_color("#a31c15"), hex_color("#8a1611"), hex_color("#5c0a09")]
)
# What lies under the table in the corner pieces; seen only in a window too small for a table.
HIDDEN = hex_color("#b9c6d3")
# The corner pieces darken the strip's last column but one before the outline, as a bevel.
EDGE_SHADE = hex_color("#8c9cb0")


class Picture:
    def __init__(self, width, height, fill=(0, 0, 0), alpha=255.0):
        self.width, self.height = width, height
        self.rgb = [[tuple(fill) for _ in range(width)] for _ in range(height)]
        self.alpha = [[alpha] * width for _ in range(height)]

    def blend(self, x, y, color, coverage):
        """Paints color over pixel (x, y) with the given coverage (0 to 1)."""
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        below_alpha = self.alpha[y][x] / 255.0
        out_alpha = coverage + below_alpha * (1 - coverage)
        color = hex_color(color) if isinstance(color, str) else color
        self.rgb[y][x] = tuple(
            (c * coverage + b * below_alpha * (1 - coverage)) / out_alpha
            for c, b in zip(color, self.rgb[y][x])
        )
        self.alpha[y][x] = out_alpha * 255.0

    def fill_shape(self, inside, color, dx=0.0, dy=0.0):
        """Paints color where inside(x, y) holds, anti-aliased by 8 x 8 samples a pixel."""
        steps = [(i + 0.5) / 8 for i in range(8)]
        for y in range(self.height):
            for x in range(self.width):
                hits = sum(
                    1 for sy in steps for sx in steps if inside(x + sx - dx, y + sy - dy)
                )
                self.blend(x, y, color, hits / 64)

    def fill_shape_shaded(self, inside, top_color, bottom_color, top, bottom):
        """Like fill_shape, with a vertical gradient from row top to row bottom."""
        start, end = hex_color(top_color), hex_color(bottom_color)
        steps = [(i + 0.5) / 8 for i in range(8)]
        for y in range(self.height):
            t = min(max((y + 0.5 - top) / max(bottom - top, 1), 0.0), 1.0)
            color = mix(start, end, t)
            for x in range(self.width):
                hits = sum(1 for sy in steps for sx in steps if inside(x + sx, y + sy))
                self.blend(x, y, color, hits / 64)

    def write(self, path, with_alpha):
        write_pam(path, self.width, self.height, self.rgb, self.alpha, with_alpha)


# Shapes: predicates over continuous coordinates, pixel (x, y) covering [x, x+1) x [y, y+1).


def rect(left, top, right, bottom):
    return lambda x, y: left <= x < right and top <= y < bottom


def rounded_rect(left, top, right, bottom, radius):
    def inside(x, y):
        if not (left <= x < right and top <= y < bottom):
            return False
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

    return inside


def segment(x1, y1, x2, y2, width):
    """A stroke from (x1, y1) to (x2, y2) with round ends."""
    length2 = (x2 - x1) ** 2 + (y2 - y1) ** 2

    def inside(x, y):
        t = ((x - x1) * (x2 - x1) + (y - y1) * (y2 - y1)) / length2
        t = min(max(t, 0.0), 1.0)
        px, py = x1 + t * (x2 - x1), y1 + t * (y2 - y1)
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2

    return inside


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)

    return inside


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def difference(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


# The strips and corner pieces.


def horizontal_strip(profile, width):
    picture = Picture(width, len(profile))
    for y, color in enumerate(profile):
        picture.rgb[y] = [color] * width
    return picture


def vertical_strip(profile, height):
    picture = Picture(len(profile), height)
    for y in range(height):
        picture.rgb[y] = list(profile)
    return picture


def corner(top_band):
    """A 100 x 100 corner piece: the top (or bottom) strip's profile over its top (bottom) 30
    rows, the right strip's profile over its right 30 columns, the window's outline down the
    right edge of the horizontal band."""
    picture = Picture(100, 100, HIDDEN)
    band_rows = range(0, 30) if top_band else range(70, 100)
    side_rows = range(30, 100) if top_band else range(0, 70)
    profile = TOP if top_band else BOTTOM
    for y in side_rows:
        picture.rgb[y][70:100] = list(RIGHT)
    for y in band_rows:
        color = profile[y - band_rows.start]
        picture.rgb[y] = [color] * 100
        edge = band_rows.start if top_band else band_rows.stop - 1
        if y != edge:
            # Shading into the outline, except on the row that is outline already.
            picture.rgb[y][98] = mix(color, EDGE_SHADE, 0.6)
        picture.rgb[y][99] = hex_color(OUTLINE)
    return picture


# The icons of the top strip: shrink (fold to a bar), minimise, exit.

GLYPH = "#34475d"
GLYPH_LIGHT = "#f5f8fb"


def shrink_glyph():
    arrow = union(rect(1, 7, 7, 9), triangle((6, 3), (11, 8), (6, 13)))
    return arrow, rect(12, 2, 14, 14)


def minimize_glyph():
    return rect(4, 10, 12, 12), None


def exit_glyph():
    return union(segment(4.5, 4.5, 11.5, 11.5, 2.0), segment(11.5, 4.5, 4.5, 11.5, 2.0)), None


def icon(glyph, state, warning=False):
    """A 16 x 16 icon on the top strip's rows 7 to 22 (where the layout puts it)."""
    picture = Picture(16, 16)
    for y in range(16):
        picture.rgb[y] = [TOP[7 + y]] * 16
    shape, red_part = glyph
    button = rounded_rect(0, 0, 16, 16, 3.0)
    inner = rounded_rect(1, 1, 15, 15, 2.0)
    glyph_color, red_color, shift = GLYPH, "#c8281e", 0
    if state == "hover":
        if warning:
            picture.fill_shape(button, "#8e1d16")
            picture.fill_shape_shaded(inner, "#e8675b", "#c13a2f", 1, 15)
            glyph_color = red_color = "#ffffff"
        else:
            picture.fill_shape(button, "#7b8fa6")
            picture.fill_shape_shaded(inner, "#fbfcfe", "#dae3ed", 1, 15)
            glyph_color = "#1f3249"
    elif state == "pressed":
        shift = 1
        if warning:
            picture.fill_shape(button, "#6b120d")
            picture.fill_shape_shaded(inner, "#9f261e", "#c53b30", 1, 15)
            glyph_color = red_color = "#ffffff"
        else:
            picture.fill_shape(button, "#53667c")
            picture.fill_shape_shaded(inner, "#95a7ba", "#bac7d5", 1, 15)
            glyph_color = "#16263a"
    else:
        # Engraved: a light copy one pixel below the glyph.
        picture.fill_shape(shape, GLYPH_LIGHT, dy=1)
        if red_part:
            picture.fill_shape(red_part, GLYPH_LIGHT, dy=1)
    picture.fill_shape(shape, glyph_color, dx=shift, dy=shift)
    if red_part:
        picture.fill_shape(red_part, red_color, dx=shift, dy=shift)
    return picture


# The four 9 x 9 buttons at the table's edges. Half of each lies over the white table, half
# over the frame, so each carries its own dark outline.

BUTTON_LOOKS = {
    "normal": ("#3b4f66", "#ffffff", "#d3dde8", "#22364e"),
    "hover": ("#24609e", "#ffffff", "#c7def5", "#16487e"),
    "pressed": ("#23344a", "#7d90a6", "#a6b5c6", "#ffffff"),
}


def small_button(plus, state):
    outline, fill_top, fill_bottom, glyph = BUTTON_LOOKS[state]
    picture = Picture(9, 9, alpha=0.0)
    body = difference(
        rect(0, 0, 9, 9),
        union(rect(0, 0, 1, 1), rect(8, 0, 9, 1), rect(0, 8, 1, 9), rect(8, 8, 9, 9)),
    )
    picture.fill_shape(body, outline)
    picture.fill_shape_shaded(rect(1, 1, 8, 8), fill_top, fill_bottom, 1, 8)
    # The outline's corners are rounded off with a half-transparent pixel.
    for x, y in ((0, 0), (8, 0), (0, 8), (8, 8)):
        picture.blend(x, y, outline, 0.3)
    picture.fill_shape(rect(2, 4, 7, 5), glyph)
    if plus:
        picture.fill_shape(rect(4, 2, 5, 7), glyph)
    return picture


def logo_emblem():
    """The logo's picture part: a ticked box above the red bar, and the window's left edge
    beside the top strip, which cannot carry it as it is stretched. render.sh writes the word."""
    picture = Picture(252, 30, alpha=0.0)
    for y in range(30):
        picture.blend(0, y, OUTLINE, 1.0)
        if 0 < y < 29:
            picture.blend(1, y, TOP[1], 0.7)
    picture.fill_shape(rounded_rect(7, 7, 23, 23, 3.0), "#34475d")
    picture.fill_shape_shaded(rounded_rect(8, 8, 22, 22, 2.0), "#ffffff", "#dfe6ee", 8, 22)
    tick = union(segment(10.5, 14.5, 14, 18, 2.6), segment(14, 18, 21.5, 6.5, 2.6))
    picture.fill_shape(tick, "#c8281e")
    return picture


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: draw-frame.py FOLDER")
    folder = sys.argv[1]
    jpeg = os.path.join(folder, "jpeg")
    png = os.path.join(folder, "png")
    os.makedirs(jpeg, exist_ok=True)
    os.makedirs(png, exist_ok=True)

    pictures = {
        "top": horizontal_strip(TOP, 500),
        "bottom": horizontal_strip(BOTTOM, 500),
        "right": vertical_strip(RIGHT, 180),
        "top-right": corner(top_band=True),
        "bottom-right": corner(top_band=False),
        "red-bar": vertical_strip(RED, 150),
    }
    glyphs = {"shrink": shrink_glyph(), "minimize": minimize_glyph(), "exit": exit_glyph()}
    for name, glyph in glyphs.items():
        for state, suffix in (("normal", ""), ("hover", "-hover"), ("pressed", "-pressed")):
            pictures[name + suffix] = icon(glyph, state, warning=name == "exit")
    for name, picture in pictures.items():
        picture.write(os.path.join(jpeg, name + ".pam"), with_alpha=False)

    for name, plus in (("plus", True), ("minus", False)):
        for state, suffix in (("normal", ""), ("hover", "-hover"), ("pressed", "-pressed")):
            small_button(plus, state).write(
                os.path.join(png, name + suffix + ".pam"), with_alpha=True
            )
    logo_emblem().write(os.path.join(folder, "logo-emblem.pam"), with_alpha=True)


if __name__ == "__main__":
    main()
