#!/usr/bin/env bash
# Builds the Debian package in build/, checks it with lintian, installs it with apt as an
# operator would, starts both installed programs from their menu entries on a private X
# server, and purges the package again, checking that nothing of it is left behind.
# Needs root (directly or through sudo) for apt; changes the machine's /usr while it runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
passed=0
pass() {
    echo "package-check: ok: $*"
    passed=$((passed + 1))
}
fail() {
    echo "package-check: FAILED: $*" >&2
    exit 1
}

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    # A check that failed half-way must not leave the package on the machine.
    if dpkg-query -W -f='${Status}' dimmer-panel 2>/dev/null | grep -q 'ok installed'; then
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get purge -y -q dimmer-panel >/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

if dpkg-query -W -f='${Status}' dimmer-panel 2>/dev/null | grep -q 'ok installed'; then
    fail "dimmer-panel is installed already; remove it first (apt-get purge dimmer-panel)"
fi

rm -f build/dimmer-panel_*.deb
(cd build && cpack -G DEB >"$work/cpack.log") || {
    cat "$work/cpack.log"
    fail "cpack"
}
debs=(build/dimmer-panel_*.deb)
[ ${#debs[@]} -eq 1 ] || fail "cpack made ${#debs[@]} packages"
deb=$PWD/${debs[0]}
pass "built $(basename "$deb")"

# Errors fail the check; the rest is shown, for whoever reads the log.
lintian --fail-on error --info "$deb" || fail "lintian reports errors"
pass "lintian reports no error"

DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log"
    fail "apt-get install"
}
pass "installed with apt-get"
dpkg-query -L dimmer-panel >"$work/files"

version=$(dpkg-deb -f "$deb" Version)
version=${version%-*}
for program in dimmer-panel dimmer-board; do
    said=$("/usr/bin/$program" --version) || fail "/usr/bin/$program --version"
    [ "$said" = "$program $version" ] || fail "/usr/bin/$program --version said: $said"
done
pass "both installed programs tell version $version"

# The menu's entries: valid, and every program they start and every icon they name there.
entries=()
while read -r path; do
    case $path in /usr/share/applications/*.desktop) entries+=("$path") ;; esac
done <"$work/files"
[ ${#entries[@]} -eq 2 ] || fail "the package has ${#entries[@]} desktop entries, not 2"
desktop-file-validate "${entries[@]}"
for entry in "${entries[@]}"; do
    while read -r exec; do
        program=${exec%% *}
        [ "$(command -v "$program")" = "/usr/bin/$program" ] ||
            fail "$entry: Exec=$exec: no /usr/bin/$program on the PATH"
    done < <(sed -n 's/^Exec=//p' "$entry")
    icon=$(sed -n 's/^Icon=//p' "$entry")
    for size in 16 22 24 32 48 64 128 256; do
        [ -f "/usr/share/icons/hicolor/${size}x$size/apps/$icon.png" ] ||
            fail "$entry: no $size-pixel icon $icon"
    done
    [ -f "/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$entry: no scalable icon"
done
pass "desktop entries valid, their programs and icons installed"
appstreamcli validate --no-net --strict /usr/share/metainfo/io.github.dimmer_panel.*.xml >/dev/null ||
    fail "appstreamcli validate"
pass "installed metainfo valid"

# Both programs started as the menu starts them, on a private X server: the board first,
# then the panel on the board's device, since the menu's panel would look for a real
# board. Each must show a window of the class its entry names.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 5>"$work/display" \
    2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"
# The programs keep their settings and scenes in a home of their own, not the machine's.
export HOME=$work/home
unset XDG_CONFIG_HOME XDG_DATA_HOME
mkdir -p "$HOME"

entry_of() { grep -l "^Exec=$1\$" "${entries[@]}"; }
start_from_entry() { # ENTRY OUTPUT EXTRA-ARGUMENTS...
    local entry=$1 output=$2 command
    shift 2
    read -ra command < <(sed -n '/^\[Desktop Entry\]/,/^\[/s/^Exec=//p' "$entry")
    "${command[@]}" "$@" >"$output" 2>"$output.err" &
    pids+=($!)
}
wait_for_window() { # ENTRY
    local class
    class=$(sed -n 's/^StartupWMClass=//p' "$1")
    timeout 30 xdotool search --sync --onlyvisible --classname "^$class\$" >/dev/null ||
        fail "no window of class $class from $1"
}

board_entry=$(entry_of dimmer-board)
start_from_entry "$board_entry" "$work/board.out"
board=${pids[-1]}
wait_for_window "$board_entry"
device=$(head -n 1 "$work/board.out")
[ -c "$device" ] || fail "the board did not tell its device: $(cat "$work/board.out.err")"
panel_entry=$(entry_of dimmer-panel)
start_from_entry "$panel_entry" "$work/panel.out" --port "$device"
panel=${pids[-1]}
wait_for_window "$panel_entry"
pass "both programs started from their entries and showed their windows"

# The way a session's end closes them.
kill -TERM "$panel" "$board"
status=0
wait "$panel" || status=$?
[ $status -eq 0 ] || fail "the panel ended with status $status: $(cat "$work/panel.out.err")"
wait "$board" || status=$?
[ $status -eq 0 ] || fail "the board ended with status $status: $(cat "$work/board.out.err")"
pass "both closed cleanly"

DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get purge -y -q dimmer-panel >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log"
    fail "apt-get purge"
}
left=()
while read -r path; do
    # Folders such as /usr/share/icons/hicolor are shared with other packages.
    [ -d "$path" ] && [ "$path" != /usr/share/doc/dimmer-panel ] && continue
    [ -e "$path" ] && left+=("$path")
done <"$work/files"
[ ${#left[@]} -eq 0 ] || fail "left behind after purging: ${left[*]}"
state=$(dpkg-query -W -f='${db:Status-Status}' dimmer-panel 2>/dev/null || true)
[ -z "$state" ] || [ "$state" = not-installed ] || fail "dpkg still has dimmer-panel: $state"
pass "purged, nothing left"

echo "package-check: $passed passed, 0 failed"
