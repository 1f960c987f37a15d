#!/usr/bin/env bash
# Builds the program and starts it under Wine in a Wine desktop window with a
# notification area (a taskbar, or Wine's standalone tray in the corner where
# Wine draws no balloons with a taskbar), so that its tray icon, menu and
# balloons can be seen. Copy text with a prime in it (in any program) and the
# balloon appears; Exit is on the icon's menu. By default this is the shipped
# 32-bit program (preset win32), run by 32-bit Wine; --win64 runs the x86-64
# build instead.
#   tools/run.sh [--win64]
set -Eeuo pipefail
# set -e alone ends the script without a word: name the command that failed.
trap 'status=$?; [ "$BASH_SUBSHELL" != 0 ] || echo "run: failed (exit $status) at line $LINENO: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."

preset=win32
[ "${1:-}" != --win64 ] || preset=win64

bash tools/setup.sh
if [ "$preset" = win32 ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    cat >&2 <<'MESSAGE'
run: this machine cannot run 32-bit Windows programs: 32-bit Wine (wine32:i386)
does not start, and tools/setup.sh could not make it start (on a kernel without
32-bit support it needs qemu-i386 8 or later registered through binfmt_misc).
Start the x86-64 build instead: bash tools/run.sh --win64
MESSAGE
    exit 2
fi
echo "== $preset"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target tramolivenga wine_tray

if [ -z "${DISPLAY:-}" ]; then
    cat >&2 <<MESSAGE
run: no X display (DISPLAY is not set). Tramolivenga lives in the taskbar's
notification area and needs a screen. It is built; on a machine without a
screen, start it on a virtual one (set-up has installed xvfb-run):
    xvfb-run -a -s '-screen 0 1280x800x24' bash tools/run.sh${1:+ $1}
MESSAGE
    exit 2
fi

source tools/wine-env.sh  # WINE
export WINEPREFIX="$PWD/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="  # never offer to download Mono or Gecko
export LANG=ja_JP.UTF-8                      # ANSI code page 932
mkdir -p "$WINEPREFIX"

desktop=Tramolivenga
helper=build/$preset/tools/wine_tray/wine_tray.exe
prepare_desktop "$desktop" "$helper"

program="$PWD/build/$preset/tramolivenga.exe"
echo "run: starting $program in the Wine desktop \"$desktop\""
# Returns when the program has ended (Exit on the icon's menu).
exec "$WINE" explorer "/desktop=$desktop,1024x768" "${PLACE_TRAY[@]}" "$(windows_path "$program")"
