#!/usr/bin/env bash
# Plants each fault of faults/faults.py, one at a time, in a clone of the
# repo's HEAD under /tmp, and names the first test that catches it.
#
#   bash faults/plant.sh [ID ...]      every fault, or only those named
#   bash faults/plant.sh --pictures [ID ...]
#                                      the same, judged by the pictures test alone
#
# Builds the clone's win32 preset, starts one private Xvfb and one wineserver
# for the whole run with the test command's own helpers (tools/wine-env.sh),
# and has faults/plant.py plant the faults and print the table. A fault that
# only the pictures catch costs a run of the pictures, and one that hangs a
# test that test's limit; docs/limits-and-measurements.md gives measured runs.
set -euo pipefail
scratch=$(mktemp -d /tmp/tramolivenga-faults.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
git clone -q "$(dirname "$0")/.." "$scratch"
cd "$scratch"
source tools/wine-env.sh
trap 'stop_wine_and_display; rm -rf "$scratch"' EXIT
echo "plant: commit $(git rev-parse --short HEAD), cloned to $scratch"
cmake --preset win32 >/dev/null
if ! log=$(cmake --build --preset win32 --target all package 2>&1); then
    echo "$log" | tail -n 30 >&2
    echo "plant: the unchanged clone does not build" >&2
    exit 1
fi
start_private_display
start_wine "$PWD/build/wineprefix-tests"
python3 faults/plant.py "$@"
