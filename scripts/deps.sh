#!/bin/bash
# Installs the Debian 12 packages that building, running and testing Corvane
# need, and only those that are missing. Quick no-op when all are present.
# Wine's 32-bit side (wine32:i386, after adding the i386 architecture) is
# wanted too, for the 32-bit test tier; where it cannot be installed this only
# warns, and make test says that the tier did not run.
set -euo pipefail

# Installs Wine's 32-bit side unless it is there; never fails.
install_wine32() {
    local status
    status=$(dpkg-query -W -f='${db:Status-Status}' wine32:i386 2>/dev/null || true)
    [ "$status" = installed ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "deps.sh: WARNING: wine32:i386 is missing, so the 32-bit tests cannot run; install it as root with:" >&2
        echo "    dpkg --add-architecture i386 && apt-get update && apt-get install -y --no-install-recommends wine32:i386" >&2
        return 0
    fi
    echo "deps.sh: installing wine32:i386" >&2
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        apt-get update || true
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends wine32:i386 ||
        { apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends wine32:i386; } ||
        echo "deps.sh: WARNING: could not install wine32:i386; the 32-bit tests cannot run" >&2
}

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
if [ ${#missing[@]} -eq 0 ]; then
    install_wine32
    exit 0
fi

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
install_wine32
