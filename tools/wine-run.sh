#!/usr/bin/env bash
# Runs a Windows program under Wine (wine64 hands an i686 program to 32-bit Wine) with Japanese ANSI code page 932.
# The caller (tools/test.sh, or the test's own environment) provides DISPLAY
# and WINEPREFIX; the defaults keep an ad-hoc run working too.
set -eu
export LANG="${TRAMOLIVENGA_LANG:-ja_JP.UTF-8}"
export WINEDEBUG="${WINEDEBUG:--all}"
# Never offer to download Mono or Gecko: nothing here needs them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-tramolivenga}"
if [ -z "${DISPLAY:-}" ]; then
    echo "wine-run: no X display; start Xvfb and set DISPLAY (tools/test.sh does)" >&2
    exit 2
fi
# The program writes to files, which are copied out as they grow until the
# program itself has ended: any Wine process that it started and that
# outlives it (the prefix's services, were it the first process) then holds
# the files, not the caller's pipe, which ctest would wait on to its limit.
# The program dies with this script, also when a time limit kills it.
output=$(mktemp -d "$WINEPREFIX/run.XXXXXX")
trap 'rm -rf "$output"' EXIT
# Made before the copies below start, which would otherwise find no file to follow.
: >"$output/stdout"
: >"$output/stderr"
setpriv --pdeathsig KILL /usr/lib/wine/wine64 "$@" >"$output/stdout" 2>"$output/stderr" &
program=$!
tail -n +1 -s 0.2 -f --pid="$program" "$output/stdout" &
tail -n +1 -s 0.2 -f --pid="$program" "$output/stderr" >&2 &
status=0
wait "$program" || status=$?
# Reaped, so the copies see it gone, read the rest and end.
wait
exit "$status"
