#!/usr/bin/env bash
# Installs what is missing, builds, and starts the virtual dimmer board and the panel on
# the board's line, both windows side by side. Closing the panel ends both. Both keep their
# settings, state and scenes in a temporary folder of their own, gone at the end: nothing
# of the operator's is read or written.
# Arguments go to the panel, e.g. scripts/run.sh --osc 9000
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

home=$(mktemp -d)
export XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state
fifo=$home/board
mkfifo "$fifo"
build/src/board/dimmer-board >"$fifo" &
board=$!
trap 'kill "$board" 2>/dev/null || true; rm -rf "$home"' EXIT
# The board's first line on stdout is the path of its device.
# Keep reading after it, so that the board never writes into a closed pipe.
exec 3<"$fifo"
read -r device <&3
cat <&3 >/dev/null &
echo "Virtual board on $device"
build/src/dimmer-panel --port "$device" "$@"
