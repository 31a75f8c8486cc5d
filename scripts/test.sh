#!/usr/bin/env bash
# Installs, builds and runs the whole test suite headless; ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cd build
# Widget tests use the offscreen platform; the real-window tests start their own Xvfb.
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j2 --timeout 600
