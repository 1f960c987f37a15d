#!/usr/bin/env bash
# Makes the README's pictures from the shipped i686 program in a 640x480 Wine
# desktop with a taskbar, on a private Xvfb: the balloon after a copy
# (docs/balloon.png), the open tray menu (docs/tray-menu.png) and the settings
# window (docs/settings.png). The clicks go where that desktop puts the icon
# and its menu.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target tramolivenga
source tools/wine-env.sh
trap stop_wine_and_display EXIT
start_private_display
start_wine "$PWD/build/wineprefix-shots"
"$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops\Shots' /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic /f >/dev/null 2>&1

work=$(mktemp -d)
cp build/win32/tramolivenga.exe "$work/"
"$WINE" explorer /desktop=Shots,640x480 "Z:${work//\//\\}\\tramolivenga.exe" >/dev/null 2>&1 &
shot() {  # name left top right bottom
    xwd -root -silent -out "$work/shot.xwd"
    python3 tools/xwd2png.py "$work/shot.xwd" "docs/$1.png" "$2" "$3" "$4" "$5"
    echo "screenshots: docs/$1.png"
}
sleep 15
printf '価格は1,009円です' | xclip -selection clipboard
sleep 6
shot balloon 300 360 640 480
sleep 12  # until the balloon has gone
xdotool mousemove 629 469 click 3
sleep 2
shot tray-menu 360 380 640 480
xdotool mousemove 517 405 click 1
sleep 3
shot settings 0 0 640 480
"$WINESERVER" -k
rm -rf "$work"
