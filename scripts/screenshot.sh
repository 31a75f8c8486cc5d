#!/usr/bin/env bash
# Draws docs/panel-and-board.png for the README: the panel beside the virtual board, the real
# programs in real windows on a private X server, after a few clicks of an operator; and
# docs/cue-window.png: the panel and its cue list while a cue runs.
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
Xvfb -displayfd 5 -screen 0 1800x860x24 -nolisten tcp -noreset 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"

# The board in Chinese beside the panel's window, whatever the desktop's language.
LANGUAGE=zh_TW build/src/board/dimmer-board >"$work/board" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/board" ] && break; sleep 0.1; done
device=$(head -n 1 "$work/board")
build/src/dimmer-panel --port "$device" --scene-file "$work/lightLevel.co" &
pids+=($!)
panel=$(xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
board=$(xdotool search --sync --onlyvisible --name '^虛擬調光器$' | head -n 1)
xdotool windowfocus --sync "$panel"

# The pointer always travels to the point: a click where it already rests may not arrive.
click() {
    xdotool mousemove --sync --window "$panel" $(($1 + 1)) $(($2 + 1)) \
        mousemove --sync --window "$panel" "$1" "$2" click 1
    sleep 0.15
}
# Channels 1 and 8 full on, channel 3 to 60 on its track, mode 3, scene 1 stored and sent.
click 76 356
click 580 356
for _ in $(seq 12); do click 220 70; done
click 216 612
click 773 358
sleep 0.5
keys=$(xdotool search --sync --onlyvisible --name '^$' | while read -r id; do
    xdotool getwindowgeometry "$id" | grep -q 322x261 && echo "$id"; done | head -n 1)
xdotool mousemove --sync --window "$keys" 65 80 click 1
question=$(xdotool search --sync --onlyvisible --name '^確定對話方塊$' | head -n 1)
xdotool windowfocus --sync "$question" key alt+y
sleep 0.3
xdotool mousemove --sync --window "$keys" 228 224 click 1
sleep 0.3
click 776 260
sleep 1.5
import -window "$panel" "$work/panel.png"
import -window "$board" "$work/board.png"
# Scene 1 is live (green); channel 5 full on changes the levels since (amber). The lower
# half of the panel then, under the first picture.
click 364 356
sleep 0.5
import -window "$panel" -crop 835x421+0+260 +repage "$work/changed.png"
convert "$work/panel.png" "$work/board.png" -bordercolor '#c8c8c8' -border 8 \
    -background '#c8c8c8' -gravity North +append "$work/top.png"
convert "$work/top.png" \( "$work/changed.png" -bordercolor '#c8c8c8' -border 8 \) \
    -background '#c8c8c8' -gravity West -append -border 8 -strip docs/panel-and-board.png
echo "docs/panel-and-board.png"

# The cue list: a small show, its second cue running after two presses of G.
for pid in "${pids[@]:1}"; do kill "$pid" 2>/dev/null || true; done
pids=("${pids[0]}")
tab=$'\t'
cat >"$work/show.cues" <<CUES
dimmer-panel cues 1
1${tab}0${tab}0${tab}0${tab}-${tab}30 30 30 30 0 0 0 0${tab}Preset: house at half
2${tab}3${tab}5${tab}0${tab}-${tab}80 80 60 60 40 0 0 0${tab}Act 1 opening
2.5${tab}1.5${tab}1.5${tab}0${tab}2${tab}99 99 0 0 40 40 0 0${tab}Door slam
3${tab}4${tab}2${tab}1${tab}-${tab}20 20 20 20 99 99 99 99${tab}Night
4${tab}8${tab}8${tab}0${tab}-${tab}0 0 0 0 0 0 0 0${tab}Blackout, end of act
CUES
build/src/board/dimmer-board >"$work/board2" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/board2" ] && break; sleep 0.1; done
build/src/dimmer-panel --port "$(head -n 1 "$work/board2")" --scene-file "$work/lightLevel.co" \
    --cues "$work/show.cues" &
pids+=($!)
sleep 1
panel=$(xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
xdotool windowfocus --sync "$panel"
click 776 412
cues=$(xdotool search --sync --onlyvisible --name '^Cue list$' | head -n 1)
xdotool windowmove --sync "$cues" 843 0 windowfocus --sync "$cues" key g
sleep 0.5
xdotool key g
sleep 1.5
import -window "$panel" "$work/cue-panel.png"
import -window "$cues" "$work/cues.png"
convert "$work/cue-panel.png" "$work/cues.png" -bordercolor '#c8c8c8' -border 8 \
    -background '#c8c8c8' -gravity North +append -border 8 -strip docs/cue-window.png
echo "docs/cue-window.png"
