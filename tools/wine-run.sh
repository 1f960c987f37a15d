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
exec /usr/lib/wine/wine64 "$@"
