#!/usr/bin/env bash
# Checks that the release package can be rebuilt byte for byte: builds the
# win32 package again from a clone of the same commit in another folder and
# compares the SHA-256 of tramolivenga.exe and of the ZIP with the build in
# build/win32, and checks the .sha256 file beside the ZIP. When the working
# tree has uncommitted changes, build/win32 is not that commit: two clones of
# it are built and compared instead. Where two files differ, diffoscope shows
# how.
#   tools/reproducible.sh    (after: cmake --build --preset win32 --target package)
set -euo pipefail
cd "$(dirname "$0")/.."

commit=$(git rev-parse HEAD)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Builds the package from a clone of $commit in the folder $1; the tests are
# left out, they do not change what ships.
build_clone() {
    git clone -q --no-hardlinks --no-checkout "$PWD" "$1"
    git -C "$1" checkout -q --detach "$commit"
    (cd "$1" && cmake --preset win32 -DTRAMOLIVENGA_TESTS=OFF >/dev/null &&
        cmake --build --preset win32 --target package >/dev/null)
}

if [ -z "$(git status --porcelain --untracked-files=no)" ]; then
    first=build/win32
    echo "reproducible: comparing build/win32 with a clone of $commit in $scratch/b"
else
    echo "reproducible: uncommitted changes; comparing two clones of $commit instead"
    build_clone "$scratch/a"
    first=$scratch/a/build/win32
fi
build_clone "$scratch/b"
second=$scratch/b/build/win32

zip=$(cd "$first" && ls tramolivenga-*-win32.zip)
failed=0
for file in tramolivenga.exe "$zip"; do
    expected=$(sha256sum <"$first/$file" | cut -d' ' -f1)
    seen=$(sha256sum <"$second/$file" | cut -d' ' -f1)
    if [ "$expected" = "$seen" ]; then
        echo "reproducible: $file $expected in both builds"
    else
        echo "reproducible: FAILED: $file differs between the builds" >&2
        echo "    expected $expected ($first)" >&2
        echo "    seen     $seen ($second)" >&2
        diffoscope "$first/$file" "$second/$file" >&2 || true
        failed=1
    fi
done
for dir in "$first" "$second"; do
    expected=$(sha256sum <"$dir/$zip" | cut -d' ' -f1)
    seen=$(cut -d' ' -f1 "$dir/$zip.sha256" 2>/dev/null || echo "(no $zip.sha256)")
    if [ "$(cat "$dir/$zip.sha256" 2>/dev/null)" != "$expected  $zip" ]; then
        echo "reproducible: FAILED: $dir/$zip.sha256 does not hold the ZIP's sum" >&2
        echo "    expected $expected  $zip" >&2
        echo "    seen     $seen" >&2
        failed=1
    fi
done
[ "$failed" = 0 ] || exit 1
echo "reproducible: $zip.sha256 holds the ZIP's sum"
