#!/usr/bin/env bash
# Makes the README's pictures from the shipped i686 program in a 640x480 Wine
# desktop with a taskbar, on a private Xvfb: the balloon after a copy
# (docs/balloon.png), the open tray menu (docs/tray-menu.png) and the settings
# window (docs/settings.png). Each picture waits for what it shows: the icon,
# the balloon and the menu are read from Wine's trace channels, and every
# picture is taken once the screen has stopped changing. The clicks go where
# that desktop puts the icon and its menu. ImageMagick's import takes them.
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
trace=$work/trace.log
cp build/win32/tramolivenga.exe "$work/"
# The program inherits the desktop's trace: its icon calls (systray), the
# balloons (tooltips) and the menus (menu) all land in one log.
WINEDEBUG=-all,trace+systray,trace+tooltips,trace+menu \
    "$WINE" explorer /desktop=Shots,640x480 "Z:${work//\//\\}\\tramolivenga.exe" >/dev/null 2>"$trace" &

# Waits until the trace has one line more matching the pattern $1 than the
# count $2 (default 0).
count() { grep -c -- "$1" "$trace" || true; }
traced() {
    local deadline=$((SECONDS + 60))
    until [ "$(count "$1")" -gt "${2:-0}" ]; do
        [ $SECONDS -lt $deadline ] || { echo "screenshots: no \"$1\" in Wine's trace" >&2; exit 1; }
        sleep 0.2
    done
}

# The pixels of the screen's part WIDTHxHEIGHT+LEFT+TOP as a checksum.
pixels() { import -silent -window root -crop "$1" rgb:- | md5sum; }

# Waits until the part $1 has stopped changing (the same for half a second)
# and, given a checksum $2, differs from it.
settled() {
    local deadline=$((SECONDS + 60)) last now
    last=$(pixels "$1")
    while :; do
        sleep 0.5
        now=$(pixels "$1")
        [ "$now" != "$last" ] || [ "$now" = "${2:-}" ] || return 0
        [ $SECONDS -lt $deadline ] || { echo "screenshots: $1 did not settle" >&2; exit 1; }
        last=$now
    done
}

shot() {  # name WIDTHxHEIGHT+LEFT+TOP
    import -silent -window root -crop "$2" +repage -strip "docs/$1.png"
    echo "screenshots: docs/$1.png"
}

tray=340x120+300+360
traced 'dwMessage = 0' # the icon is added
settled "$tray"
printf '価格は1,009円です' | xclip -selection clipboard
traced 'Show tooltip' # the balloon
settled "$tray"
shot balloon "$tray"

traced ', msg 2, ' # the balloon has gone: its window is destroyed (WM_DESTROY)
settled "$tray"
menus=$(count 'show_popup')
# The pointer leaves the icon at once, before the icon's tip can show.
xdotool mousemove 629 469 click 3 mousemove 200 200
traced 'show_popup' "$menus"
settled 280x100+360+380
shot tray-menu 280x100+360+380

before=$(pixels 640x480+0+0)
xdotool mousemove 517 405 click 1
settled 640x480+0+0 "$before"
shot settings 640x480+0+0
"$WINESERVER" -k
rm -rf "$work"
