#!/bin/bash
# Builds the 64-bit program and runs it under Wine in the current directory,
# where its Favorites file lives (`make run`).
# With a usable DISPLAY the program simply runs there. Without one (CI, ssh)
# it runs on a private Xvfb: once its window is up, a screenshot is saved to
# build/screenshot.png and the program is closed the way a user would close
# it, so that it writes its Favorites file as usual.
set -euo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

EXE="$CORVANE_ROOT/build/win64/corvane.exe"
SHOT="$CORVANE_ROOT/build/screenshot.png"
TITLE='^Corvane!$'

corvane_alive() { kill -0 "$corvane_pid" 2>/dev/null; }

# Waits up to $1 tenths of a second for the program to end.
wait_exit() {
    for _ in $(seq 1 "$1"); do
        corvane_alive || return 0
        sleep 0.1
    done
    return 1
}

# The headless session; with-display.sh has set DISPLAY and the Wine session.
headless() {
    "$CORVANE_SCRIPTS/wine-run" "$EXE" &
    corvane_pid=$!

    local win=""
    for _ in $(seq 1 100); do
        win=$(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null | head -n 1) || true
        [ -n "$win" ] && break
        if ! corvane_alive; then
            local status=0
            wait "$corvane_pid" || status=$?
            log "corvane.exe ended (status $status) before its window appeared"
            return 1
        fi
        sleep 0.2
    done
    if [ -z "$win" ]; then
        log "no window titled 'Corvane!' after 20 s"
        wine_stop_server || true
        return 1
    fi

    sleep 1 # let it paint
    if import -window root "$SHOT" 2>/dev/null ||
       { xwd -root -silent | convert xwd:- "png:$SHOT"; }; then
        echo "Screenshot of the running program saved to $SHOT"
    else
        log "could not take a screenshot"
    fi

    # Alt+F4 on the focused window goes the same way as the close box:
    # the program shuts down in order and writes Favorites.
    if xdotool windowfocus --sync "$win" 2>/dev/null; then
        xdotool key alt+F4 || true
    fi
    if ! wait_exit 100; then
        log "Alt+F4 did not close Corvane; asking it to close with taskkill"
        "$WINE64" taskkill /im corvane.exe >/dev/null 2>&1 || true
        if ! wait_exit 100; then
            log "Corvane did not close; stopping the Wine session (Favorites not written)"
            wine_stop_server || true
            wait "$corvane_pid" 2>/dev/null || true
            return 1
        fi
    fi
    wait "$corvane_pid" 2>/dev/null || true
    echo "Corvane closed."
}

if [ "${1:-}" = --headless ]; then
    headless
    exit
fi

"$CORVANE_SCRIPTS/deps.sh"
(
    cd "$CORVANE_ROOT"
    [ -f build/win64/build.ninja ] || cmake --preset win64
    cmake --build --preset win64 -j 2 --target corvane
)

wine_env
if display_usable; then
    exec "$CORVANE_SCRIPTS/wine-run" "$EXE"
fi
exec "$CORVANE_SCRIPTS/with-display.sh" "$CORVANE_SCRIPTS/run.sh" --headless
