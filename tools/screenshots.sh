#!/usr/bin/env bash
# Makes the README's pictures with the end-to-end harness: the balloon after a
# copy (docs/balloon.png), the open tray menu (docs/tray-menu.png) and the
# settings window (docs/settings.png), taken from a private Xvfb on which the
# x86-64 build runs in a Wine desktop with Japanese fonts.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tramolivenga chain_viewer desktop_probe
# A prefix of its own, kept for the next run: its private wineserver is
# stopped at the end, which must not hit the tests' server.
python3 tests/e2e/e2e_test.py --exe build/win64/tramolivenga.exe --helpers build/win64/tests/e2e \
    --prefix build/win64/wineprefix-screenshots --no-rejoin --screenshots docs
