#!/usr/bin/env bash
# A measurement over a long run: the bar with its clock ticking while the menu, the options window,
# the button definitions and the about panel are opened and closed CYCLES times.
# Prints resident memory and live windows at the start, every 100 cycles and at
# the end; exits non-zero when windows, widgets or memory keep growing.
#
#   bench/soak/soak.sh [--x11] [CYCLES] [BUILD_DIR]
#
# --x11 runs on a private Xvfb display with openbox (real native windows);
# otherwise Qt's offscreen platform. BUILD_DIR defaults to build/; the soak
# program is built there when missing.
set -euo pipefail
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
x11=0
if [[ ${1:-} == --x11 ]]; then
    x11=1
    shift
fi
cycles=${1:-1000}
build=${2:-$source_dir/build}
soak=$build/bench/soak/talvendok_soak
if [[ ! -x $soak ]]; then
    cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j2 --target talvendok_soak
fi

if ((x11 == 0)); then
    QT_QPA_PLATFORM=offscreen exec "$soak" --cycles "$cycles"
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/talvendok-soak.XXXXXX")
xvfb_pid=
wm_pid=
cleanup() {
    [[ -z $wm_pid ]] || kill "$wm_pid" 2>/dev/null || true
    [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
: >"$tmp/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$tmp/display" \
    >"$tmp/Xvfb.log" 2>&1 &
xvfb_pid=$!
for ((i = 0; i < 100; i++)); do
    grep -q '^[0-9][0-9]*$' "$tmp/display" && break
    sleep 0.1
done
grep -q '^[0-9][0-9]*$' "$tmp/display" || {
    echo "Xvfb did not start: $(cat "$tmp/Xvfb.log")" >&2
    exit 2
}
DISPLAY=:$(head -n 1 "$tmp/display")
export DISPLAY
unset WAYLAND_DISPLAY
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
wm_pid=$!
sleep 1
QT_QPA_PLATFORM=xcb "$soak" --cycles "$cycles"
