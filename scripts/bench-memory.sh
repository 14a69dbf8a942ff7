#!/bin/bash
# Peak memory of a 32-bit corvane.exe under Wine, for the two largest lists it
# meets: a Favorites of 32,767 favorites (the most the list was made for) and
# a file at the 256 MiB reading cap made of short records.
#   scripts/bench-memory.sh [corvane.exe ...]   (default build/win32/corvane.exe)
# Each program starts in a fresh folder, reads the file, lists it and goes
# idle (any box it shows stays up); it is then closed as its close box closes
# it and waited for. The figure is the Wine process's VmHWM (peak resident
# set) from /proc, read until the process has gone, so the close and its save
# count too. Several programs (a build before and after a change) are listed
# side by side. Needs the win64 build's corvane_poke for the close.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$CORVANE_ROOT"

# Internal: one measurement, run by with-display.sh: $2 program, $3 folder.
if [ "${1:-}" = --one ]; then
    program=$2 folder=$3
    cd "$folder"
    "$CORVANE_SCRIPTS/wine-run" "$program" >/dev/null 2>&1 &
    pid=$!
    ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null || echo 0; }
    peak() { awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true; }
    "$CORVANE_SCRIPTS/wine-run" "$CORVANE_ROOT/build/win64/tools/corvane_poke.exe" wait >/dev/null 2>&1 || true
    # Idle: no CPU time spent for three seconds in a row.
    last=-1 still=0
    while [ "$still" -lt 3 ] && [ -d "/proc/$pid" ]; do
        now=$(ticks)
        if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0; fi
        last=$now
        sleep 1
    done
    loaded=$(peak)
    "$CORVANE_SCRIPTS/wine-run" "$CORVANE_ROOT/build/win64/tools/corvane_poke.exe" close >/dev/null 2>&1 || true
    kb=$loaded
    while [ -d "/proc/$pid" ]; do
        got=$(peak)
        [ -n "$got" ] && kb=$got
        sleep 0.05
    done
    wait "$pid" 2>/dev/null || true
    echo "$loaded $kb"
    exit 0
fi

programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=(build/win32/corvane.exe)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The two files, made once: the sample list, and short records up to the cap.
python3 - "$work" <<'EOF'
import sys
out = sys.argv[1]
with open(out + "/full", "wb") as f:
    for i in range(32767):
        code, n = i % 3, str(i)
        folder = "c:\\program files\\vendor " + n + "\\tool"
        shown = " on Default" if code == 2 else " on CPU %d" % code
        params = "-profile " + n + " -windowed" if i % 2 else "None"
        f.write(("Tool number %s%s\r\n%d__%s\\tool%s.exe\r\n%s\r\n%s\r\n" % (n, shown, code, folder, n, folder, params)).encode())
cap, size, parts, count = 256 << 20, 0, [], 0
while True:
    record = ("T%d on CPU 0\r\n0__c:\\%d.exe\r\nc:\\\r\nNone\r\n" % (count, count)).encode()
    if size + len(record) > cap:
        break
    parts.append(record)
    size += len(record)
    count += 1
with open(out + "/cap", "wb") as f:
    f.write(b"".join(parts))
print("short records at the cap: %d records, %d bytes" % (count, size), file=sys.stderr)
EOF

printf '%-44s %22s %22s\n' "peak resident set, MiB (listed / at exit)" "32,767 favorites" "256 MiB cap"
for program in "${programs[@]}"; do
    line=$(printf '%-44s' "$program")
    for file in full cap; do
        folder="$work/run-$file"
        rm -rf "$folder" && mkdir -p "$folder" && cp "$work/$file" "$folder/Favorites"
        read -r loaded atExit < <("$CORVANE_SCRIPTS/with-display.sh" "$CORVANE_SCRIPTS/bench-memory.sh" --one "$(readlink -f "$program")" "$folder")
        line+=$(printf ' %10s / %9s' "$((loaded / 1024))" "$((atExit / 1024))")
    done
    echo "$line"
done
