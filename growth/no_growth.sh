#!/usr/bin/env bash
# Measures from outside the process whether the resident program grows: drives
# CHANGES clipboard changes (default 10,000; with and without primes) past
# tramolivenga.exe in a Wine desktop with a notification area, and prints its
# private memory, GDI objects, windows and handles after the first hundred
# changes, every 1,000 and at the end. It judges each figure's growth from
# the 100th change to the last; one the platform does not give (Wine counts
# no handles) is named and left unjudged. Run on demand; not part of the test
# command.
#
#   growth/no_growth.sh BUILD_DIR [CHANGES]
#
# BUILD_DIR is a Windows build tree configured with -DTRAMOLIVENGA_BENCHMARKS=ON
# (tramolivenga.exe, growth/growth_probe.exe), for the shipped i686 build:
#   cmake --preset win32 -B build/bench-win32 -DTRAMOLIVENGA_BENCHMARKS=ON -DTRAMOLIVENGA_TESTS=OFF
#   cmake --build build/bench-win32 && growth/no_growth.sh build/bench-win32
# (win64 and build/bench-win64 for x86-64). First the probe checks that its GDI
# count follows brushes it creates and deletes, and stops here if it does not.
# An X display and a wineserver are used when DISPLAY and WINEPREFIX are set
# (as under ctest); otherwise a private pair is started and stopped again.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "${1:?usage: no_growth.sh BUILD_DIR [CHANGES]}" && pwd)
changes=${2:-10000}

source "$root/tools/wine-env.sh"
own_wine=0
if [ -z "${DISPLAY:-}" ] || [ -z "${WINEPREFIX:-}" ]; then
    own_wine=1
    start_private_display
    start_wine "$build/wineprefix"
fi
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree=;mshtml=" LANG=ja_JP.UTF-8

# A directory of its own: no INI file beside the program, so the defaults.
work=$(mktemp -d /tmp/tramolivenga-growth.XXXXXX)
probe_job=
finish() {
    [ -n "$probe_job" ] && kill "$probe_job" 2>/dev/null || true
    rm -rf "$work"
    [ "$own_wine" = 1 ] && stop_wine_and_display
    return 0
}
trap finish EXIT
cp "$build/tramolivenga.exe" "$build/growth/growth_probe.exe" "$work/"
windows_path() { local path="$1"; echo "Z:${path//\//\\}"; }

"$WINE" "$(windows_path "$work/growth_probe.exe")" --self-check || {
    echo "no_growth: the probe's GDI count does not follow the objects made (above)" >&2
    exit 1
}

# Wine gives a named desktop a notification area only when asked to.
desktop=TramolivengaGrowth
"$WINE" reg add "HKCU\\Software\\Wine\\Explorer\\Desktops\\$desktop" \
    /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1

"$WINE" explorer "/desktop=$desktop,800x600" "$(windows_path "$work/growth_probe.exe")" "$changes" \
    "$(windows_path "$work/tramolivenga.exe")" >"$work/probe.log" 2>&1 &
probe_job=$!

wait "$probe_job" || true
probe_job=
cat "$work/probe.log"
grep -q '^probe: RESULT no growth' "$work/probe.log"
