#!/usr/bin/env bash
# Runs every test: the portable core natively (plain and with sanitizers),
# the shipped i686 build (compiled and linked only), and the x86-64 build
# with its tests under 64-bit Wine on a private X server.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
source tools/wine-env.sh
trap stop_wine_and_display EXIT

build() {
    echo "== $1"
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1"
}

build native
ctest --preset native
build sanitize
ctest --preset sanitize
bash tools/fuzz-smoke.sh
build win32
build win64
start_private_display
start_wine "$PWD/build/win64/wineprefix"
ctest --preset win64
