#!/bin/sh
# Prints the folder of the reference pictures that this machine's Wine and Japanese font draw:
# pictures/wine-VERSION+ipafont-gothic-VERSION, one for each such pair whose pictures differ.
# Debian 12's (Wine 8.0) is a link to docs/, where README finds them. Where there is none yet,
# it says so and fails; with --new it prints the folder all the same, for tools/screenshots.sh
# to fill.
cd "$(dirname "$0")/.." || exit 1
wine=$(/usr/lib/wine/wine64 --version | cut -d ' ' -f 1)
font=$(dpkg-query -W -f '${Version}' fonts-ipafont-gothic | cut -d - -f 1)
set=pictures/$wine+ipafont-gothic-$font
if [ ! -d "$set" ] && [ "${1:-}" != --new ]; then
    echo "pictures: no reference pictures for this Wine and font ($set):" \
        "take them with 'bash tools/screenshots.sh' and commit $set" >&2
    exit 1
fi
echo "$PWD/$set"
