#!/bin/sh
# pictures.sh EXE DIR: the README's pictures, retaken into DIR as tools/screenshots.sh takes them,
# must be every docs/*.png pixel for pixel; both restarts must show docs/settings-restarted.png.
docs=$(dirname "$0")/../docs
rm -rf "$2"
bash "$(dirname "$0")/../tools/screenshots.sh" "$1" "$2"
failed=$?
for name in $(cd "$docs" && ls *.png | sed 's/[.]png$//') settings-restarted-registry; do
    reference=${name%-registry}.png
    seen=$(compare -metric AE "$docs/$reference" "$2/$name.png" "$2/$name-difference.png" 2>&1)
    [ "$seen" = 0 ] && continue
    echo "pictures: $name.png: expected docs/$reference, differing pixels: $seen;" \
        "the picture is $2/$name.png, the difference $2/$name-difference.png"
    failed=1
done
[ "$failed" = 0 ] || echo "pictures: for a deliberate change, retake them with" \
    "'bash tools/screenshots.sh' and commit docs/*.png"
exit "$failed"
