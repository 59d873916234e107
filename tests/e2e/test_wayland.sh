#!/usr/bin/env bash
# The bar under a headless Wayland compositor (sway, with XWayland). Natively it shows,
# and its close panel ends it without storing a place that Wayland never reported: the
# stored Left/Top stay. With XWayland offered and no platform chosen, it runs on X11.
# sway refuses to run as root: as root, the session runs as nobody.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

command -v sway >/dev/null || e2e_fail "sway is not installed (scripts/install-deps.sh --test)"
e2e_temp
tmp=$E2E_TMP settings=$E2E_TMP/config/TALVENDOK/TALVENDOK.conf
mkdir -p "$tmp/run" "$tmp/home" "$tmp/config/TALVENDOK" "$tmp/data" && chmod 0700 "$tmp/run"
printf '[Startup]\nLeft=60000\nTop=45000\n' >"$settings" && echo 'xwayland enable' >"$tmp/sway.conf"
# A copy that the session's user can run wherever the build lies.
cp "$TALVENDOK_BIN" "$tmp/talvendok" && bar=$(printf %q "$tmp/talvendok")
as_user=()
((EUID != 0)) || { chown -R 65534:65534 "$tmp" && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); }
env -i PATH="$PATH" HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" \
    XDG_RUNTIME_DIR="$tmp/run" XDG_SESSION_TYPE=wayland WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "${as_user[@]}" sway -c "$tmp/sway.conf" \
    >"$tmp/sway.log" 2>&1 & e2e__remember_pid $!
export SWAYSOCK XDG_RUNTIME_DIR=$tmp/run WAYLAND_DISPLAY
up() { SWAYSOCK=$(compgen -G "$tmp/run/sway-ipc.*") && WAYLAND_DISPLAY=$(cd "$tmp/run" && compgen -G 'wayland-[0-9]'); }
e2e__poll "$E2E_TIMEOUT" up || e2e_fail "sway did not start: $(tail -n 3 "$tmp/sway.log")"
python3 "$E2E_ROOT/tests/e2e/wl_pointer.py" >"$tmp/pointer.log" 2>&1 & e2e__remember_pid $!
e2e__poll "$E2E_TIMEOUT" grep -q ready "$tmp/pointer.log" || e2e_fail "$(cat "$tmp/pointer.log")"

# bar_window SHELL: "pid x y" of the bar's window shown by SHELL, from sway's tree; fails
# while there is none.
bar_window() {
    swaymsg -t get_tree | python3 -c 'import json, sys
def walk(n): return [n] + [m for c in n["nodes"] + n["floating_nodes"] for m in walk(c)]
for n in walk(json.load(sys.stdin)):
    if n.get("shell") == sys.argv[1] and "talvendok" in (n["app_id"], n["name"]):
        sys.exit(print(n["pid"], n["rect"]["x"], n["rect"]["y"]))
sys.exit(1)' "$1"
}
# run_and_close SHELL COMMAND: starts the bar through sway and clicks its close panel.
run_and_close() {
    swaymsg exec "$2 >>$tmp/bar.log 2>&1" >/dev/null
    e2e__poll "$E2E_TIMEOUT" bar_window "$1" >/dev/null || e2e_fail "no $1 window: $(tail -n 3 "$tmp/bar.log")"
    read -r pid x y < <(bar_window "$1")
    # From elsewhere: a pointer that is already there enters no new window.
    swaymsg "seat - cursor set 0 0; seat - cursor set $((x + 8)) $((y + 8)); \
        seat - cursor press button1; seat - cursor release button1" >/dev/null
    e2e__poll "$E2E_TIMEOUT" e2e__ended "$pid" || e2e_fail "the close panel did not end the bar ($1)"
}

run_and_close xdg_shell "QT_QPA_PLATFORM=wayland $bar"
grep -q '^Button4Icon=UNDEFINED$' "$settings" || e2e_fail "the exit sequence did not save the slots"
e2e_assert_eq "$(grep -E '^(Left|Top)=' "$settings" | tr '\n' ' ')" "Left=60000 Top=45000 " \
    "stored position after the native run"
run_and_close xwayland "$bar"
