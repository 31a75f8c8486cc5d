#!/usr/bin/env bash
# Start-up: the time from a program's start to its window mapped by the X server, its peak
# memory until then, and its processor time until then, for the panel (without --osc and
# --web, on the virtual board's line) and for a bare Qt window of the same widgets and font
# (bench_bare_panel), started in turn RUNS times (default 21) on a private X server with no
# window manager. Every run starts from empty settings, state and data folders and a scene
# file of its own, as a first start does. Prints the medians and their ratios. With --web
# PORT the panel also starts its web remote.
#
#   bench/startup.sh [--web PORT]      # after scripts/setup.sh; RUNS=31 for a steadier figure
#   BARE_LINKED=1 bench/startup.sh     # the bare window also maps every library the panel
#                                      # links and it does not (LD_PRELOAD)
#   PANEL=other/dimmer-panel bench/startup.sh   # another build of the panel
#   SAMPLES=folder bench/startup.sh    # also keeps every run's line, in folder/panel and
#                                      # folder/bare
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
runs=${RUNS:-21}
panel_program=${PANEL:-$build/src/dimmer-panel}
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
"$build/src/board/dimmer-board" --dump >"$work/board" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/board" ] && break; sleep 0.1; done
line=$(head -n 1 "$work/board")

preload=
if [ -n "${BARE_LINKED:-}" ]; then
    libraries() { ldd "$1" | awk '$2 == "=>" && $3 ~ /^\// { print $3 }' | sort; }
    preload=$(comm -13 <(libraries "$build/bench/bench_bare_panel") \
        <(libraries "$panel_program") | paste -sd:)
    echo "the bare window also maps: ${preload//:/ }"
fi

# One run in folders of its own: "seconds kB processor-seconds".
measure() { # WHO PROGRAM [ARGUMENTS...]
    local who=$1 home
    shift
    home=$(mktemp -d "$work/home.XXXXXX")
    XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state \
        "$build/bench/bench_until_shown" "${@//@HOME@/$home}" >>"$work/$who"
    rm -rf "$home"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# The lock file that each panel run takes on the line, left behind when it is killed: a first
# start finds none.
lock=${line#/dev/}
lock=/var/lock/LCK..${lock//\//_}
for _ in $(seq "$runs"); do
    measure panel "$panel_program" --port "$line" --scene-file @HOME@/scenes.co "$@"
    rm -f "$lock"
    if [ -n "$preload" ]; then
        LD_PRELOAD=$preload measure bare "$build/bench/bench_bare_panel"
    else
        measure bare "$build/bench/bench_bare_panel"
    fi
done
for who in panel bare; do
    read -r "${who}_wall" < <(cut -d' ' -f1 "$work/$who" | median)
    read -r "${who}_kb" < <(cut -d' ' -f2 "$work/$who" | median)
    read -r "${who}_cpu" < <(cut -d' ' -f3 "$work/$who" | median)
done
if [ -n "${SAMPLES:-}" ]; then
    mkdir -p "$SAMPLES"
    cp "$work/panel" "$work/bare" "$SAMPLES/"
fi
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }
echo "to the window shown: panel ${panel_wall} s, bare window ${bare_wall} s," \
    "$(ratio "$panel_wall" "$bare_wall")"
echo "peak memory: panel ${panel_kb} kB, bare window ${bare_kb} kB," \
    "$(ratio "$panel_kb" "$bare_kb")"
echo "processor time: panel ${panel_cpu} s, bare window ${bare_cpu} s," \
    "$(ratio "$panel_cpu" "$bare_cpu")"
