#!/usr/bin/env bash
# Runs every test: the portable core natively (plain and with sanitizers),
# then the shipped i686 build (program, tests, package) under 32-bit Wine and
# the x86-64 build's core tests under 64-bit Wine, on a private X server with
# one wineserver for the whole run. Prints each stage's time.
set -Eeuo pipefail
# set -e alone ends the script without a word: name the command that failed.
trap 'status=$?; [ "$BASH_SUBSHELL" != 0 ] || echo "test: failed (exit $status) at line $LINENO: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."

current=""
stage() {
    [ -z "$current" ] || echo "-- $current: $((SECONDS - stage_start)) s"
    current=$1
    stage_start=$SECONDS
    [ -z "$current" ] || echo "== $current"
}

stage setup
bash tools/setup.sh
source tools/wine-env.sh
trap stop_wine_and_display EXIT

build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" "${@:2}"
}

stage format
sh tests/format.sh
stage "planted faults apply"
# Each fault of the catalogue still finds its text exactly once, so none goes unplanted.
python3 faults/faults.py
stage native
build native
ctest --preset native
stage sanitize
build sanitize
ctest --preset sanitize
stage fuzz
# The scanner's fuzz target, once over its seeds: it keeps compiling.
bash fuzz/fuzz.sh
stage "win32 and win64 builds"
build win32 --target all package
build win64
stage reproducible
bash tests/reproducible.sh
stage "Wine start"
start_private_display
start_wine "$PWD/build/wineprefix-tests"
stage "win32 tests"
ctest --preset win32
stage "win64 tests"
ctest --preset win64
stage ""
echo "test: everything passed in $SECONDS s"
