#!/bin/bash
# Start-up and shutdown figures of Corvane (`scripts/bench-startup.sh [runs]`,
# 9 runs of each program by default):
#   1. the Favorites codec on 32,767 favorites against plain line loops,
#      natively (native preset, Google Benchmark);
#   2. corvane.exe against a bare one-window program under Wine: start-up to
#      a visible window with no Favorites and with 32,767 favorites, and
#      shutdown with 32,767 favorites (also against the bare program writing
#      the same Favorites back). Twice: in the plain X session and in a
#      Wine virtual desktop. On a bare X server (Xvfb, no window manager)
#      Wine waits up to 2 s for a window manager whenever a top-level window
#      is hidden, which swamps every shutdown; the virtual desktop has no
#      such wait and shows what the programs themselves cost.
# Medians, ratios and budgets are printed; nothing fails on a budget.
# CORVANE_NATIVE_BUILD_DIR and CORVANE_WIN64_BUILD_DIR override the build
# folders (default build/native and build/win64).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$CORVANE_ROOT"

native_dir=${CORVANE_NATIVE_BUILD_DIR:-build/native}
win64_dir=${CORVANE_WIN64_BUILD_DIR:-build/win64}

# A Unix path as the Windows programs see it (Wine maps / to Z:).
winpath() {
    local p
    p=$(readlink -f "$1")
    echo "Z:${p//\//\\}"
}

# Internal: the Wine part, run by with-display.sh.
if [ "${1:-}" = --wine ]; then
    runs=$2
    bench=$win64_dir/bench/startup/corvane_startup_bench.exe
    args=("$(readlink -f "$win64_dir/corvane.exe")" "$(readlink -f "$win64_dir/bench/startup/baseline_window.exe")"
          "$(readlink -f "$win64_dir/bench/startup/baseline_writer.exe")" "--runs=$runs")
    status=0
    echo
    echo "==> start-up and shutdown under Wine, plain X session (load: $(cut -d' ' -f1-3 /proc/loadavg))"
    "$CORVANE_SCRIPTS/wine-run" "$bench" "${args[@]}" || status=1
    echo
    echo "==> start-up and shutdown under Wine, virtual desktop (load: $(cut -d' ' -f1-3 /proc/loadavg))"
    "$CORVANE_SCRIPTS/wine-run" explorer /desktop=corvane-bench,1024x768 "$(winpath "$bench")" "${args[@]}" ||
        status=1
    exit "$status"
fi

runs=${1:-9}
if ! [[ "$runs" =~ ^[0-9]+$ ]] || [ "$runs" -eq 0 ]; then
    echo "usage: ${0##*/} [runs]   (a whole number above 0; default 9)" >&2
    exit 2
fi

cmake --preset native -B "$native_dir" >/dev/null
cmake --build "$native_dir" -j 2 --target corvane_codec_bench
cmake --preset win64 -B "$win64_dir" >/dev/null
cmake --build "$win64_dir" -j 2 --target corvane corvane_startup_bench baseline_window baseline_writer

echo
echo "==> Favorites codec, natively (load: $(cut -d' ' -f1-3 /proc/loadavg))"
"$native_dir/bench/native/corvane_codec_bench"

wine_env
"$CORVANE_SCRIPTS/with-display.sh" "$CORVANE_SCRIPTS/bench-startup.sh" --wine "$runs"
