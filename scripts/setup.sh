#!/usr/bin/env bash
# Installs what the panel needs from Debian 12's packages (as root, or through sudo),
# then configures and builds it in build/. Safe to run again: it installs only what is
# missing and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
    qt6-translations-l10n fonts-arphic-uming
    xvfb xauth xdotool libxcb1-dev
    # The Debian package, and the checks of it and of the desktop files.
    dpkg-dev file lintian desktop-file-utils appstream groff-base
)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
        "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${DIMMER_CMAKE_ARGS:-}
cmake --build build
