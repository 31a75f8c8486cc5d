#!/usr/bin/env bash
# Draws docs/midi-pickup.png for the README: the panel with a MIDI surface whose faders wait
# for pickup, the real programs in real windows on a private X server, the surface played on
# a JACK server of its own (the dummy backend: no sound card).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/install-packages.sh imagemagick

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1000x800x24 -nolisten tcp -noreset 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"
export JACK_DEFAULT_SERVER="screenshot-$$" JACK_NO_START_SERVER=1

jackd --no-realtime --name "$JACK_DEFAULT_SERVER" -d dummy >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done
mkfifo "$work/surface"
build/bench/bench_midi_play fader-box <"$work/surface" >"$work/played" &
pids+=($!)
exec 6>"$work/surface"
for _ in $(seq 100); do [ -s "$work/played" ] && break; sleep 0.1; done

build/src/board/dimmer-board >"$work/board" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/board" ] && break; sleep 0.1; done
device=$(head -n 1 "$work/board")
build/src/dimmer-panel --port "$device" --scene-file "$work/lightLevel.co" \
    --midi fader-box --midi-api jack 2>"$work/panel" &
pids+=($!)
panel=$(xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
for _ in $(seq 100); do grep -q opened "$work/panel" && break; sleep 0.1; done
xdotool windowfocus --sync "$panel"

click() {
    xdotool mousemove --sync --window "$panel" $(($1 + 1)) $(($2 + 1)) \
        mousemove --sync --window "$panel" "$1" "$2" click 1
    sleep 0.15
}
# Channel 3 to 60 on its track, channel 6 full on.
for _ in $(seq 12); do click 220 70; done
click 436 356
sleep 0.3
# The surface's faders where the hand left them: channel 1's above its level, channel 3's
# and 6's below theirs, channel 2's at its own (taken), the master's below.
echo "b0 01 64" >&6
echo "b0 02 00" >&6
echo "b0 03 0c" >&6
echo "b0 06 50" >&6
echo "b0 09 28" >&6
sleep 1
import -window "$panel" "$work/panel.png"
convert "$work/panel.png" -bordercolor '#c8c8c8' -border 8 -strip docs/midi-pickup.png
echo "docs/midi-pickup.png"
