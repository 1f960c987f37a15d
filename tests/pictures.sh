#!/bin/sh
# pictures.sh EXE DIR: the reference pictures, retaken into DIR as tools/screenshots.sh takes them,
# must match every picture of this Wine's reference set (tools/reference-set.sh) pixel for pixel;
# both restarts must show its settings-restarted.png.
refs=$(sh "$(dirname "$0")/../tools/reference-set.sh") || exit 1
rm -rf "$2"
bash "$(dirname "$0")/../tools/screenshots.sh" "$1" "$2"
failed=$?
for name in $(cd "$refs" && ls *.png | sed 's/[.]png$//') settings-restarted-registry; do
    reference=${name%-registry}.png
    [ -f "$2/$name.png" ] || { echo "pictures: $name.png: not taken" && failed=1 && continue; }
    seen=$(compare -metric AE "$refs/$reference" "$2/$name.png" "$2/$name-difference.png" 2>&1)
    [ "$seen" = 0 ] && continue
    echo "pictures: $name.png: expected $refs/$reference, differing pixels: $seen;" \
        "the picture is $2/$name.png, the difference $2/$name-difference.png"
    failed=1
done
[ "$failed" = 0 ] || echo "pictures: if meant, bash tools/screenshots.sh retakes $refs"
exit "$failed"
