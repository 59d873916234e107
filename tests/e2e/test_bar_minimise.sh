#!/usr/bin/env bash
# The minimise panel puts the bar away behind an iconic placeholder with a task bar entry
# that stays iconic whatever the window manager does while it maps it (a launch with
# MinimizeOnRun takes the same way: the bar's unit test). Activating that entry brings the bar back where it was; closing it ends the
# program with status 0 and leaves the settings file as it was. E2E_WM picks the window
# manager.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# wmctrl closes a window the way a task bar does (_NET_CLOSE_WINDOW, which the window
# manager turns into WM_DELETE_WINDOW); xdotool can only destroy or kill it.
command -v wmctrl >/dev/null || e2e_fail "wmctrl is needed (scripts/install-deps.sh --test)"

# Client windows with ROLE whatever their state (an iconic window is not viewable).
managed_with_role() {
    local w
    for w in $(e2e__client_windows); do [[ $(e2e__role_of "$w") != "$1" ]] || echo "$w"; done
}
is_iconic() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }
no_placeholder() { [[ -z $(managed_with_role Form10) ]]; }
placeholder_iconic() {
    placeholder=$(managed_with_role Form10)
    [[ -n $placeholder ]] && is_iconic "$placeholder"
}

# put_away BAR X Y: clicks the bar at X,Y and waits for the placeholder to be iconic.
put_away() {
    e2e_click "$1" "$2" "$3"
    e2e__poll "$E2E_TIMEOUT" placeholder_iconic ||
        e2e_fail "no iconic placeholder after putting the bar away (bar: $(e2e_windows_with_role Form1))"
    e2e_wait_gone Form1
}

e2e_begin $'[Startup]\nLeft=1500\nTop=3000'
e2e_at "$bar" 100 200 || e2e_fail "bar not at 100,200 at start"
cp "$settings" "$E2E_TMP/settings.before"

put_away "$bar" 24 14 # the minimise panel
e2e_assert_eq "$(xprop -id "$placeholder" WM_NAME | sed 's/^[^=]*= //')" '"T a l v e n d o k"' \
    "placeholder caption"
! xprop -id "$placeholder" _NET_WM_STATE | grep -q SKIP_TASKBAR ||
    e2e_fail "the placeholder has no task bar entry"
# Being mapped iconic, whatever the window manager does meanwhile, is no restore.
sleep 1
is_iconic "$placeholder" || e2e_fail "the placeholder restored itself"
e2e_assert_eq "$(e2e_windows_with_role Form1)" "" "bar while minimised"

# The user restores the task bar entry.
xdotool windowactivate "$placeholder" 2>/dev/null || true
bar=$(e2e_wait_window Form1)
e2e_wait_settled "$bar"
e2e_at "$bar" 100 200 || e2e_fail "bar not at 100,200 after restoring"
e2e__poll "$E2E_TIMEOUT" no_placeholder || e2e_fail "the placeholder is still there after restoring"

# Put away again, then close the placeholder: the program ends and writes nothing.
put_away "$bar" 24 14
wmctrl -i -c "$placeholder"
e2e_ends_ok "$E2E_BAR_PID" "after closing the placeholder"
cmp -s "$settings" "$E2E_TMP/settings.before" || e2e_fail "the settings file changed"

e2e_log "ok"
