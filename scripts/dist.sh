#!/bin/bash
# Builds the 32-bit release corvane.exe and packs it with the README and the
# licence into dist/corvane-VERSION-win32.zip. The archive's bytes depend only
# on its contents: fixed entry order, times and permissions.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$CORVANE_ROOT"

"$CORVANE_SCRIPTS/deps.sh"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j 2

version=$(sed -n 's/^project(corvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "dist.sh: no version in CMakeLists.txt" >&2; exit 1; }
mkdir -p dist
out="dist/corvane-$version-win32.zip"

python3 - "$out" build/win32/corvane.exe README.md LICENSE <<'PY'
import sys, zipfile
out, *files = sys.argv[1:]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for path in files:
        name = path.rsplit("/", 1)[-1]
        info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
        info.external_attr = 0o644 << 16
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as f:
            z.writestr(info, f.read())
PY
echo "dist.sh: wrote $out"
