#!/bin/sh
# Renders the frame pictures: draw-frame.py draws them, ImageMagick writes the JPEGs and PNGs
# and sets the logo's word. Run after changing draw-frame.py and commit the results; the build
# uses the rendered files, so it needs neither Python nor ImageMagick.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 draw-frame.py "$work"

# Full chroma and a high quality keep the thin lines crisp and the icons' background equal
# to the strip they sit on.
for pam in "$work"/jpeg/*.pam; do
    name=$(basename "$pam" .pam)
    convert "$pam" -strip -sampling-factor 1x1 -quality 100 "$name.jpg"
done
for pam in "$work"/png/*.pam; do
    name=$(basename "$pam" .pam)
    convert "$pam" -strip "png32:$name.png"
done

# The word, engraved: a light copy one pixel below the dark lettering.
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
convert "$work/logo-emblem.pam" -font "$font" -pointsize 17 -kerning 0.4 \
    -fill '#f5f8fbb0' -annotate +29+22 Taskwick \
    -fill '#2a3d55' -annotate +29+21 Taskwick \
    -strip png32:logo.png
