#!/usr/bin/env bash
# The floods of remote control, each RUNS times (default 5) on a private X server with no
# window manager, an operator's click in the middle of each: how long after the line was
# free the click's packet began, and whether the board held the last levels and mode when
# the panel had ended. Then the processor time of a master flood, 10,000 messages a second.
#
#   bench/floods.sh          # after scripts/setup.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
runs=${RUNS:-5}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for _ in $(seq "$runs"); do
    for flood in alternate modes downloads tablet; do
        xvfb-run -a -s "-screen 0 1280x1024x24" \
            "$build/bench/bench_flood" "$build/src/dimmer-panel" "$flood" 2>/dev/null |
            tee -a "$out"
    done
done
echo
printf '%-10s %-28s %s\n' flood "click after the line was free" "board at the end as last sent"
for flood in alternate modes downloads tablet; do
    times=$(sed -n "s/^$flood flood: .* began \([0-9.]*\) ms after .*/\1/p" "$out" | sort -n)
    never=$(grep -c "^$flood flood: .* began never" "$out" || true)
    held=$(grep -c "^$flood flood: .*mode: yes" "$out" || true)
    count=$(grep -c "^$flood flood:" "$out" || true)
    median=$(echo "$times" | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
    printf '%-10s median %-7s max %-7s never %-3s %s of %s\n' "$flood" "$median ms" \
        "$(echo "$times" | tail -n 1) ms" "$never" "$held" "$count"
done
for _ in 1 2 3; do
    "$build/bench/bench_flood" "$build/src/dimmer-panel" cost 10000 10000 2>/dev/null
done
