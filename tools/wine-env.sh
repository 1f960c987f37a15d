# Sourced by the tools: a private X server and one persistent wineserver for
# a whole run, so that each Windows process starts in about a second.

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

# Starts Xvfb on the first free display and exports DISPLAY.
start_private_display() {
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    export DISPLAY=":$n"
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
}

stop_wine_and_display() {
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k >/dev/null 2>&1 || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" >/dev/null 2>&1 || true
    return 0
}
