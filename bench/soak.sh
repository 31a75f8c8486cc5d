#!/usr/bin/env bash
# A long night: the virtual board pulled out and plugged in again every 2 s (1 s out, 1 s
# in) for CYCLES cycles (default 300, ten minutes), while a fader on channel 4 moves by
# remote control fifty times a second. Every 30 cycles it prints the panel's resident memory
# and open file descriptors, which must stay flat; at the end, whether the board holds the
# fader's last level and the mode.
#
#   bench/soak.sh            # after scripts/setup.sh; CYCLES=30 for a one-minute run
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
cycles=${CYCLES:-300}
work=$(mktemp -d)
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state
link=$work/ttyBOARD
osc=$((20000 + RANDOM % 20000))

"$build/src/board/dimmer-board" --dump --link "$link" >"$work/board.out" &
board=$!
pids+=("$board")
until [ -L "$link" ]; do sleep 0.05; done
QT_QPA_PLATFORM=offscreen "$build/src/dimmer-panel" --port "$link" \
    --scene-file "$work/s.co" --osc "127.0.0.1:$osc" 2>"$work/panel.err" &
panel=$!
pids+=("$panel")
until grep -q ":$(printf '%04X' "$osc") " /proc/net/udp; do sleep 0.05; done

# One OSC message, an address and an int32, as one datagram on a connected UDP socket.
exec 3>"/dev/udp/127.0.0.1/$osc"
send() { # address-padded-to-4 int32
    printf "$1,i\\0\\0\\x$(printf %02x $(($2 >> 24 & 255)))\\x$(printf %02x $(($2 >> 16 & 255)))\\x$(printf %02x $(($2 >> 8 & 255)))\\x$(printf %02x $(($2 & 255)))" >&3
}
send '/dimmer/mode/7\0\0' 1
(
    level=0
    while :; do
        level=$(((level + 7) % 100))
        send '/dimmer/channel/4\0\0\0' "$level"
        echo "$level" >"$work/fader.tmp" && mv "$work/fader.tmp" "$work/fader"
        sleep 0.02
    done
) &
fader=$!
pids+=("$fader")

sample() {
    printf '%6s %10s %5s\n' "$1" \
        "$(awk '/^VmRSS/ { print $2 " kB" }' "/proc/$panel/status")" \
        "$(find "/proc/$panel/fd" -mindepth 1 | wc -l)"
}
printf '%6s %10s %5s\n' cycle memory fds
sample 0
for cycle in $(seq "$cycles"); do
    kill -USR1 "$board"
    sleep 1
    kill -USR2 "$board"
    sleep 1
    if ! kill -0 "$panel" 2>/dev/null; then
        echo "the panel ended:" >&2
        cat "$work/panel.err" >&2
        exit 1
    fi
    if ((cycle % 30 == 0)); then sample "$cycle"; fi
done
kill "$fader"
wait "$fader" 2>/dev/null || true
last=$(cat "$work/fader")
sleep 1
lamp=$(awk '$1 == "level" && $2 == 3 { level = $3 } $1 == "master" { level = $2 } END { print level }' \
    "$work/board.out")
mode=$(awk '$1 == "mode" { mode = $2 } END { print mode }' "$work/board.out")
echo "fader's last level $last; the board holds $lamp, mode $mode (7 asked);" \
    "$(grep -c '^plugged' "$work/board.out") plug-ins"
[ "$lamp" = "$last" ] && [ "$mode" = 7 ]
