#!/usr/bin/env bash
# reproducible.sh, after the win32 package is built: the package built again from a clone of HEAD
# in another folder must be build/win32's byte for byte, tramolivenga.exe and the ZIP, and each
# build's .sha256 file must hold its ZIP's sum. With uncommitted changes build/win32 is not HEAD,
# so two clones are compared. Where two files differ, diffoscope shows how.
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$(git rev-parse HEAD) scratch=$(mktemp -d) first=build/win32 failed=0
trap 'rm -rf "$scratch"' EXIT
build_clone() { # into $1, without the tests, which do not change what ships
    git clone -q --no-hardlinks --no-checkout "$PWD" "$1"
    git -C "$1" checkout -q --detach "$commit"
    (cd "$1" && cmake --preset win32 -DTRAMOLIVENGA_TESTS=OFF >/dev/null &&
        cmake --build --preset win32 --target package >/dev/null)
}
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    build_clone "$scratch/a" && first=$scratch/a/build/win32
fi
build_clone "$scratch/b"
zip=$(cd "$first" && ls tramolivenga-*-win32.zip)
for file in tramolivenga.exe "$zip"; do
    cmp -s "$first/$file" "$scratch/b/build/win32/$file" && continue
    echo "reproducible: expected the same $file from $commit in both builds, seen:" >&2
    diffoscope "$first/$file" "$scratch/b/build/win32/$file" >&2 || true
    failed=1
done
for sums in "$first/$zip.sha256" "$scratch/b/build/win32/$zip.sha256"; do
    expected="$(sha256sum <"${sums%.sha256}" | cut -d' ' -f1)  $zip"
    [ "$(cat "$sums")" = "$expected" ] && continue
    echo "reproducible: $sums: expected \"$expected\", seen \"$(cat "$sums")\"" >&2
    failed=1
done
[ "$failed" = 0 ] && echo "reproducible: $(sha256sum <"$first/$zip" | cut -c1-16)... $zip in both"
exit "$failed"
