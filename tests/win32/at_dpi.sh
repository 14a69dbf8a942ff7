#!/bin/bash
# at_dpi.sh DPI program.exe [arguments...]: runs a Win32 test at display scale DPI. Wine reads LogPixels when a
# process starts; the test is told the scale it should find (CORVANE_DPI), so a setting that did not take fails
# instead of testing 96 dpi twice. The prefix's default scale is put back afterwards.
run=$(dirname "$0")/../../scripts/wine-run
key='HKCU\Control Panel\Desktop'
"$run" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null || exit 1
CORVANE_DPI=$1 "$run" "${@:2}"
status=$?
"$run" reg delete "$key" /v LogPixels /f >/dev/null
exit "$status"
