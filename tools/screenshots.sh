#!/usr/bin/env bash
# Takes the reference pictures of the shipped i686 program in a 640x480 Wine
# desktop with a notification area (prepare_desktop in tools/wine-env.sh), on a
# private Xvfb, using it as a person would:
#   started.png            the whole desktop once the program has started: its
#                          icon and nothing else
#   balloon.png            the balloon after a copy
#   balloon-longest.png    the balloon of a 19-digit prime, copied next
#   tray-menu.png          the icon's menu
#   settings.png           the settings window with the defaults
#   sound-dialog.png       参照's file dialog, listing the folder's WAV alone,
#                          the WAV chosen from the keyboard
#   sound-chosen.png       the window with the chosen file's path in its edit
#   tray-menu-paused.png   the menu once checking is paused
#   settings-restarted.png the settings window after a restart, showing what
#                          was changed from the keyboard and applied before it
# The restart is made twice: with the settings in the INI file (applied with
# OK, after a change dropped by Escape) and in the registry (applied with
# Enter); the second picture is settings-restarted-registry.png.
# Each picture waits for what it shows: the program's calls for the icon and
# the balloon and its menus are read from Wine's trace channels, the balloon
# on the screen, and every picture is taken once the screen has stopped
# changing. The clicks go where that desktop puts the icon, its menu and the
# window, on Wine 8 and Wine 10 alike. ImageMagick's import takes them.
#
#   tools/screenshots.sh            builds the program and retakes this Wine's
#                                   reference set (tools/reference-set.sh;
#                                   docs/*.png on Debian 12)
#   tools/screenshots.sh EXE DIR    takes them from EXE into DIR (the pictures test)
set -Eeuo pipefail
# set -e alone ends the script without a word: name the command that failed
# (a capture of the screen that fails, say), before the pictures' comparison.
trap 'status=$?; [ "$BASH_SUBSHELL" != 0 ] || echo "screenshots: failed (exit $status) at line $LINENO: $BASH_COMMAND" >&2' ERR
[ $# = 0 ] || set -- "$(realpath "$1")" "$(realpath -m "$2")"
cd "$(dirname "$0")/.."

if [ $# = 0 ]; then
    bash tools/setup.sh
    cmake --preset win32 >/dev/null
    cmake --build --preset win32 --target tramolivenga wine_tray
    refs=$(sh tools/reference-set.sh --new)
    bash tools/screenshots.sh build/win32/tramolivenga.exe "$refs"
    # Both stores must show the same window after the restart: one picture.
    same=$(compare -metric AE "$refs"/settings-restarted{,-registry}.png null: 2>&1) || true
    [ "$same" = 0 ] || { echo "screenshots: the two restarts differ: $same" >&2 && exit 1; }
    rm "$refs/settings-restarted-registry.png"
    exit
fi
exe=$1
out=$2
# Built beside the program: it makes the desktop show balloons.
helper=$(dirname "$exe")/tools/wine_tray/wine_tray.exe
mkdir -p "$out"
source tools/wine-env.sh
work=$(mktemp -d)
finish() {
    # The settings the run stored in the registry, and the folder the file
    # dialog was last used in.
    if [ -n "${WINEPREFIX:-}" ]; then
        "$WINE" reg delete 'HKCU\Software\yulbrex' /f >/dev/null 2>&1 || true
        "$WINE" reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32' /f \
            >/dev/null 2>&1 || true
    fi
    stop_wine_and_display
    rm -rf "$work" "${folder:-}"
}
trap finish EXIT
unset WINEPREFIX # until this run's own is up
start_private_display
start_wine "$PWD/build/wineprefix-shots"
prepare_desktop Shots "$helper"

trace=$work/trace.log
# The program's folder, as the package unpacks, with a WAV beside it. It lies
# on the prefix's C: drive, so that the path the file dialog gives is the same
# in every run, and the program starts in it (start /d, as a shortcut's
# working folder would), where the dialog opens when the folder holds a WAV.
folder=$WINEPREFIX/drive_c/Tramolivenga
rm -rf "$folder"
mkdir "$folder"
cp "$exe" "$folder/tramolivenga.exe"
cp res/readme.txt "$folder/readme.txt"
# A WAV of a tenth of a second's silence: 8-bit mono at 8000 Hz.
{
    printf 'RIFF\x44\x03\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00'
    printf '\x40\x1f\x00\x00\x40\x1f\x00\x00\x01\x00\x08\x00data\x20\x03\x00\x00'
    head -c 800 /dev/zero | tr '\0' '\200'
} >"$folder/prime.wav"
: >"$trace"

# The program inherits the desktop's trace: its icon calls (systray), the
# balloons (tooltips) and the menus (menu) all land in one log; the waits use
# only what Wine 8 and 10 trace alike: shell32's line for each of the
# program's icon calls and the menu's show_popup. It is started
# maximised, as a shortcut may ask: the window must stay hidden all the same,
# or it covers the desktop above the taskbar in the balloon's picture.
start_program() {
    WINEDEBUG=-all,trace+systray,trace+tooltips,trace+menu "$WINE" explorer /desktop=Shots,640x480 \
        "${PLACE_TRAY[@]}" start /d 'C:\Tramolivenga' /max 'C:\Tramolivenga\tramolivenga.exe' >/dev/null 2>>"$trace" &
    program=$!
    traced 'dwMessage = 0' "$(count 'dwMessage = 0')" # the icon is added
    settled "$tray"
}

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
        [ $SECONDS -lt $deadline ] || break
        last=$now
    done
    if [ "$now" = "${2:-}" ]; then
        echo "screenshots: $1 did not change (a click or a key missed?)" >&2
    else
        echo "screenshots: $1 did not settle" >&2
    fi
    exit 1
}

# Waits until the part $1 shows the checksum $2 again.
back() {
    local deadline=$((SECONDS + 60))
    until [ "$(pixels "$1")" = "$2" ]; do
        [ $SECONDS -lt $deadline ] || { echo "screenshots: $1 did not return to what it showed" >&2; exit 1; }
        sleep 0.2
    done
}

shot() { # name WIDTHxHEIGHT+LEFT+TOP
    import -silent -window root -crop "$2" +repage -strip "$out/$1.png"
    echo "screenshots: $out/$1.png"
}

tray=340x120+300+360
screen=640x480+0+0
menu_part=280x100+360+380
dialog_list=400x130+14+60

# Right-clicks the icon and waits for its menu. The pointer leaves the icon at
# once, before the icon's tip can show, for a bare part of the desktop: over a
# control it would light that control up.
open_menu() {
    local menus
    menus=$(count 'show_popup')
    xdotool mousemove 629 469 click 3 mousemove 560 200
    traced 'show_popup' "$menus"
    settled "$menu_part"
}

# Gives xdotool the keys or clicks $@ and waits for the screen to change and
# settle.
act() {
    local before
    before=$(pixels "$screen")
    xdotool "$@"
    settled "$screen" "$before"
}

# Clicks the item at the height $1 of the open menu.
choose() { act mousemove 517 "$1" click 1 mousemove 560 200; }
# Heights within each item both where Wine 8 keeps the menu above the taskbar
# and where Wine 10 puts it 9 pixels lower, over the taskbar.
SETTINGS=410 PAUSE=427 EXIT=452
menu_item() {
    open_menu
    choose "$1"
}

# Exit from the open menu; the program must end with it.
exit_program() {
    xdotool mousemove 517 "$EXIT" click 1
    local deadline=$((SECONDS + 60))
    while kill -0 "$program" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || { echo "screenshots: the program did not exit" >&2; exit 1; }
        sleep 0.2
    done
}

# Changes settings from the keyboard, as far as the sound's edit: the size
# box gets a 6, a typed letter that it refuses and a paste of the text on the
# clipboard, written in full-width digits as a Japanese input method writes
# them, of which it takes the digits alone, as ASCII digits, until its nine
# characters are full, and then refuses a typed digit; the list its second
# entry; the full-width box is ticked and the comma's cleared. So any two
# boxes differ in this picture or in the defaults', and a box mixed up with
# another shows. Keys go to the window under the pointer.
change_settings() {
    xdotool mousemove 223 44 click 1 key End BackSpace BackSpace type 6x
    xdotool key ctrl+v type 5
    xdotool key Tab Down Tab space Tab space Tab Tab Tab
}

# Gives xdotool the keys or clicks that close the window and waits until its
# place shows the bare desktop, one colour.
hidden() {
    local deadline=$((SECONDS + 60))
    xdotool "$@"
    until [ "$(import -silent -window root -crop 405x298+0+0 -format %k info:)" = 1 ]; do
        [ $SECONDS -lt $deadline ] || { echo "screenshots: the window did not close" >&2; exit 1; }
        sleep 0.2
    done
}

# Copies the text $1 and waits for the program to ask for its balloon
# (NIM_MODIFY), then for explorer to show it, which Wine does about two
# seconds later, and for the tray to settle.
balloon() {
    local asked shown deadline=$((SECONDS + 10))
    asked=$(count 'dwMessage = 1')
    shown=$(count 'Show tooltip pre')
    printf '%s' "$1" | xclip -selection clipboard
    traced 'dwMessage = 1' "$asked"
    until [ "$(count 'Show tooltip pre')" -gt "$shown" ]; do
        [ $SECONDS -lt $deadline ] || { echo "screenshots: no balloon shown within 10 s of the program's call" >&2; exit 1; }
        sleep 0.2
    done
    settled "$tray"
}

start_program
# Started maximised, the window stays hidden: the desktop shows the icon alone.
settled "$screen"
shot started "$screen"
bare=$(pixels "$tray")
balloon '価格は1,009円です'
shot balloon "$tray"
# The longest number a balloon holds, 19 digits: the largest prime below
# 2^63. Its balloon takes the place of the first at once.
balloon '最大の素数は9223372036854775783'
shot balloon-longest "$tray"
back "$tray" "$bare" # both have gone
# What the size box is given to paste, copied long before Wine is asked for
# it. No balloon: full-width digits are not read until their box is ticked.
printf '%s' '円周率は３．１４１５９２６５３５' | xclip -selection clipboard
open_menu
shot tray-menu "$menu_part"
choose "$SETTINGS"
shot settings "$screen"
# 参照 opens the file dialog in the folder the program was started in, which
# holds the program, its readme and a WAV: it lists the WAV alone. The WAV is
# chosen from the keyboard: Shift+Tab from the name box to the list, Home
# selects its first entry, Enter opens it.
# The name box's caret blinks: the dialog is awaited in its list alone.
before=$(pixels "$dialog_list")
xdotool mousemove 366 224 click 1 mousemove 200 12
settled "$dialog_list" "$before"
act key shift+Tab Home
shot sound-dialog "$screen"
act key Return mousemove 560 200
shot sound-chosen "$screen"

# Escape hides the window and drops the changes: the chosen file, and the
# period's box cleared; the window opened again shows them as they were.
hidden mousemove 100 164 click 1 key Escape
menu_item "$SETTINGS"
# In the INI file: applied with OK, the next stop after the sound's edit,
# pressed with Space.
change_settings
hidden key Tab space
menu_item "$PAUSE"
open_menu
shot tray-menu-paused "$menu_part"
exit_program
start_program
menu_item "$SETTINGS"
shot settings-restarted "$screen"
hidden mousemove 392 12 click 1 mousemove 560 200 # the close box

# In the registry, as the INI file selects: applied with Enter in the edit,
# which is OK.
open_menu
exit_program
printf '[registry]\r\nuseregistry=1\r\n' >"$folder/tramolivenga.ini"
start_program
menu_item "$SETTINGS"
change_settings
hidden key Return
open_menu
exit_program
start_program
menu_item "$SETTINGS"
shot settings-restarted-registry "$screen"
open_menu
exit_program
