#!/bin/bash
# Checks the release package that `make dist` builds:
#   scripts/release_check.sh [SOURCE_DIR]
# It packs the release twice, the second time after cleaning the 32-bit build
# tree, and checks that both archives are the same bytes; that the archive
# holds exactly corvane.exe, README.md and LICENSE; that corvane.exe is a
# 32-bit Windows GUI program of at most 512 KiB; and that its version
# resource, manifest and icon read back as built from the sources.
set -uo pipefail

root=$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}" && pwd)
cd "$root" || exit 1

failures=0
passes=0
pass() { passes=$((passes + 1)); }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
finish() {
    echo "release_check: $passes passed, $failures failed"
    [ "$failures" -eq 0 ] && [ "$passes" -gt 0 ]
    exit
}

version=$(sed -n 's/^project(corvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { fail "no project version in CMakeLists.txt"; finish; }
zip="dist/corvane-$version-win32.zip"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== make dist (1)"
if ! scripts/dist.sh >"$work/dist1.log" 2>&1; then
    cat "$work/dist1.log"
    fail "scripts/dist.sh failed"
    finish
fi
[ -f "$zip" ] && pass || { fail "scripts/dist.sh did not write $zip"; finish; }
cp "$zip" "$work/first.zip"

# Rebuilding from nothing must give the same program, and packing it the
# same archive: no time stamps, paths or ordering that vary between builds.
echo "== make dist (2), after cleaning build/win32"
cmake --build build/win32 --target clean >/dev/null 2>&1 || fail "cannot clean build/win32"
if ! scripts/dist.sh >"$work/dist2.log" 2>&1; then
    cat "$work/dist2.log"
    fail "scripts/dist.sh failed the second time"
    finish
fi
cmp -s "$work/first.zip" "$zip" && pass || fail "$zip differs between two builds of the same sources"

echo "== contents of $zip"
names=$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')
[ "$names" = "LICENSE README.md corvane.exe " ] && pass || fail "archive holds '$names', want corvane.exe, README.md and LICENSE"
mkdir -p "$work/unpacked"
unzip -q -o "$zip" -d "$work/unpacked" || fail "cannot unpack $zip"
for doc in README.md LICENSE; do
    cmp -s "$doc" "$work/unpacked/$doc" && pass || fail "$doc in the archive is not the one in the sources"
done
exe="$work/unpacked/corvane.exe"
cmp -s build/win32/corvane.exe "$exe" && pass || fail "corvane.exe in the archive is not build/win32/corvane.exe"

echo "== corvane.exe"
# binutils names a PE executable image "pei-i386", an object "pe-i386".
objdump=$(command -v i686-w64-mingw32-objdump || command -v objdump)
format=$("$objdump" -f "$exe" 2>/dev/null | sed -n 's/.*file format //p')
arch=$("$objdump" -f "$exe" 2>/dev/null | sed -n 's/^architecture: \([^,]*\).*/\1/p')
[[ "$format" = pei-i386 || "$format" = pe-i386 ]] && [ "$arch" = i386 ] && pass ||
    fail "corvane.exe is '$format' for '$arch', want a pe-i386 image for i386"
size=$(stat -c %s "$exe")
[ "$size" -le $((512 * 1024)) ] && pass || fail "corvane.exe is $size bytes, more than 512 KiB"
echo "corvane.exe: $format ($arch), $size bytes"

# Linked statically: only DLLs every Windows has, and of those only what the
# first window needs. comctl32 (tooltips), shell32 (the notification icon,
# drops, launching), ole32 and wtsapi32 are looked up on first use, so the
# loader does not map them (and what they pull in) before WinMain.
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
echo "imports: $imports"
unexpected=$(for dll in $imports; do
    case $dll in kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll) ;; *) echo "$dll" ;; esac
done)
[ -n "$imports" ] && [ -z "$unexpected" ] && pass || fail "corvane.exe imports '${unexpected:-nothing}'"

# The resources, read straight from the PE file: what Explorer's properties
# page shows, and what Windows reads before the program runs.
python3 - "$exe" "$version" >"$work/resources.log" 2>&1 <<'PY'
import struct, sys

path, version = sys.argv[1], sys.argv[2]
data = open(path, "rb").read()
failures = []

def check(ok, message):
    print(("ok:   " if ok else "FAIL: ") + message)
    if not ok:
        failures.append(message)

pe = struct.unpack_from("<I", data, 0x3C)[0]
machine, nsections, _, _, _, optsize, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
opt = pe + 24
magic = struct.unpack_from("<H", data, opt)[0]
subsystem = struct.unpack_from("<H", data, opt + 68)[0]
check(machine == 0x14C and magic == 0x10B, "PE32 image for i386 (machine %#x, magic %#x)" % (machine, magic))
check(subsystem == 2, "Windows GUI subsystem (%d)" % subsystem)
data_dirs = opt + (96 if magic == 0x10B else 112)
rsrc_rva = struct.unpack_from("<I", data, data_dirs + 2 * 8)[0]
sections = []
for i in range(nsections):
    name, vsize, va, rawsize, rawptr = struct.unpack_from("<8sIIII", data, opt + optsize + 40 * i)
    sections.append((va, max(vsize, rawsize), rawptr))

def offset(rva):
    for va, size, raw in sections:
        if va <= rva < va + size:
            return raw + rva - va
    raise ValueError("RVA %#x is in no section" % rva)

base = offset(rsrc_rva)

def entries(dir_off):
    named, ids = struct.unpack_from("<HH", data, base + dir_off + 12)
    for i in range(named + ids):
        name, target = struct.unpack_from("<II", data, base + dir_off + 16 + 8 * i)
        yield name, target

def resources(rtype):
    """(name, bytes) of every resource of the type, any language."""
    out = []
    for tid, tdir in entries(0):
        if tid != rtype or not tdir & 0x80000000:
            continue
        for nid, ndir in entries(tdir & 0x7FFFFFFF):
            for _, leaf in entries(ndir & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                out.append((nid, data[offset(rva):offset(rva) + size]))
    return out

def align(n):
    return (n + 3) & ~3

def block(buf, pos):
    """A VS_VERSIONINFO node: (key, value bytes or text, children, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", buf, pos)
    end = pos + length
    key_end = pos + 6
    while buf[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = buf[pos + 6:key_end].decode("utf-16-le")
    p = align(key_end + 2)
    size = value_length * 2 if kind == 1 else value_length
    value = buf[p:p + size]
    if kind == 1:
        value = value.decode("utf-16-le").split("\0")[0]
    p = align(p + size)
    children = []
    while p < end:
        child = block(buf, p)
        children.append(child)
        p = align(child[3])
    return key, value, children, end

versions = resources(16)
check(len(versions) == 1, "one version resource (%d)" % len(versions))
if versions:
    key, fixed, children, _ = block(versions[0][1], 0)
    check(key == "VS_VERSION_INFO", "version resource key %r" % key)
    sig, _, file_ms, file_ls, prod_ms, prod_ls = struct.unpack_from("<6I", fixed, 0)
    want = [int(x) for x in (version.split(".") + ["0", "0", "0"])[:4]]
    got_file = [file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF]
    got_prod = [prod_ms >> 16, prod_ms & 0xFFFF, prod_ls >> 16, prod_ls & 0xFFFF]
    check(sig == 0xFEEF04BD, "fixed file info signature %#x" % sig)
    check(got_file == want, "file version %s, want %s" % (got_file, want))
    check(got_prod == want, "product version %s, want %s" % (got_prod, want))
    strings = {}
    for ckey, _, tables, _ in children:
        if ckey == "StringFileInfo":
            for _, _, entries_, _ in tables:
                for skey, svalue, _, _ in entries_:
                    strings[skey] = svalue
    print("strings:", strings)
    check(strings.get("ProductName") == "Corvane", "ProductName %r" % strings.get("ProductName"))
    check(strings.get("ProductVersion") == version, "ProductVersion %r, want %r" % (strings.get("ProductVersion"), version))
    check(strings.get("FileVersion") == version, "FileVersion %r, want %r" % (strings.get("FileVersion"), version))
    check(strings.get("OriginalFilename") == "corvane.exe", "OriginalFilename %r" % strings.get("OriginalFilename"))

manifests = resources(24)
check([n for n, _ in manifests] == [1], "one manifest, id 1 (%s)" % [n for n, _ in manifests])
if manifests:
    text = manifests[0][1].decode("utf-8", "replace")
    # Common controls 6 would have the loader map comctl32 (and uxtheme)
    # before the first window: the panels' colours are the classic ones anyway.
    check("Microsoft.Windows.Common-Controls" not in text, "manifest leaves the controls at the system's classic look")
    check("PerMonitorV2" in text and "true/pm" in text, "manifest declares per-monitor DPI awareness")

groups = resources(14)
check(len(groups) == 1, "one icon group (%d)" % len(groups))
if groups:
    buf = groups[0][1]
    count = struct.unpack_from("<H", buf, 4)[0]
    images = []
    for i in range(count):
        w, h, colours, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", buf, 6 + 14 * i)
        images.append((w or 256, h or 256, bits))
    check(sorted(images) == [(16, 16, 4), (32, 32, 4)], "icon images %s, want 32x32 and 16x16 in 16 colours" % images)

sys.exit(1 if failures else 0)
PY
status=$?
cat "$work/resources.log"
[ "$status" -eq 0 ] && pass || fail "the resources of corvane.exe do not read back as built"

finish
