# Sourced by the tools: a private X server and one persistent wineserver for
# a whole run, so that each Windows process starts in about a second.

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

# Starts Xvfb on the first free display and exports DISPLAY; fails, with
# Xvfb's own output, when it has named none within 10 s.
start_private_display() {
    # Xvfb picks a free display itself and names it once it accepts clients:
    # two runs started together cannot take the same one.
    local number log deadline=$((SECONDS + 10))
    number=$(mktemp)
    log=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$number" >/dev/null 2>"$log" &
    XVFB_PID=$!
    while [ ! -s "$number" ] && [ "$SECONDS" -lt "$deadline" ] && kill -0 "$XVFB_PID" 2>/dev/null; do
        sleep 0.1
    done
    if [ ! -s "$number" ]; then
        if kill "$XVFB_PID" 2>/dev/null; then
            echo "wine-env: Xvfb named no display within 10 s; its output:" >&2
        else
            echo "wine-env: Xvfb ended without naming a display; its output:" >&2
        fi
        cat "$log" >&2
        rm -f "$number" "$log"
        return 1
    fi
    export DISPLAY=":$(head -n 1 "$number")"
    rm -f "$number" "$log"
}

# Wine draws the caption buttons (the close box's cross) with its Marlett
# font. Debian ships it in fonts-wine, in a folder this Wine does not read,
# so the prefix's Fonts folder gets a link to it; without it the close box
# shows a plain "r".
link_marlett() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    [ -e "$fonts/marlett.ttf" ] || ln -s /usr/share/wine/fonts/marlett.ttf "$fonts/marlett.ttf"
}

# Windows' own path of the file $1.
windows_path() { local path; path=$(realpath "$1") && echo "Z:${path//\//\\}"; }

# The tooltip font of a Japanese Windows (MS UI Gothic, 9 pt: 12 pixels), as
# a LOGFONTW. Wine 8 gives tooltips a face for Japanese (its LOGFONT's
# character set, the 24th byte, is SHIFTJIS_CHARSET, 0x80); Wine 10 gives
# them Tahoma, which has no Japanese: their glyphs come from a taller font,
# and the balloon, sized for Tahoma, cuts off the bottom of its text.
JAPANESE_TOOLTIP_FONT=f4ffffff000000000000000000000000900100000000008000000022
JAPANESE_TOOLTIP_FONT+=4d005300200055004900200047006f007400680069006300$(printf '0%.0s' {1..80})
give_tooltips_a_japanese_face() {
    local metrics='HKCU\Control Panel\Desktop\WindowMetrics' font
    font=$("$WINE" reg query "$metrics" /v StatusFont 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_BINARY *//p')
    [ "${font:46:2}" = 80 ] ||
        "$WINE" reg add "$metrics" /v StatusFont /t REG_BINARY /d "$JAPANESE_TOOLTIP_FONT" /f >/dev/null 2>&1
}

# Does a Wine desktop with a taskbar draw balloons? Wine 8's does; Wine
# 10.0's draws them only for the standalone tray, which a taskbar turns off.
# Asked once for each version of Wine (the answer is kept in the prefix):
# wine_tray ($1) asks for a balloon in a small desktop with a taskbar and says
# whether one was drawn.
taskbar_draws_balloons() {
    local kept="$WINEPREFIX/taskbar-balloons" version verdict
    version=$("$WINE" --version)
    if [ "$(head -n 1 "$kept" 2>/dev/null)" != "$version" ]; then
        verdict=$(mktemp)
        "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops\BalloonProbe' /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1
        "$WINE" explorer /desktop=BalloonProbe,320x240 "$(windows_path "$1")" probe "$(windows_path "$verdict")" >/dev/null 2>&1
        if [ ! -s "$verdict" ]; then
            echo "wine-env: wine_tray could not tell whether a taskbar draws balloons; keeping the taskbar" >&2
            rm -f "$verdict"
            return 0
        fi
        printf '%s\n%s\n' "$version" "$(cat "$verdict")" >"$kept"
        rm -f "$verdict"
    fi
    [ "$(sed -n 2p "$kept")" = balloons ]
}

# Makes the prefix's desktop $1 one that shows the icon and its balloons
# whole: with a taskbar (and with it the notification area), which Wine gives
# a named desktop only when asked to, where that draws balloons; else with
# Wine's standalone tray, which wine_tray ($2) puts into the corner as the
# desktop starts: PLACE_TRAY is then the words that come before the command
# the desktop starts (wine_tray place COMMAND), else nothing. Tooltips get a
# Japanese face, and Wine draws Japanese with IPA Gothic
# (fonts-ipafont-gothic): the program asks for "ＭＳ ゴシック" by name, and
# Wine 10 draws its own menus and the Start button in "MS UI Gothic", which,
# unlike Wine 8, it does not find in IPA Gothic by itself. The close box's
# cross needs Marlett.
prepare_desktop() {
    local face desktop="HKCU\\Software\\Wine\\Explorer\\Desktops\\$1"
    for face in 'ＭＳ ゴシック' 'MS UI Gothic'; do
        "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
    done
    give_tooltips_a_japanese_face
    link_marlett
    PLACE_TRAY=()
    if taskbar_draws_balloons "$2"; then
        "$WINE" reg add "$desktop" /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1
    else
        PLACE_TRAY=("$(windows_path "$2")" place)
        "$WINE" reg add "$desktop" /v EnableShell /t REG_DWORD /d 0 /f >/dev/null 2>&1
        "$WINE" reg add "$desktop" /v ShowSystray /t REG_DWORD /d 1 /f >/dev/null 2>&1
    fi
}

# Keeps one wineserver up for the prefix $1 and makes sure it is initialised.
start_wine() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree=;mshtml="
    export LANG=ja_JP.UTF-8
    mkdir -p "$WINEPREFIX"
    # A server left running for this prefix belongs to another display.
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -p
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine: initialising the prefix $WINEPREFIX"
    fi
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    link_marlett
    # Xvfb has no window manager; without this Wine waits for one each time a
    # managed window is shown, hidden or destroyed.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
    # A program that crashes ends at once with a backtrace on its stderr, instead of waiting in
    # the debugger's dialog for a click that never comes.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    # Start afresh, so that the desktop process below is the keeper's child.
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -p
    # A process that stays for the whole run keeps the desktop, and with it
    # explorer, alive: a desktop started afresh for each program waits about
    # ten seconds for the RPC service. It ends when this shell closes fd 9.
    # Explorer inherits its trace of the tooltips, where balloons can be read.
    export TRAMOLIVENGA_DESKTOP_TRACE="$WINEPREFIX/desktop-trace.log"
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    WINEDEBUG=-all,trace+tooltips "$WINE" cmd /c pause <"$fifo" >/dev/null 2>"$TRAMOLIVENGA_DESKTOP_TRACE" &
    exec 9>"$fifo"
    rm -f "$fifo"
    wait_for_keeper
}

# Prints the command lines of this prefix's processes whose stderr is the
# file $1, one a line. Builtins only: it is polled.
prefix_processes_writing_to() {
    local proc environment arguments
    for proc in /proc/[0-9]*; do
        mapfile -d '' environment 2>/dev/null <"$proc/environ" || continue
        [[ " ${environment[*]} " == *" WINEPREFIX=$WINEPREFIX "* ]] || continue
        [ "$(readlink "$proc/fd/2" 2>/dev/null)" = "$1" ] || continue
        mapfile -d '' arguments 2>/dev/null <"$proc/cmdline" || continue
        echo "${arguments[*]}"
    done
    return 0
}

# Returns once the keeper has brought up the prefix's desktop and services:
# a program started before that would start them itself, and they would hold
# its output pipes open long after it ended. Theirs goes to the desktop trace.
wait_for_keeper() {
    local trace processes wanted missing deadline=$((SECONDS + 120))
    trace=$(readlink -f "$TRAMOLIVENGA_DESKTOP_TRACE")
    while [ "$SECONDS" -lt "$deadline" ]; do
        processes=$(prefix_processes_writing_to "$trace")
        missing=""
        for wanted in 'services.exe' 'explorer.exe /desktop' 'cmd.exe /c pause'; do
            [[ "$processes" == *"\\system32\\$wanted"* ]] || missing="$missing, $wanted"
        done
        [ -z "$missing" ] && return 0
        sleep 0.2
    done
    echo "wine: after 120 s the keeper of $WINEPREFIX still has not started ${missing#, }" >&2
    return 1
}

stop_wine_and_display() {
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k >/dev/null 2>&1 || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" >/dev/null 2>&1 || true
    return 0
}
