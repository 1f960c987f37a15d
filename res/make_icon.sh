#!/usr/bin/env bash
# Renders res/tramolivenga.svg into the 16, 32 and 48 pixel images of
# res/tramolivenga.ico, each in 16 colours (4 bits a pixel, a 16-entry
# palette, transparency in the AND mask): every Windows shows that format as
# drawn, and it takes a fraction of the room of 32-bit images with alpha.
# Uses rsvg-convert (librsvg2-bin), ImageMagick and icotool (icoutils). The
# .ico is committed, so that the build needs none of these; run this after
# changing the drawing:
#   bash res/make_icon.sh
set -euo pipefail
cd "$(dirname "$0")"

# The packaged ImageMagick, whatever else is called convert on the PATH.
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A fixed palette, not one the quantiser picks anew for each image, so that
# all three sizes share the drawing's exact colours. In order: transparent
# (which keeps the alpha through the remap); black, the colour under the AND
# mask, since Windows XORs a masked pixel's colour onto the screen; the
# drawing's own colours, to be kept in step with the SVG (rim, face, sheet,
# clip, clip's window, the 7); the clip's grey halfway into its window, for
# the window's round corners, which would otherwise turn brown at 48 pixels;
# and the 7's red over the white sheet at 3/4, 1/2 and 1/4, for its slanted
# edge.
"$convert" xc:none xc:'#000000' \
    xc:'#4a2a10' xc:'#b8742e' xc:'#ffffff' xc:'#30363c' xc:'#b4bcc4' xc:'#d4141c' \
    xc:'#727980' xc:'#df4f55' xc:'#ea8a8d' xc:'#f4c4c6' +append "$work/palette.png"

for size in 16 32 48; do
    rsvg-convert --width "$size" --height "$size" --output "$work/$size.png" tramolivenga.svg
    # The mask has no half measures: a pixel is opaque when the drawing covers
    # more than half of it. Undithered, each pixel takes its nearest palette
    # colour, so the edges drawn on the pixel grid stay crisp.
    "$convert" "$work/$size.png" -channel A -threshold 50% +channel \
        -background black -alpha background +dither -remap "$work/palette.png" \
        "png32:$work/$size-4bit.png"
done
# icotool writes no dates or comments: the icon only changes with the drawing.
icotool --create --bit-depth=4 --output=tramolivenga.ico "$work"/{16,32,48}-4bit.png
echo "make_icon: res/tramolivenga.ico"
