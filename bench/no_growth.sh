#!/usr/bin/env bash
# Measures from outside the process whether the resident program grows: drives
# CHANGES clipboard changes (default 10,000; with and without primes) past
# tramolivenga.exe in a Wine desktop with a notification area, and prints its
# private memory, GDI objects, windows and handles after the first hundred
# changes and at the end. Run on demand; not part of the test command.
#
#   bench/no_growth.sh BUILD_DIR [CHANGES]
#
# BUILD_DIR is a Windows build tree configured with -DTRAMOLIVENGA_BENCHMARKS=ON
# (tramolivenga.exe, bench/growth_probe.exe).
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
cp "$build/tramolivenga.exe" "$build/bench/growth_probe.exe" "$work/"
windows_path() { local path="$1"; echo "Z:${path//\//\\}"; }

# Wine gives a named desktop a notification area only when asked to.
desktop=TramolivengaGrowth
"$WINE" reg add "HKCU\\Software\\Wine\\Explorer\\Desktops\\$desktop" \
    /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1

"$WINE" explorer "/desktop=$desktop,800x600" "$(windows_path "$work/growth_probe.exe")" "$changes" \
    "$(windows_path "$work/pid")" "$(windows_path "$work/tramolivenga.exe")" >"$work/probe.log" 2>&1 &
probe_job=$!

# The probe starts the program; find its Unix process by its command line.
program_pid=
for _ in $(seq 600); do
    for cmdline in /proc/[0-9]*/cmdline; do
        # A 32-bit program under emulation is started as qemu-i386 wine PROGRAM.
        first=$(tr '\0' '\n' 2>/dev/null <"$cmdline" | grep -v -E '(^|/)(qemu-i386|wine|wine64)$' | head -n 1) || continue
        case "$first" in
        *"$(basename "$work")"*tramolivenga.exe)
            program_pid=$(basename "$(dirname "$cmdline")")
            break 2
            ;;
        esac
    done
    sleep 0.1
done
if [ -z "$program_pid" ]; then
    cat "$work/probe.log"
    echo "no_growth: the program's process was not found" >&2
    exit 1
fi
echo "$program_pid" >"$work/pid"

wait "$probe_job" || true
probe_job=
cat "$work/probe.log"
grep -q '^probe: RESULT no growth' "$work/probe.log"
