# shellcheck shell=bash
# Shared helpers for the build, run and test scripts. Source it; do not run it.
# Wine here is Debian's: wine64, with wine32:i386 beside it for 32-bit
# programs. The `wine` front-end script does not work, so the loaders and the
# server are called by their full paths: 64-bit programs and Wine's own
# commands through wine64, 32-bit programs through the 32-bit loader, all in
# one 64-bit prefix with one (64-bit) server.

CORVANE_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
CORVANE_ROOT=$(dirname "$CORVANE_SCRIPTS")
WINE64=/usr/lib/wine/wine64
WINESERVER64=/usr/lib/wine/wineserver64
WINE32=/usr/lib/wine/wine

log() { printf '%s: %s\n' "${0##*/}" "$*" >&2; }

# The environment every Wine process of the project runs with. DISPLAY is
# left as the caller has it. WINEDEBUG may be overridden for debugging.
wine_env() {
    export WINEPREFIX="${WINEPREFIX:-$CORVANE_ROOT/build/wineprefix}"
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Mono or Gecko: their installers would pop up when a prefix is made.
    # No debugger either: on a crash it hangs instead of printing a trace, so
    # a crashing test would wait for its timeout. Without it the program ends
    # at once with the low byte of the exception code (5: access violation).
    # No menu builder: a shortcut written to the prefix's desktop stays there
    # instead of becoming a launcher on the Linux desktop.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
}

# Prints the loader that runs the Windows program $1: the 32-bit one for a
# 32-bit program (PE machine 0x14c), wine64 for anything else, including names
# of Wine's built-in commands (reg, explorer).
wine_loader_for() {
    local header machine=""
    header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    [[ "$header" =~ ^[0-9]+$ ]] && machine=$(od -An -tx2 -j$((header + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
    if [ "$machine" = 014c ]; then echo "$WINE32"; else echo "$WINE64"; fi
}

# Prints why this machine cannot run 32-bit Windows programs at all, and
# fails; succeeds silently where it can. The 32-bit loader is itself a 32-bit
# Linux program, so running it also asks the kernel.
win32_unavailable() {
    if [ ! -x "$WINE32" ]; then
        echo "Wine's 32-bit loader $WINE32 is missing (Debian package wine32:i386, which scripts/deps.sh installs as root)"
        return 0
    fi
    local out status=0
    out=$("$WINE32" --version 2>&1 </dev/null) || status=$?
    [ "$status" -eq 0 ] && return 1
    if [ "$status" -eq 126 ]; then
        echo "the kernel does not run 32-bit Linux programs such as $WINE32 (Exec format error: no IA-32 emulation, or ia32_emulation=off)"
    else
        echo "$WINE32 --version fails (status $status): $(head -n 1 <<<"$out")"
    fi
    return 0
}

# A prefix made before Wine's 32-bit side was installed has none: a 32-bit
# program then ends at once without a word. Such a prefix is updated when the
# 32-bit loader runs here; the stamp (the loader's time and size) keeps an
# update that did not help from being tried again at every start.
wine_add_32bit_side() {
    local stamp="$WINEPREFIX/.corvane-32bit-side" want
    [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] && return 0
    win32_unavailable >/dev/null && return 0
    want=$(stat -L -c '%Y %s' "$WINE32")
    [ "$(cat "$stamp" 2>/dev/null)" = "$want" ] && return 0
    log "adding the 32-bit side to Wine prefix $WINEPREFIX"
    "$WINE64" wineboot -u >>"$WINEPREFIX.boot.log" 2>&1 9>&- || log "wineboot -u failed; see $WINEPREFIX.boot.log"
    echo "$want" >"$stamp"
    [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] ||
        log "the prefix still has no 32-bit side; see $WINEPREFIX.boot.log"
}

# Prints the pid of the wineserver that serves $WINEPREFIX; fails if none runs.
# A server runs with its socket directory as working directory, named after
# the prefix's device and inode. Debian's Wine keeps that directory under a
# private /tmp/wine-XXXXXX whose name it stores in the prefix.
wine_server_pid() {
    [ -d "$WINEPREFIX" ] || return 1
    local base dir pid
    if [ -r "$WINEPREFIX/wineserver" ]; then
        base="/tmp/$(cat "$WINEPREFIX/wineserver")"
    else
        base="/tmp/.wine-$(id -u)"
    fi
    dir="$base/server-$(stat -L -c %D "$WINEPREFIX")-$(printf %x "$(stat -L -c %i "$WINEPREFIX")")"
    for pid in $(pgrep -x 'wineserver(64)?'); do
        if [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$dir" ]; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

# Starts a server for $WINEPREFIX unless one runs, so that all Wine processes
# of a session share it instead of paying for a server each. $1 is the -p
# argument: empty keeps the server until `wineserver -k`, a number keeps it
# that many seconds after its last client.
wine_start_server() {
    wine_server_pid >/dev/null && return 0
    # The server lives on in the background: it must not keep our caller's
    # output open (ctest waits for a test's pipes to close), nor the lock
    # descriptor, which would block every later caller.
    "$WINESERVER64" "-p${1:-}" </dev/null >/dev/null 2>&1 9>&- ||
        wine_server_pid >/dev/null || return 1
    # Start the session's background processes (services, the desktop) now,
    # detached from our output. Started by the first program instead, they
    # would inherit its stdout and stderr and keep them open for as long as
    # the server lives, and ctest waits for those pipes to close.
    "$WINE64" wineboot </dev/null >/dev/null 2>&1 9>&- || true
}

# Stops the server of $WINEPREFIX and every Wine process using it; the server
# writes the registry to disk on its way out.
wine_stop_server() {
    wine_server_pid >/dev/null || return 0
    "$WINESERVER64" -k 2>/dev/null || true
    for _ in $(seq 1 100); do
        wine_server_pid >/dev/null || return 0
        sleep 0.1
    done
    log "wineserver for $WINEPREFIX did not stop"
    return 1
}

# Wine links the prefix's desktop to the Linux home; the shortcuts that tests
# and screenshots put on the desktop belong in the prefix, in a folder of its
# own. (A prefix update links it again; every session looks.)
wine_own_desktop() {
    local desktop
    for desktop in "$WINEPREFIX"/drive_c/users/*/Desktop; do
        if [ -L "$desktop" ]; then
            rm -f "$desktop" && mkdir -p "$desktop"
        fi
    done
}

# Makes sure $WINEPREFIX is a complete prefix and a server runs for it (see
# wine_start_server for $1). Parallel callers (ctest -j) serialise on a lock
# next to the prefix, so only one of them creates it.
wine_prepare() {
    local persist="${1:-}" status=0
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec 9>"$WINEPREFIX.lock"
    flock 9
    # system.reg is written only when the server saves the registry, so its
    # presence means a finished wineboot whose work reached the disk.
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "creating Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        local bootlog="$WINEPREFIX.boot.log"
        if "$WINE64" wineboot -i >"$bootlog" 2>&1 9>&-; then
            # Debian's Wine does not load the fonts it ships (MS Sans Serif,
            # Marlett for the caption buttons) unless they are in the prefix.
            cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
            # With no window manager, Wine waits about 2 s for every window it
            # hides or destroys unless its windows are unmanaged.
            "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$bootlog" 2>&1 9>&- ||
                log "could not make Wine's windows unmanaged; tests will be slower"
            # Stopping the server saves the registry; a crash of a later
            # server would otherwise leave a prefix without one.
            wine_stop_server || status=1
            if [ ! -f "$WINEPREFIX/system.reg" ]; then
                log "wineboot left no registry in $WINEPREFIX; see $bootlog"
                status=1
            fi
        else
            log "wineboot -i failed for $WINEPREFIX; see $bootlog"
            status=1
        fi
    fi
    if [ "$status" -eq 0 ]; then
        wine_add_32bit_side || status=1
        wine_own_desktop
    fi
    if [ "$status" -eq 0 ]; then
        wine_start_server "$persist" || { log "cannot start wineserver for $WINEPREFIX"; status=1; }
    fi
    flock -u 9
    exec 9>&-
    return "$status"
}

# True if $DISPLAY names an X server that accepts connections.
display_usable() {
    [ -n "${DISPLAY:-}" ] && timeout 5 xdotool getdisplaygeometry >/dev/null 2>&1
}

# Starts Xvfb on the first free display from :90 up; sets XVFB_PID and
# exports DISPLAY. Another Xvfb can take a number between the check and the
# start, so a server that dies at once makes us try the next number.
XVFB_PID=
xvfb_start() {
    local n
    for n in $(seq 90 189); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 9>&- &
        XVFB_PID=$!
        for _ in $(seq 1 100); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            if [ -S "/tmp/.X11-unix/X$n" ] &&
               DISPLAY=":$n" timeout 5 xdotool getdisplaygeometry >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    done
    log "could not start Xvfb on any display from :90 to :189"
    return 1
}

xvfb_stop() {
    [ -n "$XVFB_PID" ] || return 0
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
}
