#!/bin/bash
# Installs the Debian 12 packages that building, running and testing Corvane
# need, and only those that are missing. Quick no-op when all are present.
set -euo pipefail

packages=(
    make cmake ninja-build g++ clang clang-format
    libgtest-dev googletest libbenchmark-dev
    libclang-rt-14-dev libfuzzer-14-dev
    g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 mingw-w64-tools
    wine64 fonts-wine xvfb x11-apps imagemagick xdotool
    procps zip python3 locales
)

# dpkg-query names only the packages it knows; unknown ones are missing too.
declare -A installed=()
while read -r name status; do
    [ "$status" = installed ] && installed[$name]=1
done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null || true)

missing=()
for p in "${packages[@]}"; do
    [ -n "${installed[$p]:-}" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "deps.sh: missing Debian packages: ${missing[*]}" >&2
    echo "deps.sh: install them as root with:" >&2
    echo "    apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi

echo "deps.sh: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
