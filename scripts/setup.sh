#!/usr/bin/env bash
# Installs what the panel needs from Debian 12's packages (as root, or through sudo),
# then configures and builds it in build/. Safe to run again: it installs only what is
# missing and rebuilds only what changed. JACK's development files are named, not left to
# RtMidi's choice: its default pulls the other JACK, which removes jackd2, whose dummy
# backend the MIDI tests run on.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh \
    cmake ninja-build g++ pkg-config \
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev liblo-dev \
    qt6-websockets-dev libqrencode-dev \
    librtmidi-dev libjack-jackd2-dev jackd2 \
    chromium chromium-driver python3-selenium \
    qt6-tools-dev qt6-l10n-tools \
    qt6-translations-l10n fonts-arphic-uming \
    xvfb xauth xdotool libxcb1-dev libxcb-xtest0-dev \
    dpkg-dev file lintian desktop-file-utils appstream groff-base \
    ola iproute2

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${DIMMER_CMAKE_ARGS:-}
cmake --build build
