#!/usr/bin/env bash
# reproducible.sh: the win32 package built from HEAD in two clones must come out the same byte for
# byte, tramolivenga.exe and the ZIP, and each .sha256 must hold its ZIP's sum; the clones' other
# folders and times change nothing. Where two files differ, diffoscope shows how.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd) scratch=$(mktemp -d) failed=0
trap 'rm -rf "$scratch"' EXIT
for clone in "$scratch/a" "$scratch/b"; do # the tests left out: they do not change what ships
    git clone -q "$repo" "$clone" && git -C "$clone" checkout -q "$(git -C "$repo" rev-parse HEAD)"
    (cd "$clone" && cmake --preset win32 -DTRAMOLIVENGA_TESTS=OFF >/dev/null &&
        cmake --build --preset win32 --target package >/dev/null)
    zip=$(cd "$clone/build/win32" && ls tramolivenga-*-win32.zip)
    expected="$(sha256sum <"$clone/build/win32/$zip" | cut -d' ' -f1)  $zip"
    seen=$(cat "$clone/build/win32/$zip.sha256")
    [ "$seen" = "$expected" ] && continue
    echo "reproducible: $zip.sha256: expected \"$expected\", seen \"$seen\"" >&2
    failed=1
done
for file in tramolivenga.exe "$zip"; do
    cmp -s "$scratch"/{a,b}/build/win32/"$file" && continue
    echo "reproducible: expected the same $file from both clones, seen:" >&2
    diffoscope "$scratch"/{a,b}/build/win32/"$file" >&2 || true
    failed=1
done
[ "$failed" = 0 ] && echo "reproducible: ${expected:0:16}... $zip from both clones"
exit "$failed"
