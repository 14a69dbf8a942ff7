#!/bin/bash
# Fuzzes the Favorites codec for a while: scripts/fuzz.sh [seconds] (60).
# Builds the native-asan preset (clang, libFuzzer, ASan, UBSan) and runs the
# fuzzer on the seed corpus in tests/fuzz/corpus. Inputs it finds that reach
# new code go to build/fuzz/corpus, never into the checked-in seeds; a crash
# leaves its input in build/fuzz/artifacts and fails the script.
# CORVANE_BUILD_DIR overrides the build folder (default build/native-asan).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$CORVANE_ROOT"

seconds=${1:-60}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
    echo "usage: ${0##*/} [seconds]   (a whole number above 0; default 60)" >&2
    exit 2
fi

build_dir=${CORVANE_BUILD_DIR:-build/native-asan}
scratch=$CORVANE_ROOT/build/fuzz
mkdir -p "$scratch/corpus" "$scratch/artifacts"

cmake --preset native-asan -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j 2 --target favorites_fuzzer
fuzzer=$build_dir/tests/fuzz/favorites_fuzzer

# libFuzzer writes new inputs to the first corpus folder only; the seeds
# come second so they are read but left alone.
log "fuzzing the Favorites codec for $seconds s; new inputs in ${scratch#"$CORVANE_ROOT"/}/corpus"
status=0
"$fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$scratch/artifacts/" \
    "$scratch/corpus" tests/fuzz/corpus || status=$?
if [ "$status" -ne 0 ]; then
    log "the fuzzer failed (status $status); the input is in ${scratch#"$CORVANE_ROOT"/}/artifacts"
    log "replay it with: $fuzzer <that file>"
fi
exit "$status"
