#!/bin/sh
# pictures.sh EXE DIR: what the shipped program shows, retaken into DIR as tools/screenshots.sh
# takes the README's pictures, must be those pictures pixel for pixel. Both restarts, from the
# INI file and from the registry, must show docs/settings-restarted.png.
docs=$(dirname "$0")/../docs
rm -rf "$2"
bash "$(dirname "$0")/../tools/screenshots.sh" "$1" "$2"
failed=$?
for name in balloon tray-menu settings tray-menu-paused settings-restarted \
    settings-restarted-registry; do
    reference=${name%-registry}.png
    if [ ! -e "$2/$name.png" ]; then
        echo "pictures: $name.png: expected docs/$reference, seen no picture (see above)"
        continue
    fi
    seen=$(compare -metric AE "$docs/$reference" "$2/$name.png" "$2/$name-difference.png" 2>&1)
    [ "$seen" = 0 ] && continue
    echo "pictures: $name.png: expected docs/$reference, seen $seen pixels differ;" \
        "the picture is $2/$name.png, the difference $2/$name-difference.png"
    failed=1
done
[ "$failed" = 0 ] || echo "pictures: for a deliberate change, retake them with" \
    "'bash tools/screenshots.sh' and commit docs/*.png"
exit "$failed"
