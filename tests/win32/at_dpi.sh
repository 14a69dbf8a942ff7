#!/bin/bash
# at_dpi.sh DPI program.exe [arguments...]: runs a Win32 test at display scale DPI. Wine reads LogPixels when
# a process starts: it is set first and put back afterwards. The test is told the scale it should find
# (CORVANE_DPI), so a setting that did not take fails instead of testing 96 dpi twice.
set -u
run=$(dirname "$0")/../../scripts/wine-run
key='HKCU\Control Panel\Desktop'
dpi=$1
shift
old=$("$run" reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" { print $3 }')
"$run" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null || exit 1
CORVANE_DPI=$dpi "$run" "$@"
status=$?
if [ -n "$old" ]; then
    "$run" reg add "$key" /v LogPixels /t REG_DWORD /d "$((old))" /f >/dev/null
else
    "$run" reg delete "$key" /v LogPixels /f >/dev/null
fi
exit "$status"
