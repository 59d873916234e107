#!/usr/bin/env bash
# The bar under a headless Wayland compositor (sway, with XWayland). Natively it shows,
# and its close panel ends it without storing a place that Wayland never reported: the
# stored Left/Top stay. With XWayland offered and no platform chosen, it runs on X11.
# sway refuses to run as root: as root, the session runs as nobody.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

command -v sway >/dev/null || e2e_fail "sway is not installed (scripts/install-deps.sh --test)"
[[ -x ${TALVENDOK_BIN:-} ]] || e2e_fail "TALVENDOK_BIN is not an executable: '${TALVENDOK_BIN:-}'"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/talvendok-wayland.XXXXXX")
E2E_TMP=$tmp
sway_pid='' pointer_pid=''
cleanup() {
    e2e__stop_pid "$pointer_pid"
    e2e__stop_pid "$sway_pid"
    rm -rf "$tmp"
}
trap cleanup EXIT
e2e__watchdog "$$" "$tmp" </dev/null >/dev/null 2>&1 &
mkdir -p "$tmp/runtime" "$tmp/home" "$tmp/config/TALVENDOK" "$tmp/data"
chmod 0700 "$tmp/runtime"
settings=$tmp/config/TALVENDOK/TALVENDOK.conf
printf '[Startup]\nLeft=60000\nTop=45000\n' >"$settings"
echo 'xwayland enable' >"$tmp/sway.conf"
as_user=()
((EUID != 0)) || { chown -R 65534:65534 "$tmp" && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); }
env -i PATH="$PATH" HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" \
    XDG_RUNTIME_DIR="$tmp/runtime" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman XDG_SESSION_TYPE=wayland "${as_user[@]}" sway -c "$tmp/sway.conf" >"$tmp/sway.log" 2>&1 &
sway_pid=$!
e2e__remember_pid "$sway_pid"
export SWAYSOCK XDG_RUNTIME_DIR=$tmp/runtime
ipc_up() { SWAYSOCK=$(compgen -G "$tmp/runtime/sway-ipc.*.sock") && swaymsg -t get_version >/dev/null 2>&1; }
e2e__poll "$E2E_TIMEOUT" ipc_up || e2e_fail "sway did not start: $(tail -n 5 "$tmp/sway.log")"
WAYLAND_DISPLAY=$(basename "$(compgen -G "$tmp/runtime/wayland-[0-9]")")
export WAYLAND_DISPLAY
# A headless seat has no pointer: lend it one, so that sway's cursor commands click.
python3 "$E2E_ROOT/tests/e2e/wl_pointer.py" >"$tmp/pointer.log" 2>&1 &
pointer_pid=$!
e2e__remember_pid "$pointer_pid"
e2e__poll "$E2E_TIMEOUT" grep -q ready "$tmp/pointer.log" || e2e_fail "no pointer: $(cat "$tmp/pointer.log")"

# bar_window SHELL: prints "pid x y" of the bar's window in sway's tree, shown by SHELL.
bar_window() {
    swaymsg -t get_tree | python3 -c 'import json, sys
def walk(n):
    yield n
    for c in n.get("nodes", []) + n.get("floating_nodes", []): yield from walk(c)
for n in walk(json.load(sys.stdin)):
    named = n.get("app_id") or (n.get("window_properties") or {}).get("class")
    if named == "talvendok" and n.get("shell") == sys.argv[1]:
        r = n["rect"]; print(n["pid"], r["x"], r["y"]); break' "$1"
}
found() { [[ -n $(bar_window "$1") ]]; }
# The bar places itself again once mapped: click only once it stays where it is.
settled() {
    local now
    now=$(bar_window "$1")
    if [[ $now != "$last" ]]; then
        last=$now same=0
        return 1
    fi
    same=$((same + 1))
    ((same >= 3))
}
# run_and_close SHELL COMMAND: starts the bar through sway, waits for its window, clicks
# its close panel and waits for it to end.
run_and_close() {
    swaymsg exec "$2 >>$tmp/bar.log 2>&1" >/dev/null
    e2e__poll "$E2E_TIMEOUT" found "$1" || e2e_fail "no $1 window of the bar: $(tail -n 5 "$tmp/bar.log")"
    last='' same=0
    e2e__poll "$E2E_TIMEOUT" settled "$1" || e2e_fail "the bar's $1 window did not settle"
    read -r pid x y <<<"$last"
    # From elsewhere: a pointer that is already there enters no new window.
    swaymsg seat - cursor set 0 0 >/dev/null
    swaymsg seat - cursor set $((x + 8)) $((y + 8)) >/dev/null
    swaymsg seat - cursor press button1 >/dev/null
    swaymsg seat - cursor release button1 >/dev/null
    e2e__poll "$E2E_TIMEOUT" e2e__ended "$pid" || e2e_fail "the close panel did not end the bar ($1)"
}

run_and_close xdg_shell "QT_QPA_PLATFORM=wayland $(printf %q "$TALVENDOK_BIN")"
grep -q '^Button4Icon=UNDEFINED$' "$settings" || e2e_fail "the exit sequence did not save the slots"
e2e_assert_eq "$(grep -E '^(Left|Top)=' "$settings" | tr '\n' ' ')" "Left=60000 Top=45000 " \
    "stored position after the native run"
run_and_close xwayland "$(printf %q "$TALVENDOK_BIN")"
