#!/bin/sh
# Renders the About dialog's pictures: draw-info.py draws them, ImageMagick sets the lettering
# (the heading, the markers' digits, the sibling product's name) and writes the PNGs. Run
# after changing either script and commit the results; the build uses the rendered files, so
# it needs neither Python nor ImageMagick.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 draw-info.py "$work"

fonts=/usr/share/fonts/truetype/dejavu
sans_bold=$fonts/DejaVuSans-Bold.ttf
serif_bold=$fonts/DejaVuSerif-Bold.ttf
serif=$fonts/DejaVuSerif.ttf

# A digit centred on a marker whose centre is at x, y (the offsets are the glyph's left edge
# and baseline). The centres are HINT_MARKERS and MINI_MARKERS of draw-info.py.
digit() {
    printf -- '-fill #ffffff -annotate +%s+%s %s ' "$(($1 - 3))" "$(($2 + 4))" "$3"
}

# The background is a JPEG: it has no transparency, and a JPEG decodes several times faster
# than a PNG of its size, which counts on a first run, where the dialog opens before the window.
# The heading engraved like the frame's logo (a light copy one pixel below), the markers'
# digits beside the hints and on the main window's picture, and the banner's heading.
# shellcheck disable=SC2046 # the digit options are meant to split into words
convert "$work/background.pam" \
    -font "$sans_bold" -pointsize 22 -kerning 0.4 \
    -fill '#ffffffc0' -annotate +48+33 Taskwick \
    -fill '#2a3d55' -annotate +48+32 Taskwick \
    -pointsize 11 -kerning 0 \
    $(digit 11 68 1) $(digit 11 127 2) $(digit 11 185 3) \
    $(digit 249 130 1) $(digit 385 160 2) $(digit 362 214 3) \
    -font "$serif_bold" -pointsize 16 -fill '#6b4a12' -annotate +47+328 Quillery \
    -font "$serif" -pointsize 12 -fill '#8a6a33' -annotate +127+328 Organizer \
    -strip -quality 93 -sampling-factor 1x1 background.jpg

for name in promo promo-hover promo-pressed; do
    case $name in
        promo-hover) y=83 ;;
        promo-pressed) y=85 ;;
        *) y=84 ;;
    esac
    convert "$work/$name.pam" -font "$serif_bold" -pointsize 11 -fill '#6b4a12' \
        -gravity North -annotate "+0+$((y - 11))" Quillery -strip png24:"$name.png"
done

convert "$work/window-icon.pam" -strip png32:window-icon.png
