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

# Keeps one wineserver up for the prefix $1 and makes sure it is initialised.
start_wine() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree=;mshtml="
    export LANG=ja_JP.UTF-8
    mkdir -p "$WINEPREFIX"
    "$WINESERVER" -p
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine: initialising the prefix $WINEPREFIX"
    fi
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    # Xvfb has no window manager; without this Wine waits for one each time a
    # managed window is shown, hidden or destroyed.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
}

stop_wine_and_display() {
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k >/dev/null 2>&1 || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" >/dev/null 2>&1 || true
    return 0
}
