#!/bin/bash
# Builds every preset and runs every test suite (`make test`):
#   native       the platform-independent code and its unit tests
#   native-asan  the same under AddressSanitizer and UBSan (clang)
#   win64        the program and its Win32 tests, run under Wine on a display
#   win32        the 32-bit release program
#   win32-test   the same corvane.exe built again (checked to be the same bytes)
#                with the Win32 tests for i686, run under Wine's 32-bit loader;
#                where this machine cannot run 32-bit programs the summary says
#                so in capitals, with the reason
#   format       every C++ file of src/, tests/, bench/ and tools/ as .clang-format has it
# Works from a fresh clone without a display. Every step runs even when an
# earlier one failed; the summary at the end lists them all, and the exit
# status is non-zero if any failed.
set -uo pipefail
# shellcheck source=scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$CORVANE_ROOT" || exit 1

TEST_TIMEOUT=300

# Internal: the ctest runs, under with-display.sh. $1 is the results file,
# then the presets to test.
if [ "${1:-}" = --ctest ]; then
    results=$2
    shift 2
    for preset in "$@"; do
        # One test program of the build lists its tests first: a Wine that
        # cannot start programs of this bitness would otherwise fail every
        # test with no word of why.
        probe=build/$preset/tests/win32/e2e_test.exe
        if [ -f "$probe" ]; then
            echo "==> probe $preset"
            if ! out=$("$CORVANE_SCRIPTS/wine-run" "$probe" --gtest_list_tests 2>&1) || [[ "$out" != *"E2e."* ]]; then
                echo "FAIL  test $preset (its e2e_test.exe did not start under Wine: '${out:-no output}')" >>"$results"
                continue
            fi
        fi
        echo "==> ctest $preset"
        if ctest --preset "$preset" --no-tests=error --timeout "$TEST_TIMEOUT"; then
            echo "PASS  test $preset" >>"$results"
        else
            echo "FAIL  test $preset" >>"$results"
        fi
    done
    exit 0
fi

"$CORVANE_SCRIPTS/deps.sh" || exit 1
mkdir -p build
results=$(mktemp "$CORVANE_ROOT/build/test-results.XXXXXX")
trap 'rm -f "$results"' EXIT

# Runs "$@" as the step named $1 and records the outcome.
step() {
    local name=$1
    shift
    echo "==> $name"
    if "$@"; then
        echo "PASS  $name" >>"$results"
    else
        echo "FAIL  $name" >>"$results"
        return 1
    fi
}

build_preset() {
    if step "configure $1" cmake --preset "$1" &&
       step "build $1" cmake --build --preset "$1" -j 2; then
        return 0
    fi
    [ "$1" = win32 ] || echo "SKIP  test $1 (not built)" >>"$results"
    return 1
}

# The sanitizer presets need clang's runtime libraries, which come in their
# own package; without them the preset cannot link anything.
sanitizer_runtime_present() {
    local dir
    dir=$(mktemp -d)
    echo 'int main() { return 0; }' >"$dir/probe.cpp"
    clang++ -fsanitize=address,undefined "$dir/probe.cpp" -o "$dir/probe" >/dev/null 2>&1
    local status=$?
    rm -rf "$dir"
    return $status
}

is_pe_i386() {
    [ -f "$1" ] && i686-w64-mingw32-objdump -f "$1" 2>/dev/null | grep -qE 'file format pei?-i386'
}

# Lists the C++ files that clang-format would change; fails if there are any.
formatted() {
    local bad
    bad=$(git -C "$CORVANE_ROOT" ls-files -- src tests bench tools | grep -E '\.(cpp|hpp|h)$' |
        while read -r f; do clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || echo "$f"; done)
    [ -z "$bad" ] && return 0
    echo "not formatted (run clang-format -i on them):"
    echo "$bad"
    return 1
}

step format formatted
to_test=()
build_preset native && to_test+=(native)
if sanitizer_runtime_present; then
    build_preset native-asan && to_test+=(native-asan)
else
    log "WARNING: clang's sanitizer runtime is missing (libclang-rt-14-dev); skipping native-asan"
    echo "SKIP  native-asan (no sanitizer runtime)" >>"$results"
fi
build_preset win64 && to_test+=(win64)
build_preset win32
step "win32 corvane.exe is a 32-bit Windows program" is_pe_i386 build/win32/corvane.exe
# The release archive: built twice to the same bytes, with only system DLLs
# imported and the resources read back.
step "release package" "$CORVANE_SCRIPTS/release_check.sh" "$CORVANE_ROOT"
# The 32-bit tier tests the release program itself: its build must give the
# very bytes of the release build.
if build_preset win32-test &&
   step "win32-test corvane.exe is the release corvane.exe" cmp build/win32/corvane.exe build/win32-test/corvane.exe; then
    if reason=$(win32_unavailable); then
        log "WARNING: the 32-bit tests cannot run here: $reason"
        echo "NOT RUN  test win32-test: THE 32-BIT TIER DID NOT RUN, THIS MACHINE CANNOT RUN 32-BIT PROGRAMS: $reason" >>"$results"
    else
        to_test+=(win32-test)
    fi
fi

if [ ${#to_test[@]} -gt 0 ]; then
    # The Win32 tests need a display; the native ones do not mind one. They
    # always get a private Xvfb, even on a desktop: a fixed screen size, and
    # no windows popping up under the user's pointer and keyboard.
    env -u DISPLAY "$CORVANE_SCRIPTS/with-display.sh" "$CORVANE_SCRIPTS/test.sh" --ctest "$results" "${to_test[@]}" ||
        echo "FAIL  test session (display or Wine setup)" >>"$results"
fi

echo
echo "==================== summary ===================="
cat "$results"
echo "================================================="
if grep -q '^FAIL' "$results"; then
    echo "make test: FAILED"
    exit 1
fi
if grep -q '^NOT RUN' "$results"; then
    echo "make test: all that ran passed; SOME TESTS DID NOT RUN (NOT RUN above)"
    exit 0
fi
echo "make test: all passed"
