#!/usr/bin/env python3
"""Renders the application icon's hicolor PNGs from its SVG source.

The icon is drawn in resources/app/taskwick.svg (64 x 64 user units). ImageMagick on the
development machines cannot read SVG, so this script reads the few shapes that file uses
(rounded rectangles, lines and polylines with round caps and joins) and draws them itself,
at every size a desktop asks for, with Python's standard library alone.

At each size the shapes are fitted to the pixel grid before they are drawn: rectangle edges
and the edges of horizontal and vertical strokes fall on pixel borders, and stroke widths
are whole pixels (at least one), so that the 16 x 16 icon is as crisp as the 256 x 256 one.
Slanted strokes keep their scaled width, but never thinner than MIN_SLANTED_WIDTH pixels.
Edges are anti-aliased with 16 x 16 samples per pixel.

Usage: render-icons.py [FOLDER]
Writes FOLDER/<size>x<size>/taskwick.png for every size in SIZES; FOLDER defaults to the
folder of this script. Run it after changing the SVG and commit the PNGs; the build and the
install use the committed files and need no renderer.
"""

import math
import os
import struct
import sys
import xml.etree.ElementTree as ET
import zlib

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SAMPLES = 16
MIN_SLANTED_WIDTH = 2.0
SVG_NAMESPACE = "{http://www.w3.org/2000/svg}"
HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "..", "..", "resources", "app", "taskwick.svg")


class UnsupportedSvg(Exception):
    pass


def snap(value, size=None):
    """The nearest pixel border. With the icon's size, halves go outwards (away from the
    middle), so that a symmetric shape stays symmetric; without, they go up."""
    if size is not None and value < size / 2:
        return math.ceil(value - 0.5)
    return math.floor(value + 0.5)


def parse_color(text):
    text = text.strip()
    if len(text) != 7 or not text.startswith("#"):
        raise UnsupportedSvg(f"color {text!r}: only #RRGGBB is supported")
    return tuple(int(text[i : i + 2], 16) / 255 for i in (1, 3, 5))


# --- shapes as signed distances in pixels (negative inside) --------------------------------


def rounded_box(left, top, right, bottom, radius):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    radius = max(0.0, min(radius, (right - left) / 2, (bottom - top) / 2))
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius

    def distance(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius

    return distance, (left, top, right, bottom)


def round_stroke(points, width):
    """Segments between the points with round caps and joins: a union of capsules."""
    radius = width / 2
    segments = list(zip(points, points[1:])) or [(points[0], points[0])]

    def distance(x, y):
        best = math.inf
        for (ax, ay), (bx, by) in segments:
            dx, dy = bx - ax, by - ay
            length2 = dx * dx + dy * dy
            along = (x - ax) * dx + (y - ay) * dy
            t = 0.0 if length2 == 0 else max(0.0, min(1.0, along / length2))
            best = min(best, math.hypot(x - ax - t * dx, y - ay - t * dy))
        return best - radius

    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return distance, (min(xs) - radius, min(ys) - radius, max(xs) + radius, max(ys) + radius)


# --- the SVG's elements fitted to one size ---------------------------------------------------


def number(element, name, default=None):
    value = element.get(name)
    if value is None:
        if default is None:
            raise UnsupportedSvg(f"<{element.tag}> lacks {name}")
        return default
    return float(value)


def stroke_of(element):
    """(color, width in user units) of the element's stroke, or None."""
    stroke = element.get("stroke", "none")
    if stroke == "none":
        return None
    return parse_color(stroke), number(element, "stroke-width", 1.0)


class Grid:
    """The pixel grid of one size. Rectangle edges are the anchors: each is moved to its
    nearest pixel border. Every other coordinate moves with the anchors around it, linearly
    between the nearest anchor below and above (or with the one anchor on its side), so
    strokes keep their place relative to the rectangles they sit in."""

    def __init__(self, shapes, scale, size):
        self.scale = scale
        self.size = size
        self.anchors = ({}, {})  # per axis: user unit -> pixel border
        for element in shapes:
            if element.tag == SVG_NAMESPACE + "rect":
                left, top, right, bottom = rect_box(element)
                for axis, values in ((0, (left, right)), (1, (top, bottom))):
                    for value in values:
                        self.anchors[axis].setdefault(value, snap(value * scale, size))

    def fit(self, axis, value):
        """The pixel position of a user coordinate, not snapped."""
        anchors = self.anchors[axis]
        if value in anchors:
            return float(anchors[value])
        below = max((v for v in anchors if v < value), default=None)
        above = min((v for v in anchors if v > value), default=None)
        if below is not None and above is not None:
            t = (value - below) / (above - below)
            return anchors[below] + t * (anchors[above] - anchors[below])
        near = below if below is not None else above
        if near is None:
            return value * self.scale
        return anchors[near] + (value - near) * self.scale

    def border(self, axis, value):
        return snap(self.fit(axis, value), self.size)


def rect_box(element):
    """The rectangle's outer edges in user units, its stroke included."""
    x, y = number(element, "x", 0.0), number(element, "y", 0.0)
    width, height = number(element, "width"), number(element, "height")
    stroke = stroke_of(element)
    half = stroke[1] / 2 if stroke else 0.0
    return x - half, y - half, x + width + half, y + height + half


def rect_layers(element, grid):
    radius = number(element, "rx", 0.0)
    if element.get("ry") is not None:
        raise UnsupportedSvg("<rect ry> is not supported")
    fill = element.get("fill", "#000000")
    stroke = stroke_of(element)
    left, top, right, bottom = rect_box(element)
    box = (grid.border(0, left), grid.border(1, top),
           grid.border(0, right), grid.border(1, bottom))
    if stroke is None:
        if fill == "none":
            return []
        return [(rounded_box(*box, radius * grid.scale), parse_color(fill))]
    color, stroke_width = stroke
    pixels = max(1, snap(stroke_width * grid.scale))
    outer_radius = (radius + stroke_width / 2) * grid.scale
    layers = [(rounded_box(*box, outer_radius), color)]
    if fill != "none":
        inner = (box[0] + pixels, box[1] + pixels, box[2] - pixels, box[3] - pixels)
        layers.append((rounded_box(*inner, max(0.0, outer_radius - pixels)), parse_color(fill)))
    return layers


def check_round_stroke(element):
    if element.get("stroke-linecap") != "round":
        raise UnsupportedSvg(f"<{element.tag}>: only stroke-linecap=\"round\" is supported")
    if element.tag.endswith("polyline") and element.get("stroke-linejoin") != "round":
        raise UnsupportedSvg("<polyline>: only stroke-linejoin=\"round\" is supported")
    if element.get("fill", "#000000") != "none" and element.tag.endswith("polyline"):
        raise UnsupportedSvg("<polyline>: only fill=\"none\" is supported")


def aligned_stroke(grid, along, start, end, across, stroke_width):
    """A horizontal (along 0) or vertical (along 1) stroke with round caps as a box whose
    edges, caps included, lie on pixel borders. Below three pixels a rounded end would only
    grey the end pixels, so thin strokes end square."""
    pixels = max(1, snap(stroke_width * grid.scale))
    half = stroke_width / 2
    low = grid.border(along, min(start, end) - half)
    high = max(low + pixels, grid.border(along, max(start, end) + half))
    side = snap(grid.fit(1 - along, across) - pixels / 2)
    box = (low, side, high, side + pixels) if along == 0 else (side, low, side + pixels, high)
    return rounded_box(*box, pixels / 2 if pixels >= 3 else 0.0)


def line_layers(element, grid):
    check_round_stroke(element)
    stroke = stroke_of(element)
    if stroke is None:
        return []
    color, stroke_width = stroke
    x1, y1 = number(element, "x1", 0.0), number(element, "y1", 0.0)
    x2, y2 = number(element, "x2", 0.0), number(element, "y2", 0.0)
    if y1 == y2:
        return [(aligned_stroke(grid, 0, x1, x2, y1, stroke_width), color)]
    if x1 == x2:
        return [(aligned_stroke(grid, 1, y1, y2, x1, stroke_width), color)]
    points = [(grid.fit(0, x1), grid.fit(1, y1)), (grid.fit(0, x2), grid.fit(1, y2))]
    width = max(MIN_SLANTED_WIDTH, stroke_width * grid.scale)
    return [(round_stroke(points, width), color)]


def polyline_layers(element, grid):
    check_round_stroke(element)
    stroke = stroke_of(element)
    if stroke is None:
        return []
    color, stroke_width = stroke
    values = [float(v) for v in element.get("points", "").replace(",", " ").split()]
    if len(values) < 2 or len(values) % 2:
        raise UnsupportedSvg("<polyline points> needs pairs of numbers")
    points = [(grid.fit(0, x), grid.fit(1, y)) for x, y in zip(values[::2], values[1::2])]
    width = max(MIN_SLANTED_WIDTH, stroke_width * grid.scale)
    return [(round_stroke(points, width), color)]


HANDLERS = {"rect": rect_layers, "line": line_layers, "polyline": polyline_layers}


def read_source(path):
    """The SVG's shapes in painting order, and its view box size."""
    root = ET.parse(path).getroot()
    if root.tag != SVG_NAMESPACE + "svg":
        raise UnsupportedSvg("not an SVG document")
    box = [float(v) for v in root.get("viewBox", "").split()]
    if len(box) != 4 or box[0] != 0 or box[1] != 0 or box[2] != box[3]:
        raise UnsupportedSvg("the view box must be square and start at 0 0")
    shapes = []
    for element in root:
        name = element.tag.removeprefix(SVG_NAMESPACE)
        if name not in HANDLERS:
            raise UnsupportedSvg(f"<{name}> is not supported")
        if element.get("transform") or element.get("opacity") or element.get("style"):
            raise UnsupportedSvg(f"<{name}>: transform, opacity and style are not supported")
        shapes.append(element)
    return shapes, box[2]


# --- drawing -----------------------------------------------------------------------------------


def coverage(distance, x, y):
    """How much of pixel (x, y) the shape covers, 0 to 1."""
    centre = distance(x + 0.5, y + 0.5)
    if centre <= -0.75:
        return 1.0
    if centre >= 0.75:
        return 0.0
    inside = 0
    step = 1 / SAMPLES
    for i in range(SAMPLES):
        sy = y + (i + 0.5) * step
        for j in range(SAMPLES):
            if distance(x + (j + 0.5) * step, sy) < 0:
                inside += 1
    return inside / (SAMPLES * SAMPLES)


def render(shapes, view_size, size):
    """Straight-alpha RGBA rows of floats for one size."""
    grid = Grid(shapes, size / view_size, size)
    pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    for element in shapes:
        for (distance, bounds), color in HANDLERS[element.tag.removeprefix(SVG_NAMESPACE)](
            element, grid
        ):
            left, top = max(0, math.floor(bounds[0]) - 1), max(0, math.floor(bounds[1]) - 1)
            right = min(size, math.ceil(bounds[2]) + 1)
            bottom = min(size, math.ceil(bounds[3]) + 1)
            for y in range(top, bottom):
                row = pixels[y]
                for x in range(left, right):
                    alpha = coverage(distance, x, y)
                    if alpha == 0:
                        continue
                    r, g, b, a = row[x]
                    out = alpha + a * (1 - alpha)
                    row[x] = tuple(
                        (c * alpha + d * a * (1 - alpha)) / out for c, d in zip(color, (r, g, b))
                    ) + (out,)
    return pixels


def scanlines(pixels):
    """PNG's filtered image data (filter type 0 on every row) of 8-bit RGBA."""
    data = bytearray()
    for row in pixels:
        data.append(0)
        for r, g, b, a in row:
            if a == 0:
                data += b"\0\0\0\0"
            else:
                data += bytes(round(v * 255) for v in (r, g, b, a))
    return bytes(data)


def png_bytes(size, raw):
    def chunk(kind, body):
        checksum = struct.pack(">I", zlib.crc32(kind + body))
        return struct.pack(">I", len(body)) + kind + body + checksum

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(raw, 9))
        + chunk(b"IEND", b"")
    )


def main(argv):
    folder = argv[1] if len(argv) > 1 else HERE
    shapes, view_size = read_source(SOURCE)
    for size in SIZES:
        target = os.path.join(folder, f"{size}x{size}")
        os.makedirs(target, exist_ok=True)
        with open(os.path.join(target, "taskwick.png"), "wb") as file:
            file.write(png_bytes(size, scanlines(render(shapes, view_size, size))))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
