#!/bin/bash
# Builds and runs the benchmarks and prints their figures:
#   scripts/bench.sh [--quick]
#   native  FindProcessId beside a plain strcmp loop (Google Benchmark), over
#           made-up lists of 300, 3,000 and 30,000 processes
#   win64   under Wine: the process lookup over the real process list, the
#           same match again, the CPU time of a launch whose pin attempts
#           all fail (against pumping events without a pause), and, with
#           both cores kept busy, how many launched programs are on their
#           core at their first instruction and how soon after their
#           creation (created on the core against the pin by handle alone)
# Every figure is a median, shown next to its baseline and their ratio.
# --quick takes fewer rounds. Build folders default to the presets' own
# (build/native, build/win64); CORVANE_BENCH_NATIVE_DIR and
# CORVANE_BENCH_WIN64_DIR choose others. Not a test: nothing here fails on a
# slow figure, only on a build or run that breaks.
set -uo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$CORVANE_ROOT" || exit 1

quick=0
case "${1:-}" in
    --quick) quick=1 ;;
    "") ;;
    *) echo "usage: ${0##*/} [--quick]" >&2; exit 2 ;;
esac

native_dir=${CORVANE_BENCH_NATIVE_DIR:-$CORVANE_ROOT/build/native}
win64_dir=${CORVANE_BENCH_WIN64_DIR:-$CORVANE_ROOT/build/win64}
status=0

"$CORVANE_SCRIPTS/deps.sh" || exit 1

echo "==> native: FindProcessId (Google Benchmark)"
if ! cmake --preset native -B "$native_dir" >/dev/null; then
    echo "native configure failed" >&2
    status=1
elif ! cmake --build "$native_dir" --target help | grep -q '^corvane_native_bench:'; then
    echo "SKIP: the native build has no corvane_native_bench (bench/native/CMakeLists.txt does not define it, or Google Benchmark is missing)"
elif cmake --build "$native_dir" -j 2 --target corvane_native_bench; then
    json=$(mktemp)
    if [ "$quick" -eq 1 ]; then reps=3; min_time=0.05; else reps=7; min_time=0.2; fi
    if "$native_dir/bench/native/corvane_native_bench" --benchmark_repetitions="$reps" \
           --benchmark_min_time="$min_time" --benchmark_report_aggregates_only=true \
           --benchmark_format=json --benchmark_out="$json" >/dev/null; then
        python3 - "$json" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
med = {}
for r in runs:
    if r.get("aggregate_name") == "median":
        name, size = r["run_name"].split("/")
        med[(name, int(size))] = r["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6}[r["time_unit"]]
print(f"{'list size':>10} {'FindProcessId':>15} {'strcmp loop':>13} {'ratio':>8}  goal")
for size in sorted({s for _, s in med}):
    a, b = med[("BM_FindProcessId", size)], med[("BM_StrcmpLoop", size)]
    goal = "<= 2x" if size == 3000 else ""
    print(f"{size:>10} {a:>12.0f} ns {b:>10.0f} ns {a / b:>7.2f}x  {goal}")
print("(median CPU time of one lookup)")
PY
    else
        echo "native benchmark run failed" >&2
        status=1
    fi
    rm -f "$json"
else
    echo "native benchmark not built" >&2
    status=1
fi

echo
echo "==> win64: lookup, match and launches under Wine"
if cmake --preset win64 -B "$win64_dir" >/dev/null &&
   cmake --build "$win64_dir" -j 2 --target corvane_bench; then
    args=()
    [ "$quick" -eq 1 ] && args+=(--quick)
    # A private display unless a usable one is set; the launch benchmark
    # opens Corvane's window, which must be the only one in its Wine session.
    "$CORVANE_SCRIPTS/with-display.sh" "$CORVANE_SCRIPTS/wine-run" "$win64_dir/bench/corvane_bench.exe" "${args[@]}" ||
        status=1
else
    echo "win64 benchmark not built" >&2
    status=1
fi
exit $status
