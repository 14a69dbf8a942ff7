#!/bin/bash
# Corvane's exit on a full disk and in a read-only folder:
#   disk_faults.sh corvane_robust.exe corvane.exe
# Under Wine as root neither fault can be made from Windows: the read-only
# attribute does not stop a file from being replaced, and a folder without
# write permission does not stop root. So the working folder is a small tmpfs
# of its own: filled up for the first case, remounted read-only for the
# second. Where mounting is not allowed (no root, a container), the test is
# skipped (status 77).
# CORVANE_WINE_RUN is the command that runs a Windows program (scripts/wine-run).
set -uo pipefail

if [ $# -ne 2 ]; then
    echo "usage: ${0##*/} corvane_robust.exe corvane.exe" >&2
    exit 2
fi
driver=$1
corvane=$2
read -r -a wine_run <<<"${CORVANE_WINE_RUN:-}"

mnt=$(mktemp -d "${TMPDIR:-/tmp}/corvane-disk.XXXXXX")
mounted=0
cleanup() {
    [ "$mounted" -eq 1 ] && umount "$mnt"
    rmdir "$mnt"
}
trap cleanup EXIT

if ! err=$(mount -t tmpfs -o size=1m,mode=0755 corvane-disk "$mnt" 2>&1); then
    echo "SKIP: cannot mount a tmpfs for the full-disk and read-only cases: ${err:-mount failed}"
    exit 77
fi
mounted=1

passed=0
failed=0
# check NAME COMMAND...: runs one case and counts it.
check() {
    local name=$1
    shift
    echo "==> $name"
    if "$@"; then
        passed=$((passed + 1))
    else
        echo "FAILED: $name"
        failed=$((failed + 1))
    fi
}
driver_run() { "${wine_run[@]}" "$driver" "$corvane" "$@"; }

# The sample file has lone CRs, which the program rewrites as CR LF: if a
# failed write slipped through, the bytes would show it.
prepare() { driver_run --prepare "$mnt"; }

setup_failed() {
    echo "FAILED: $1"
    failed=$((failed + 1))
}

# Proves that Wine and the program can write on this tmpfs at all, so the
# two faults below are the only reason a file stays as it was.
if prepare; then
    check "control: exit rewrites Favorites on the tmpfs" driver_run --rewritten "$mnt"
else
    setup_failed "could not write the sample Favorites"
fi

fill_disk() {
    local avail
    avail=$(df -B1 --output=avail "$mnt" | tail -n 1)
    # Leave one page: the new file starts to be written, then the disk is
    # full. The rewrite is 12 KB longer than the old file, so even a writer
    # that gave up the old file first would run out of room.
    head -c $((avail - 4096)) /dev/zero >"$mnt/filler" 2>/dev/null
    avail=$(df -B1 --output=avail "$mnt" | tail -n 1)
    echo "free on the tmpfs: $avail bytes; Favorites: $(stat -c %s "$mnt/Favorites") bytes"
    [ "$avail" -lt "$(stat -c %s "$mnt/Favorites")" ]
}
if prepare && fill_disk; then
    check "full disk: exit keeps the previous Favorites" driver_run --kept "$mnt"
else
    setup_failed "could not fill the disk"
fi
rm -f "$mnt/filler"

if prepare && mount -o remount,ro "$mnt"; then
    check "read-only folder: exit keeps the previous Favorites" driver_run --kept "$mnt"
else
    setup_failed "could not make the folder read-only"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
