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
#      Both bitnesses, each against a bare program of its own bitness: the
#      64-bit build, and the 32-bit release corvane.exe (the win32-test
#      build) where this machine runs 32-bit programs; the ratios are then
#      listed side by side.
# Medians, ratios and budgets are printed; nothing fails on a budget.
# CORVANE_NATIVE_BUILD_DIR, CORVANE_WIN64_BUILD_DIR and CORVANE_WIN32_BUILD_DIR
# override the build folders (default build/native, build/win64 and
# build/win32-test).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$CORVANE_ROOT"

native_dir=${CORVANE_NATIVE_BUILD_DIR:-build/native}
win64_dir=${CORVANE_WIN64_BUILD_DIR:-build/win64}
win32_dir=${CORVANE_WIN32_BUILD_DIR:-build/win32-test}

# A Unix path as the Windows programs see it (Wine maps / to Z:).
winpath() {
    local p
    p=$(readlink -f "$1")
    echo "Z:${p//\//\\}"
}

# The benchmark of the build in $1 ($2 runs), in the plain X session and in a
# virtual desktop; its output goes to $3.plain and $3.desktop as well.
bench_build() {
    local dir=$1 runs=$2 out=$3 bits=$4 status=0
    local bench=$dir/bench/startup/corvane_startup_bench.exe
    local args=("$(readlink -f "$dir/corvane.exe")" "$(readlink -f "$dir/bench/startup/baseline_window.exe")"
                "$(readlink -f "$dir/bench/startup/baseline_writer.exe")" "--runs=$runs")
    echo
    echo "==> $bits-bit start-up and shutdown under Wine, plain X session (load: $(cut -d' ' -f1-3 /proc/loadavg))"
    "$CORVANE_SCRIPTS/wine-run" "$bench" "${args[@]}" | tee "$out.plain" || status=1
    echo
    echo "==> $bits-bit start-up and shutdown under Wine, virtual desktop (load: $(cut -d' ' -f1-3 /proc/loadavg))"
    "$CORVANE_SCRIPTS/wine-run" explorer /desktop=corvane-bench,1024x768 "$(winpath "$bench")" "${args[@]}" |
        tee "$out.desktop" || status=1
    return "$status"
}

# The ratios of the figures that have a budget, both bitnesses side by side.
side_by_side() {
    local out=$1 session
    echo
    echo "==> corvane.exe against the bare program of its bitness: ratios of the medians (-: not measured)"
    for session in plain desktop; do
        if [ "$session" = plain ]; then echo "  plain X session:"; else echo "  virtual desktop:"; fi
        awk -v session="$session" '
            FNR == 1 { bits = FILENAME ~ /bits64\./ ? 64 : 32 }
            / ratio / && / budget / {
                what = $0; sub(/ +corvane .*/, "", what)
                for (i = 1; i <= NF; ++i) if ($i == "ratio") r[what, bits] = $(i + 1)
                for (i = 1; i <= NF; ++i) if ($i == "budget") b[what] = $(i + 1)
                if (!(what in seen)) { seen[what] = 1; order[++n] = what }
            }
            END {
                for (k = 1; k <= n; ++k) {
                    w = order[k]
                    printf "    %-32s 64-bit %6s   32-bit %6s   budget %s\n", w,
                        ((w, 64) in r) ? r[w, 64] : "-", ((w, 32) in r) ? r[w, 32] : "-", b[w]
                }
            }' "$out"64."$session" "$out"32."$session" 2>/dev/null
    done
}

# Internal: the Wine part, run by with-display.sh.
if [ "${1:-}" = --wine ]; then
    runs=$2
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
    : >"$out/bits32.plain"
    : >"$out/bits32.desktop"
    status=0
    bench_build "$win64_dir" "$runs" "$out/bits64" 64 || status=1
    if reason=$(win32_unavailable); then
        echo
        echo "==> 32-bit start-up and shutdown: NOT MEASURED, THIS MACHINE CANNOT RUN 32-BIT PROGRAMS: $reason"
    else
        bench_build "$win32_dir" "$runs" "$out/bits32" 32 || status=1
    fi
    side_by_side "$out/bits"
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
cmake --preset win32-test -B "$win32_dir" >/dev/null
cmake --build "$win32_dir" -j 2 --target corvane corvane_startup_bench baseline_window baseline_writer

echo
echo "==> Favorites codec, natively (load: $(cut -d' ' -f1-3 /proc/loadavg))"
"$native_dir/bench/native/corvane_codec_bench"

wine_env
"$CORVANE_SCRIPTS/with-display.sh" "$CORVANE_SCRIPTS/bench-startup.sh" --wine "$runs"
