#!/bin/bash
# Runs a command with a usable X display and a running Wine session:
#   scripts/with-display.sh CMD [ARGS...]
# Without a usable DISPLAY (CI, a plain ssh session) it starts Xvfb on a free
# display number and exports DISPLAY for the command. It creates the Wine
# prefix if needed and keeps one wineserver for the whole command, so that
# the Win32 tests do not each start and stop a server. Whatever it started it
# stops again when the command ends. The exit status is the command's.
set -uo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [ $# -lt 1 ]; then
    echo "usage: ${0##*/} command [arguments...]" >&2
    exit 2
fi

wine_env
own_server=0

cleanup() {
    if [ "$own_server" -eq 1 ]; then
        wine_stop_server || true
    fi
    xvfb_stop
}
child=
# Pass a signal on to the command; the cleanup then stops whatever Wine
# processes are left, even hung ones.
on_signal() {
    [ -n "$child" ] && kill "-$1" "$child" 2>/dev/null
    exit "$2"
}
trap cleanup EXIT
trap 'on_signal INT 130' INT
trap 'on_signal TERM 143' TERM
trap 'on_signal HUP 129' HUP

if ! display_usable; then
    [ -n "${DISPLAY:-}" ] && log "DISPLAY=$DISPLAY does not accept connections"
    unset DISPLAY
    xvfb_start || exit 1
    log "started Xvfb on $DISPLAY"
    # Wine's desktop process picks its display driver when the session starts,
    # so a server that ran before this X server existed would keep the Win32
    # programs off it. Start the session afresh.
    if wine_server_pid >/dev/null; then
        log "restarting the wineserver of $WINEPREFIX for the new display"
        wine_stop_server || exit 1
    fi
fi

wine_server_pid >/dev/null || own_server=1
wine_prepare "" || exit 1

# In the background so that a signal reaches the traps at once, not only when
# the command ends; the explicit redirection keeps its standard input.
"$@" <&0 &
child=$!
wait "$child"
