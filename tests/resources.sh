#!/bin/sh
# resources.sh EXE ARCHITECTURE: what Windows reads from the shipped program, extracted with
# icoutils: MAINICON's three images of 16 colours, the manifest's identities, and the version
# block's file and product version 1.0.0.0 (VS_FIXEDFILEINFO after its signature, 1.0 and 0.0 each).
seen=$(wrestool -x -t14 "$1" | icotool -l - | cut -d' ' -f3-
    wrestool -x -R -t24 "$1" | grep -o 'name="[^"]*" version="[^"]*" processorArchitecture="[^"]*"'
    wrestool -x -R -t16 "$1" | od -An -vtx4 | tr -s ' \n' ' ' | grep -o 'feef04bd [0-9a-f ]\{44\}')
expected="--width=16 --height=16 --bit-depth=4 --palette-size=16
--width=32 --height=32 --bit-depth=4 --palette-size=16
--width=48 --height=48 --bit-depth=4 --palette-size=16
name=\"tramolivenga.exe\" version=\"1.0.0.0\" processorArchitecture=\"$2\"
name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"*\"
feef04bd 00010000 00010000 00000000 00010000 00000000"
[ "$seen" = "$expected" ] || ! printf 'resources: expected\n%s\nseen\n%s\n' "$expected" "$seen"
