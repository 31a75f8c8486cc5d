#!/usr/bin/env bash
# A console's sACN at 44 Hz into the real panel, RUNS times (default 5) each: eight slots, and
# a whole universe of 512, every slot changing every frame; how soon after the line was free
# the last frame's levels were on it, and the processor time a frame; and the same eight
# levels as OSC messages, the yardstick of what any input that moves them costs. Then three
# floods of 100,000 packets in a second that only repeat the levels: the processor time a
# packet. In a network namespace of its own with only the loopback, so that nothing, not even
# a multicast join, leaves the machine.
#
#   bench/network.sh          # after scripts/setup.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
runs=${RUNS:-5}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
own=(--net)
[ "$(id -u)" -eq 0 ] || own+=(--map-root-user)
inside() { unshare "${own[@]}" sh -c 'ip link set lo up && exec "$@"' - "$@"; }
for _ in $(seq "$runs"); do
    for kind in eight universe osc; do
        inside "$build/bench/bench_dmx" "$build/src/dimmer-panel" "$kind" 2>/dev/null |
            tee -a "$out"
    done
done
echo
printf '%-9s %-22s %-22s %-14s %s\n' frames "began after free" "all on the line" "board holds" \
    "us a frame"
for kind in eight universe osc; do
    column() { sed -n "s/^$kind: .*$1.*/\\1/p" "$out" | sort -n; }
    median() { awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
    began=$(column 'began \([0-9.-]*\) ms')
    settled=$(column 'were all on the line \([0-9.-]*\) ms')
    cost=$(column '; \([0-9.]*\) us of')
    printf '%-9s median %-6s max %-6s median %-6s max %-6s %-14s %s\n' "$kind" \
        "$(echo "$began" | median)" "$(echo "$began" | tail -n 1)" \
        "$(echo "$settled" | median)" "$(echo "$settled" | tail -n 1)" \
        "$(grep -c "^$kind: .*holds them: yes" "$out") of $(grep -c "^$kind:" "$out")" \
        "$(echo "$cost" | median)"
done
for _ in 1 2 3; do
    inside "$build/bench/bench_dmx" "$build/src/dimmer-panel" flood 2>/dev/null
done
