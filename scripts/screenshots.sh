#!/bin/bash
# Takes the README's screenshots of the three panels, cropped to the window:
#   docs/favorites.png  docs/editor.png  docs/browser.png        at 100 %
#   docs/favorites-150.png  docs/editor-150.png  docs/browser-150.png  at 150 %
# and, at 100 %, of the two menus, each opened by a real right click:
#   docs/list-menu.png   the favorites list's menu, over the window
#   docs/tray-menu.png   the notification-area menu, over Wine's system tray
# Builds the 64-bit program, then runs it under Wine on a private Xvfb (or
# the current DISPLAY) with a Wine prefix of its own, build/screenshots/, in
# which it sets the display scale and lays out a few sample games and their
# favorites. The panels are opened the way a user opens them, by pressing
# "Add" and clicking the "Target" label; tools/poke.cpp does the pressing
# through the window's controls, so no screen coordinates are involved.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

BUILD="$CORVANE_ROOT/build/win64"
EXE="$BUILD/corvane.exe"
POKE="$BUILD/tools/corvane_poke.exe"
DOCS="$CORVANE_ROOT/docs"
TITLE='^Corvane!$'

# What it prints comes through Wine's console with CR LF line ends.
poke() { "$WINE64" "$POKE" "$@" | tr -d '\r'; }

# The Debian build of Wine does not find the fonts it ships (fonts-wine puts
# them in /usr/share/wine/fonts; this Wine looks elsewhere), so without this
# "MS Sans Serif" falls back to a wider face and the labels are cut off.
install_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" f
    mkdir -p "$fonts"
    for f in /usr/share/wine/fonts/*; do
        [ -e "$fonts/${f##*/}" ] || cp "$f" "$fonts/"
    done
}

# C:\games with three games, and their favorites in C:\games\Favorites,
# where corvane.exe started in C:\games reads them.
sample_games() {
    local games="$WINEPREFIX/drive_c/games"
    rm -rf "$games"
    mkdir -p "$games/minesweeper" "$games/chess" "$games/pinball"
    # A real program, so that the icon preview has an icon to show.
    cp "$WINEPREFIX/drive_c/windows/system32/winemine.exe" "$games/minesweeper/winemine.exe"
    : >"$games/chess/chess.exe"
    : >"$games/pinball/pinball.exe"
    printf '%s\r\n' \
        'Minesweeper on CPU 1' '1__c:\games\minesweeper\winemine.exe' 'c:\games\minesweeper' 'None' \
        'Chess on CPU 0' '0__c:\games\chess\chess.exe' 'c:\games\chess' '-fullscreen' \
        'Pinball on Default' '2__c:\games\pinball\pinball.exe' 'c:\games\pinball' 'None' \
        >"$games/Favorites"
}

# Xvfb has no window manager to draw title bars; unmanaged, Wine draws the
# window's frame itself, so the screenshot shows the whole window.
draw_frames() {
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
}

# Sets the display scale new Wine processes start with (96 = 100 %).
set_dpi() {
    "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}

shoot() {
    local win=$1 out=$2
    sleep 1 # let the panel paint
    # No time stamps in the files: a new run changes them only if the window
    # looks different.
    import -window "$win" -strip -define png:exclude-chunks=date,time "$out"
    echo "wrote ${out#"$CORVANE_ROOT"/}"
}

# The open menu and the X window $1 together, cropped from the screen.
shoot_menu() {
    local win=$1 out=$2 X Y WIDTH HEIGHT SCREEN mx my mw mh left top right bottom
    sleep 1 # let the menu paint
    read -r mx my mw mh < <(poke menu) || return 1
    eval "$(xdotool getwindowgeometry --shell "$win")"
    left=$((X < mx ? X : mx))
    top=$((Y < my ? Y : my))
    right=$((X + WIDTH > mx + mw ? X + WIDTH : mx + mw))
    bottom=$((Y + HEIGHT > my + mh ? Y + HEIGHT : my + mh))
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage -strip \
        -define png:exclude-chunks=date,time "$out"
    echo "wrote ${out#"$CORVANE_ROOT"/}"
}

# A real right click at the screen point $1 $2, as a user gives it.
right_click() {
    xdotool mousemove "$1" "$2"
    sleep 0.5
    xdotool click 3
}

# The favorites list's menu on its second entry, then the notification-area
# menu; each closed again with Escape.
shoot_menus() {
    local win=$1 tray X Y WIDTH HEIGHT SCREEN
    # shellcheck disable=SC2046 # "X Y", two arguments
    right_click $(poke entry 1) &&
        shoot_menu "$win" "$DOCS/list-menu.png" || return 1
    xdotool key Escape
    tray=$(xdotool search --name '^Wine System Tray$' | head -n 1)
    [ -n "$tray" ] || { log "no Wine system tray on $DISPLAY"; return 1; }
    eval "$(xdotool getwindowgeometry --shell "$tray")"
    # The first icon's middle, below the tray's title bar.
    right_click $((X + 13)) $((Y + 31)) &&
        shoot_menu "$tray" "$DOCS/tray-menu.png" || return 1
    xdotool key Escape
}

# One run of corvane.exe at $1 dpi; file names get the suffix $2.
session_at() {
    local dpi=$1 suffix=$2 win="" i pid
    set_dpi "$dpi"
    (cd "$WINEPREFIX/drive_c/games" && exec "$WINE64" "$EXE") &
    pid=$!
    poke wait || { kill "$pid" 2>/dev/null; return 1; }
    for i in $(seq 1 50); do
        win=$(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null | head -n 1) || true
        [ -n "$win" ] && break
        sleep 0.2
    done
    if [ -z "$win" ]; then
        log "no window titled 'Corvane!' on $DISPLAY"
        kill "$pid" 2>/dev/null || true
        return 1
    fi
    local failed=0
    shoot "$win" "$DOCS/favorites$suffix.png" &&
        { [ -n "$suffix" ] || shoot_menus "$win"; } &&
        poke click Add &&
        shoot "$win" "$DOCS/editor$suffix.png" &&
        poke click Target &&
        poke open minesweeper &&
        poke select winemine.exe &&
        shoot "$win" "$DOCS/browser$suffix.png" || failed=1
    # Closed the user's way, so that the program ends as usual.
    poke close || kill "$pid" 2>/dev/null || true
    for i in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    wait "$pid" 2>/dev/null || true
    return "$failed"
}

# Internal: the part that needs the display and the Wine session.
if [ "${1:-}" = --session ]; then
    install_fonts
    draw_frames
    sample_games
    mkdir -p "$DOCS"
    status=0
    session_at 96 "" || status=1
    [ "$status" -eq 0 ] && { session_at 144 -150 || status=1; }
    "$WINE64" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
    exit "$status"
fi
# Reached only when a shell error abandoned the session part above: the part
# below would start another session inside this one.
[ "${1:-}" = --session ] && exit 1

"$CORVANE_SCRIPTS/deps.sh"
(
    cd "$CORVANE_ROOT"
    [ -f "$BUILD/build.ninja" ] || cmake --preset win64
    cmake --build --preset win64 -j 2 --target corvane corvane_poke
)
export WINEPREFIX="$CORVANE_ROOT/build/screenshots/wineprefix"
exec "$CORVANE_SCRIPTS/with-display.sh" "$CORVANE_SCRIPTS/screenshots.sh" --session
