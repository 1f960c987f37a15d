#!/usr/bin/env bash
# Renders res/tramolivenga.svg into the 16, 32 and 48 pixel images of
# res/tramolivenga.ico (32-bit colour with alpha), with rsvg-convert
# (librsvg2-bin) and ImageMagick. The .ico is committed and the build does not
# run this; run it after changing the drawing:
#   bash res/make_icon.sh
set -euo pipefail
cd "$(dirname "$0")"

# The packaged ImageMagick, whatever else is called convert on the PATH.
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 32 48; do
    rsvg-convert --width "$size" --height "$size" --output "$work/$size.png" tramolivenga.svg
done
# No dates or comments in the icon, so that it only changes with the drawing.
"$convert" "$work/16.png" "$work/32.png" "$work/48.png" -strip tramolivenga.ico
echo "make_icon: res/tramolivenga.ico"
