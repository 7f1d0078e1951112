#!/bin/sh
# Renders the 16 x 16 menu pictures from their SVG sources. Run after changing an SVG and
# commit both; the build uses the PNGs, so it needs no SVG renderer.
set -eu
cd "$(dirname "$0")"
for svg in *.svg; do
    convert -background none -density 96 "$svg" -resize '16x16!' "png32:${svg%.svg}.png"
done
