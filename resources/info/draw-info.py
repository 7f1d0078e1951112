#!/usr/bin/env python3
"""Draws the About dialog's pictures pixel by pixel and writes them as PAM files.

render.sh runs this into a scratch folder, sets the lettering with ImageMagick and writes the
PNG files that the program loads. Usage: draw-info.py FOLDER

The background (477 x 413) is what the dialog's labels are drawn over, so it leaves their
places calm and light: the usage hints at x 23 from y 61 to 208 with their numbered markers
to the left of them, the link line at y 225, the notice on a grey band from y 262 to 292 and
the promotion texts at x 21 from y 340 in the sibling product's banner. The promo icon's three
pictures (77 x 90) are cut from the banner at 390, 310 and drawn over, so that they are opaque
and a picture stacked over another one never lets the lower one show at its edges.
"""

import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from pam import write_pam  # noqa: E402 (the shared writer one folder up)

WIDTH, HEIGHT = 477, 413
PROMO_AT = (390, 310)
PROMO_SIZE = (77, 90)


def hex_color(text):
    return tuple(int(text[i : i + 2], 16) for i in (1, 3, 5))


def color_of(value):
    return hex_color(value) if isinstance(value, str) else value


def mix(a, b, t):
    a, b = color_of(a), color_of(b)
    return tuple(x + (y - x) * t for x, y in zip(a, b))


class Picture:
    def __init__(self, width, height, fill=(255, 255, 255), alpha=255.0):
        self.width, self.height = width, height
        self.rgb = [[color_of(fill)] * width for _ in range(height)]
        self.alpha = [[alpha] * width for _ in range(height)]

    def blend(self, x, y, color, coverage):
        """Paints color over pixel (x, y) with the given coverage (0 to 1)."""
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        coverage = min(coverage, 1.0)
        below_alpha = self.alpha[y][x] / 255.0
        out_alpha = coverage + below_alpha * (1 - coverage)
        color = color_of(color)
        self.rgb[y][x] = tuple(
            (c * coverage + b * below_alpha * (1 - coverage)) / out_alpha
            for c, b in zip(color, self.rgb[y][x])
        )
        self.alpha[y][x] = out_alpha * 255.0

    def fill(self, shape, paint, opacity=1.0, dx=0.0, dy=0.0):
        """Paints where shape holds, anti-aliased by 6 x 6 samples a pixel, only within the
        shape's box. paint is a color or a function (x, y) -> color."""
        inside, (left, top, right, bottom) = shape
        steps = [(i + 0.5) / 6 for i in range(6)]
        x0, y0 = max(0, math.floor(left + dx)), max(0, math.floor(top + dy))
        x1, y1 = min(self.width, math.ceil(right + dx)), min(self.height, math.ceil(bottom + dy))
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = sum(
                    1 for sy in steps for sx in steps if inside(x + sx - dx, y + sy - dy)
                )
                if hits:
                    color = paint(x + 0.5, y + 0.5) if callable(paint) else paint
                    self.blend(x, y, color, opacity * hits / 36)

    def shadow(self, left, top, right, bottom, radius, blur, color, opacity):
        """A soft shadow under a rounded rectangle: full inside, fading over blur pixels."""
        for y in range(max(0, int(top - blur)), min(self.height, int(bottom + blur) + 1)):
            for x in range(max(0, int(left - blur)), min(self.width, int(right + blur) + 1)):
                cx = min(max(x + 0.5, left + radius), right - radius)
                cy = min(max(y + 0.5, top + radius), bottom - radius)
                distance = math.hypot(x + 0.5 - cx, y + 0.5 - cy) - radius
                t = min(max(distance / blur, 0.0), 1.0) if distance > 0 else 0.0
                self.blend(x, y, color, opacity * (1 - t) ** 2)

    def crop(self, left, top, width, height):
        piece = Picture(width, height)
        for y in range(height):
            piece.rgb[y] = list(self.rgb[top + y][left : left + width])
            piece.alpha[y] = list(self.alpha[top + y][left : left + width])
        return piece

    def write(self, path, with_alpha):
        write_pam(path, self.width, self.height, self.rgb, self.alpha, with_alpha)


# Shapes: a predicate over continuous coordinates (pixel (x, y) covers [x, x+1) x [y, y+1))
# and the box outside which it never holds.


def rect(left, top, right, bottom):
    return (lambda x, y: left <= x < right and top <= y < bottom), (left, top, right, bottom)


def rounded_rect(left, top, right, bottom, radius):
    def inside(x, y):
        if not (left <= x < right and top <= y < bottom):
            return False
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

    return inside, (left, top, right, bottom)


def circle(cx, cy, radius):
    return (
        lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius,
        (cx - radius, cy - radius, cx + radius, cy + radius),
    )


def segment(x1, y1, x2, y2, width):
    """A stroke from (x1, y1) to (x2, y2) with round ends."""
    length2 = max((x2 - x1) ** 2 + (y2 - y1) ** 2, 1e-9)
    half = width / 2

    def inside(x, y):
        t = ((x - x1) * (x2 - x1) + (y - y1) * (y2 - y1)) / length2
        t = min(max(t, 0.0), 1.0)
        px, py = x1 + t * (x2 - x1), y1 + t * (y2 - y1)
        return (x - px) ** 2 + (y - py) ** 2 <= half * half

    box = (min(x1, x2) - half, min(y1, y2) - half, max(x1, x2) + half, max(y1, y2) + half)
    return inside, box


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def union(*shapes):
    boxes = [box for _, box in shapes]
    box = (
        min(b[0] for b in boxes),
        min(b[1] for b in boxes),
        max(b[2] for b in boxes),
        max(b[3] for b in boxes),
    )
    return (lambda x, y: any(inside(x, y) for inside, _ in shapes)), box


def difference(shape, hole):
    inside, box = shape
    hole_inside, _ = hole
    return (lambda x, y: inside(x, y) and not hole_inside(x, y)), box


def vertical(top_color, bottom_color, top, bottom):
    """A paint running from top_color at row top to bottom_color at row bottom."""
    start, end = color_of(top_color), color_of(bottom_color)

    def paint(_x, y):
        return mix(start, end, min(max((y - top) / max(bottom - top, 1), 0.0), 1.0))

    return paint


# Colors shared with the window's frame.
NAVY = "#2a3d55"
OUTLINE = "#53657a"
TABLE_EDGE = "#6b7d92"
RED = "#c8281e"
MARKER = "#2a62c8"
MARKER_DARK = "#1a3e80"

# Where the markers sit: beside each usage hint, and on the picture of the main window.
# render.sh sets their digits at the same centres.
HINT_MARKERS = [(11.5, 68.5), (11.5, 127.5), (11.5, 185.5)]
MARKER_RADIUS = 8.0

# The picture of the main window.
MINI = {"left": 268, "top": 64, "right": 452, "bottom": 196}
MINI_MARKERS = [(249.5, 130.5), (385.5, 160.5), (362.5, 214.5)]

# The sibling product's banner and the grey band behind the notice.
BAND = (262, 292)
BANNER = (8, 300, 469, 408)


def marker(picture, cx, cy):
    """A numbered marker's disc: a white ring, a blue disc lit from the top; render.sh sets
    the digit."""
    picture.fill(circle(cx, cy + 0.6, MARKER_RADIUS + 1.2), "#000000", opacity=0.12)
    picture.fill(circle(cx, cy, MARKER_RADIUS + 1.2), "#ffffff")
    picture.fill(circle(cx, cy, MARKER_RADIUS), MARKER_DARK)
    picture.fill(
        circle(cx, cy, MARKER_RADIUS - 1.0),
        vertical("#4f86e0", MARKER, cy - MARKER_RADIUS, cy + MARKER_RADIUS),
    )


def ticked_box(picture, left, top, size):
    """The program's emblem, as on the frame's logo: a box with a red tick."""
    scale = size / 16.0
    picture.fill(rounded_rect(left, top, left + size, top + size, 3.0 * scale), "#34475d")
    picture.fill(
        rounded_rect(left + scale, top + scale, left + size - scale, top + size - scale,
                     2.0 * scale),
        vertical("#ffffff", "#dfe6ee", top + scale, top + size - scale),
    )
    tick = union(
        segment(left + 3.5 * scale, top + 7.5 * scale, left + 7 * scale, top + 11 * scale,
                2.6 * scale),
        segment(left + 7 * scale, top + 11 * scale, left + 14.5 * scale, top - 0.5 * scale,
                2.6 * scale),
    )
    picture.fill(tick, RED)


def main_window_picture(picture):
    """The main window in small: the frame with its red bar, the table, the +/- buttons."""
    left, top, right, bottom = MINI["left"], MINI["top"], MINI["right"], MINI["bottom"]
    picture.shadow(left + 1, top + 3, right + 1, bottom + 3, 3, 7, "#1b2a3d", 0.22)
    picture.fill(rect(left, top, right, bottom), OUTLINE)
    # The frame: top strip, right and bottom strips, lit from the top.
    top_strip = vertical("#eef2f6", "#b3c0ce", top, top + 13)
    picture.fill(rect(left + 1, top + 1, right - 1, top + 13), top_strip)
    sides = vertical("#d4dde7", "#aab8c8", top + 13, bottom)
    picture.fill(rect(left + 1, top + 13, right - 1, bottom - 1), sides)
    # The red bar down the left edge, lit from the left.
    for x in range(left + 1, left + 12):
        t = (x - left - 1) / 10
        color = mix("#f08074", "#a31c15", t)
        picture.fill(rect(x, top + 1, x + 1, bottom - 1), color)
    picture.fill(rect(left + 12, top + 1, left + 13, bottom - 1), "#5c0a09")
    # The logo on the top strip and its three icons.
    ticked_box(picture, left + 16, top + 3, 8)
    picture.fill(rect(left + 27, top + 5, left + 55, top + 9), "#3b4f66", opacity=0.75)
    for i, shade in enumerate(("#6b7d92", "#6b7d92", "#b3453c")):
        x = right - 30 + i * 9
        picture.fill(rounded_rect(x, top + 3, x + 7, top + 10, 1.5), shade, opacity=0.85)
    # The table.
    t_left, t_top, t_right, t_bottom = left + 13, top + 13, right - 9, bottom - 9
    picture.fill(rect(t_left, t_top, t_right, t_bottom), TABLE_EDGE)
    picture.fill(rect(t_left + 1, t_top + 1, t_right - 1, t_bottom - 1), "#ffffff")
    row = 14
    header_fill = vertical("#eef3f9", "#dbe5f0", t_top, t_top + row)
    picture.fill(rect(t_left + 1, t_top + 1, t_right - 1, t_top + row), header_fill)
    columns = [t_left + 1, t_left + 34, t_right - 36, t_right - 1]
    for x in columns[1:-1]:
        picture.fill(rect(x, t_top + 1, x + 1, t_bottom - 1), "#c9d3de")
    for r in range(1, 7):
        y = t_top + row * r
        if y < t_bottom - 1:
            picture.fill(rect(t_left + 1, y, t_right - 1, y + 1), "#e3e9ef")
    # The header's captions and the tasks, as strokes of text.
    header = [18, 22, 20]
    tasks = [
        [14, 62, 16],
        [18, 44, 14],
        [12, 70, 18],
        [16, 36, 12],
    ]
    for c, width in enumerate(header):
        x = columns[c] + 4
        picture.fill(rounded_rect(x, t_top + 5, x + width, t_top + 9.5, 1.5), "#34475d")
    for r, widths in enumerate(tasks):
        y = t_top + row * (r + 1) + 5
        for c, width in enumerate(widths):
            x = columns[c] + 4
            picture.fill(rounded_rect(x, y, x + width, y + 4, 1.5), "#8a98a8")
    # The +/- buttons: rows at the bottom edge's middle, columns at the right edge's middle.
    middle = (t_left + t_right) // 2
    table_middle = (t_top + t_bottom) // 2
    small_buttons = [
        (middle - 8, t_bottom - 3, True),
        (middle + 1, t_bottom - 3, False),
        (t_right - 3, table_middle - 8, True),
        (t_right - 3, table_middle + 1, False),
    ]
    for x, y, plus in small_buttons:
        picture.fill(rect(x, y, x + 7, y + 7), "#3b4f66")
        face = vertical("#ffffff", "#d3dde8", y + 1, y + 6)
        picture.fill(rect(x + 1, y + 1, x + 6, y + 6), face)
        picture.fill(rect(x + 2, y + 3, x + 5, y + 4), "#22364e")
        if plus:
            picture.fill(rect(x + 3, y + 2, x + 4, y + 5), "#22364e")
    # Leader lines from the markers to what they point at.
    # Marker 2 sits on the table itself and needs no line.
    (m1x, m1y), _, (m3x, m3y) = MINI_MARKERS
    picture.fill(segment(m1x + MARKER_RADIUS, m1y, left + 4, m1y, 1.4), MARKER_DARK)
    picture.fill(circle(left + 4, m1y, 2.0), MARKER_DARK)
    picture.fill(segment(m3x, m3y - MARKER_RADIUS, m3x, t_bottom + 5, 1.4), MARKER_DARK)
    for cx, cy in MINI_MARKERS:
        marker(picture, cx, cy)


def background():
    picture = Picture(WIDTH, HEIGHT)
    # Light from the top: the heading's strip, then the calm field of the hints.
    picture.fill(rect(0, 0, WIDTH, 46), vertical("#f9fbfd", "#e8edf3", 0, 46))
    picture.fill(rect(0, 46, WIDTH, 47), "#c9d3df")
    picture.fill(rect(0, 47, WIDTH, 48), "#ffffff")
    picture.fill(rect(0, 48, WIDTH, BAND[0]), vertical("#ffffff", "#f3f4f7", 48, BAND[0]))
    ticked_box(picture, 14, 10, 26)

    for cx, cy in HINT_MARKERS:
        marker(picture, cx, cy)
    main_window_picture(picture)

    # The grey band behind the notice.
    picture.fill(rect(0, BAND[0], WIDTH, BAND[0] + 1), "#d2d2da")
    band_fill = vertical("#efeff3", "#e6e6ec", BAND[0], BAND[1])
    picture.fill(rect(0, BAND[0] + 1, WIDTH, BAND[1] - 1), band_fill)
    picture.fill(rect(0, BAND[1] - 1, WIDTH, BAND[1]), "#d2d2da")
    picture.fill(rect(0, BAND[1], WIDTH, HEIGHT), "#ffffff")

    # The sibling product's banner: warm paper, a soft edge, a line under its heading.
    left, top, right, bottom = BANNER
    picture.shadow(left, top + 1, right, bottom + 1, 6, 4, "#6b4a12", 0.12)
    picture.fill(rounded_rect(left, top, right, bottom, 6), "#e3cc96")
    picture.fill(
        rounded_rect(left + 1, top + 1, right - 1, bottom - 1, 5),
        vertical("#fffaf0", "#fbecc8", top, bottom),
    )
    picture.fill(rect(left + 13, 334, 370, 335), "#ead7a8")
    quill(picture, 22, 308, 0.5)
    return picture


def quill(picture, left, top, scale):
    """A quill pen leaning to the right, 40 x 48 at scale 1: a blue-grey feather with its
    shaft and a dark nib at the bottom left."""

    def point(x, y):
        return (left + x * scale, top + y * scale)

    outline = [
        (38, 0), (31, 5), (22, 14), (14, 26), (8, 38), (10, 40), (18, 32), (28, 21),
        (35, 11), (40, 2),
    ]
    inner = [
        (37.2, 1.6), (31.0, 6.4), (22.8, 15.0), (15.4, 26.4), (10.6, 36.6), (17.6, 30.6),
        (27.4, 20.0), (34.2, 10.4), (38.6, 2.6),
    ]
    picture.fill(polygon([point(x, y) for x, y in outline]), "#6f8aa8")
    picture.fill(
        polygon([point(x, y) for x, y in inner]),
        vertical("#f4f8fc", "#a9c0d8", top, top + 40 * scale),
    )
    width = max(1.0, 1.2 * scale)
    picture.fill(segment(*point(38, 1), *point(6, 42), width), "#5b4424")
    picture.fill(segment(*point(8, 40), *point(3, 48), max(1.4, 2.2 * scale)), "#2f2a24")


def promo_icon(base, state):
    """The promo icon, 77 x 90: a note pad with a quill over the banner; render.sh sets the
    product's name under it. hover lifts it onto a lit tile, pressed sinks it into a darker
    one."""
    picture = base.crop(PROMO_AT[0], PROMO_AT[1], *PROMO_SIZE)
    shift = 0
    if state == "hover":
        picture.fill(rounded_rect(1, 1, 76, 89, 7), "#e8c77a")
        picture.fill(rounded_rect(2, 2, 75, 88, 6), vertical("#fffdf6", "#fff1cc", 2, 88))
        shift = -1
    elif state == "pressed":
        picture.fill(rounded_rect(1, 1, 76, 89, 7), "#c9a45a")
        picture.fill(rounded_rect(2, 2, 75, 88, 6), vertical("#efd9a6", "#f8e8c0", 2, 88))
        shift = 1
    dx = dy = shift
    # The pad: a shadow, the paper, a binding along the top and ruled lines.
    pad = (16 + dx, 10 + dy, 60 + dx, 66 + dy)
    if state != "pressed":
        picture.shadow(pad[0] + 1, pad[1] + 2, pad[2] + 1, pad[3] + 2, 3, 4, "#5a3d0c", 0.25)
    picture.fill(rounded_rect(*pad, 3), "#b99a5c")
    picture.fill(
        rounded_rect(pad[0] + 1, pad[1] + 1, pad[2] - 1, pad[3] - 1, 2),
        vertical("#fffef8", "#fbf3dc", pad[1], pad[3]),
    )
    binding = vertical("#e2574b", "#b3261d", pad[1], pad[1] + 8)
    picture.fill(rect(pad[0] + 1, pad[1] + 1, pad[2] - 1, pad[1] + 8), binding)
    for i in range(5):
        x = pad[0] + 6 + i * 8
        picture.fill(circle(x, pad[1] + 4.5, 1.4), "#6a140f")
    for i in range(6):
        y = pad[1] + 16 + i * 7
        picture.fill(rect(pad[0] + 5, y, pad[2] - 5, y + 1), "#c9d6e6")
    picture.fill(rect(pad[0] + 10, pad[1] + 9, pad[0] + 11, pad[3] - 2), "#f0b5ae")
    # Handwriting on the first lines.
    for i, width in enumerate((24, 18, 21)):
        y = pad[1] + 14 + i * 7
        picture.fill(segment(pad[0] + 13, y, pad[0] + 13 + width, y, 1.2), "#3c5a86", opacity=0.8)
    # The quill, over the pad's right edge.
    quill(picture, 34 + dx, 2 + dy, 1.0)
    return picture


def window_icon():
    """The dialog's window icon, 48 x 48: the program's sheet with its red bar and an info
    badge."""
    picture = Picture(48, 48, alpha=0.0)
    picture.fill(rounded_rect(3, 3, 41, 44, 6), "#2b4566")
    picture.fill(rounded_rect(5, 5, 39, 42, 4.5), vertical("#e4edf7", "#c9d9ea", 5, 42))
    picture.fill(rounded_rect(5, 5, 12, 42, 3), "#c8102e")
    for y in (14, 22, 30):
        picture.fill(segment(17, y, 33, y, 3.0), "#2b4566")
    picture.fill(circle(35, 35, 11.5), "#ffffff")
    picture.fill(circle(35, 35, 10.5), MARKER_DARK)
    picture.fill(circle(35, 35, 9.5), vertical("#4f86e0", MARKER, 25, 45))
    picture.fill(circle(35, 29.5, 1.9), "#ffffff")
    picture.fill(rounded_rect(33.4, 32.5, 36.6, 41.5, 1.0), "#ffffff")
    return picture


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: draw-info.py FOLDER")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    base = background()
    base.write(os.path.join(folder, "background.pam"), with_alpha=False)
    states = (("normal", "promo"), ("hover", "promo-hover"), ("pressed", "promo-pressed"))
    for state, name in states:
        promo_icon(base, state).write(os.path.join(folder, name + ".pam"), with_alpha=False)
    window_icon().write(os.path.join(folder, "window-icon.pam"), with_alpha=True)


if __name__ == "__main__":
    main()
