#!/bin/sh
# Renders the application icon from its SVG source. Run after changing the SVG and commit
# both; the build uses the PNG, so it needs no SVG renderer.
set -eu
cd "$(dirname "$0")"
convert -background none -density 192 taskwick.svg -resize '64x64!' png32:taskwick.png
