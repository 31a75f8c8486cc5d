#!/usr/bin/env bash
# The processor time that a thumb drag costs the panel, measured from outside: the whole
# process's time on the processor (all its threads, from the kernel's schedstat) over an
# xdotool drag of the thumb, divided by the positions of the drag. Beside it, in the same
# run, the toolkit's own floor: a bare Qt window of nine plain scroll bars and nine
# read-outs (bench_floor_window), where the drag shows one value (channel) or sets all nine
# bars and read-outs (master). Each program runs alone on a private X server with no
# window manager, the panel on the virtual board's line; the runs are interleaved. Every
# panel run starts from empty settings, state and data folders, with the thumbs at 0 where
# the drag presses; a panel run that put fewer than a tenth of the positions on the line
# (the press missed the thumb and only paged) is refused and the benchmark stops.
#
#   bench/drag-cpu.sh                 # after scripts/setup.sh
#   RUNS=5 POSITIONS=800 RATES="100 400" bench/drag-cpu.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
runs=${RUNS:-3}
positions=${POSITIONS:-600}
rates=${RATES:-"100 400"}

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=xcb

exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

"$build/src/board/dimmer-board" --dump >"$work/board" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/board" ] && break; sleep 0.1; done
device=$(head -n 1 "$work/board")

# The level and master packets the board has taken so far.
packets() { grep -c -E '^(level|master) ' "$work/board" || true; }

# Nanoseconds on the processor, all threads of the process.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ sum += $1 } END { print sum }'; }

# Starts a program, waits for its window; prints "PID WINDOW".
start() {
    "$@" >/dev/null 2>&1 &
    local pid=$! window
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)
    sleep 0.5 # let it settle: the first paint is not part of the drag
    echo "$pid $window"
}

# The thumb of the channel slider (column 4) or of the master, at level 0: up the track and
# down again, 2 pixels a position, at RATE positions a second.
drag() { # WINDOW X RATE
    local window=$1 x=$2 rate=$3 y=230 step=-2 args=()
    local pause
    pause=$(awk "BEGIN { printf \"%.4f\", 1 / $rate }")
    args+=(mousemove --sync --window "$window" "$x" "$y" mousedown 1)
    for _ in $(seq "$positions"); do
        if [ $((y + step)) -lt 74 ] || [ $((y + step)) -gt 230 ]; then step=$((-step)); fi
        y=$((y + step))
        args+=(mousemove --window "$window" "$x" "$y" sleep "$pause")
    done
    args+=(mouseup 1)
    xdotool "${args[@]}"
}

declare -A samples
for run in $(seq "$runs"); do
    for rate in $rates; do
        for target in channel master; do
            x=292
            [ "$target" = master ] && x=684
            for program in panel floor; do
                home=$(mktemp -d "$work/home.XXXXXX")
                if [ "$program" = panel ]; then
                    read -r pid window < <(XDG_CONFIG_HOME=$home/config \
                        XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state \
                        start "$build/src/dimmer-panel" --port "$device" \
                        --scene-file "$home/scenes.co")
                else
                    read -r pid window < <(start "$build/bench/bench_floor_window" "$target")
                fi
                sent=$(packets)
                before=$(cpu_ns "$pid")
                drag "$window" "$x" "$rate"
                sleep 0.3 # the last paint and the line's last packets
                after=$(cpu_ns "$pid")
                sent=$(($(packets) - sent))
                # Not a child of this shell: waited for by its number, so that it has written
                # its last state before its folders go and it does not overlap the next run.
                kill "$pid"
                while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
                rm -rf "$home"
                if [ "$program" = panel ] && [ "$sent" -lt $((positions / 10)) ]; then
                    echo "run $run: $target drag at $rate/s: only $sent packets on the line" \
                        "for $positions positions; the drag missed the thumb" >&2
                    exit 1
                fi
                us=$(awk "BEGIN { printf \"%.1f\", ($after - $before) / 1000 / $positions }")
                key="$target $rate $program"
                samples[$key]="${samples[$key]:-} $us"
                packets_note=
                [ "$program" = panel ] && packets_note=", $sent packets"
                echo "run $run: $target drag at $rate/s, $program: $us us a position$packets_note" >&2
            done
        done
    done
done

median() { tr ' ' '\n' | grep . | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
range() { tr ' ' '\n' | grep . | sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo "-" hi }'; }
printf '%-8s %-10s %-22s %-22s %s\n' drag "positions/s" "panel us/position" "floor us/position" "panel/floor (medians)"
for rate in $rates; do
    for target in channel master; do
        p=$(echo "${samples[$target $rate panel]}" | median)
        f=$(echo "${samples[$target $rate floor]}" | median)
        printf '%-8s %-10s %-22s %-22s %.2f\n' "$target" "$rate" \
            "$p ($(echo "${samples[$target $rate panel]}" | range))" \
            "$f ($(echo "${samples[$target $rate floor]}" | range))" \
            "$(awk "BEGIN { print $p / $f }")"
    done
done
