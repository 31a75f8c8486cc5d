#!/usr/bin/env bash
# Start-up: the time from a program's start to its window shown by the X server, and its
# peak memory until then, for the panel (without --osc and --web, on the virtual board's
# line) and for a bare Qt window of the same widgets and font (bench_bare_panel), started
# in turn RUNS times (default 15) on a private X server with no window manager. Prints the
# medians and their ratio. With --web PORT the panel also starts its web remote.
#
#   bench/startup.sh [--web PORT]      # after scripts/setup.sh; RUNS=31 for a steadier figure
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
runs=${RUNS:-15}
work=$(mktemp -d)
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state
"$build/src/board/dimmer-board" --dump >"$work/board" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/board" ] && break; sleep 0.1; done
line=$(head -n 1 "$work/board")

panel=("$build/src/dimmer-panel" --port "$line" --scene-file "$work/scenes.co" "$@")
bare=("$build/bench/bench_bare_panel")
# One run: seconds to the window and peak kB, as "wall kB".
measure() {
    /usr/bin/time -f '%e %M' -o "$work/time" "$build/bench/bench_until_shown" "$@" >/dev/null 2>&1
    cat "$work/time"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for _ in $(seq "$runs"); do
    measure "${panel[@]}" >>"$work/panel"
    measure "${bare[@]}" >>"$work/bare"
done
for who in panel bare; do
    read -r "${who}_wall" < <(cut -d' ' -f1 "$work/$who" | median)
    read -r "${who}_kb" < <(cut -d' ' -f2 "$work/$who" | median)
done
echo "to the window shown: panel ${panel_wall} s, bare window ${bare_wall} s," \
    "$(awk -v a="$panel_wall" -v b="$bare_wall" 'BEGIN { printf "%.2fx", a / b }')"
echo "peak memory: panel ${panel_kb} kB, bare window ${bare_kb} kB," \
    "$(awk -v a="$panel_kb" -v b="$bare_kb" 'BEGIN { printf "%.2fx", a / b }')"
