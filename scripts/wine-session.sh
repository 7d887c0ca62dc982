# Sourced by the run and test scripts: a Wine prefix on a display, with one
# wine server kept alive for the whole session.
#   wine_session_start PREFIX_DIR [own-display]   then   wine_session_stop
# Sets DP_ARCH (win32 or win64: 32-bit where this machine can run 32-bit
# programs, else 64-bit) and DP_WINE (the loader to use).

dp_can_run_32bit() {
    [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

dp_choose_arch() {
    if dp_can_run_32bit; then
        DP_ARCH=win32; DP_WINE=wine
    else
        DP_ARCH=win64; DP_WINE=/usr/lib/wine/wine64
    fi
    export DP_ARCH DP_WINE
}

wine_session_start() {
    local prefix=$1 own_display=${2:-}
    dp_choose_arch
    export WINEPREFIX=$prefix WINEARCH=$DP_ARCH WINEDEBUG=-all
    # No menu builder: the installer's shortcut would make Wine write
    # desktop entries into the host's home.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv,winemenubuilder.exe=d"

    DP_XVFB_PID=
    if [ -n "$own_display" ] || [ -z "${DISPLAY:-}" ]; then
        local fifo
        fifo=$(mktemp -u)
        mkfifo "$fifo"
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
        DP_XVFB_PID=$!
        local number
        read -r number <"$fifo"
        rm -f "$fifo"
        export DISPLAY=":$number"
    fi

    if [ ! -f "$WINEPREFIX/.driftpad-ready" ]; then
        rm -rf "$WINEPREFIX"
        mkdir -p "$(dirname "$WINEPREFIX")"
        "$DP_WINE" wineboot -i >/dev/null 2>&1 || true
        # Wine's virtual desktop: fixed geometry, a taskbar with the tray,
        # activation without a window manager.
        "$DP_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        "$DP_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.driftpad-ready"
    fi
    # A new prefix links Documents, Desktop and the other profile folders to
    # the Linux home, which every prefix on the machine shares: a test's
    # notes file there would race with every other Wine run, and its clean-up
    # would delete a person's own. Folders of the prefix instead, made earlier too.
    local link
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
        if [ -L "$link" ]; then
            rm -f "$link" && mkdir -p "$link"
        fi
    done
    # A persistent server makes every later wine start cheap.
    wineserver -p >/dev/null 2>&1
}

wine_session_stop() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if [ -n "${DP_XVFB_PID:-}" ]; then
        kill "$DP_XVFB_PID" 2>/dev/null || true
        wait "$DP_XVFB_PID" 2>/dev/null || true
    fi
}
