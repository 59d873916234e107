#!/usr/bin/env bash
# A close request from the window manager (what Alt+F4 and a task bar's "Close" send) to
# each window of ours in turn. Each takes its own way out: the window is unloaded (its X
# window is gone, not left hidden), what its button shows comes back, and the settings
# file is as it was. The bar refuses one; while a message box or the file chooser is open,
# the window that opened it stays.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

command -v wmctrl >/dev/null || e2e_fail "wmctrl is needed (scripts/install-deps.sh --test)"

# Roles of the viewable windows of ours, sorted, on one line.
mapped_roles() {
    local w r
    for w in $(e2e__client_windows); do
        e2e__viewable "$w" || continue
        r=$(e2e__role_of "$w")
        [[ -n $r ]] && printf '%s\n' "$r"
    done | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'
}
mapped_are() { [[ $(mapped_roles) == "$1" ]]; }

# True when no X window with ROLE exists at all: managed ones are in the client list, a
# hidden one is handed back to the root window.
no_window_with_role() {
    local w
    for w in $(e2e__client_windows) $(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'); do
        [[ $(e2e__role_of "$w") != "$1" ]] || return 1
    done
}

# Ways into each state, from the bar shown alone. Clicks are at control centres.
open_menu() { e2e_click "$bar" 30 130; } # ".. Menu .."
item() { menu_item "$bar" "$1" "$2" >/dev/null; } # Y of the item in the menu, ROLE it opens
# Typed text left in a password window that was only hidden would spoil the next password.
type_password() {
    item 10 Form13 # "&Options" with a password stored
    e2e_focus "$(e2e_wait_window Form13)"
    e2e_type "${1:-left-over}"
    [[ -z ${1-} ]] || e2e_key Return
}
open_options() { type_password secret; }
open_info() {
    open_options
    e2e_click "$(e2e_wait_window Form7)" 80 137  # the "Password" tab
    e2e_click "$(e2e_wait_window Form7)" 152 165 # "More Information..."
}
ask_exit() { e2e_click "$bar" 8 8; } # close panel, ConfirmExit set
choose_program() {
    item 34 Form3
    e2e_click "$(e2e_wait_window Form3)" 64 116 # "Choose EXE ..." of row 1
    e2e_wait_window FileChooser >/dev/null
}
wrong_password() { type_password wrong && e2e_wait_window MessageBox >/dev/null; }
nothing() { :; }

e2e_begin $'[Options]\nConfirmExit=1\nPassword=secret'
# Some window managers (fluxbox) give a new window the focus only when it is clicked; that
# focus can reach the bar after the menu the same click opened, and the bar's focus closes
# the menu. The bar starts active here, as it does under most window managers.
e2e_focus "$bar"

# way in | window sent the close | windows shown afterwards. A refused close changes
# nothing at once; the row after it, whose events come later, shows that it stayed refused.
while IFS='|' read -r setup target after; do
    [[ -n $setup ]] || continue
    $setup
    wid=$(e2e_wait_window "$target")
    cp "$settings" "$E2E_TMP/settings.before"
    e2e_log "$setup: close $target"
    wmctrl -i -c "$wid"
    e2e__poll "$E2E_TIMEOUT" mapped_are "$after" ||
        e2e_fail "$setup, close $target: shown '$(mapped_roles)', expected '$after'"
    if [[ " $after " != *" $target "* ]]; then
        e2e__poll "$E2E_TIMEOUT" no_window_with_role "$target" ||
            e2e_fail "$setup, close $target: the window is hidden, not unloaded"
    fi
    kill -0 "$E2E_BAR_PID" 2>/dev/null || e2e_fail "$setup, close $target: the bar ended"
    cmp -s "$settings" "$E2E_TMP/settings.before" ||
        e2e_fail "$setup, close $target: the settings file changed"
done <<'TABLE'
open_menu|Form9|Form1
type_password|Form13|Form1
open_options|Form7|Form1
open_info|Form12|Form1 Form7
nothing|Form7|Form1
item 34 Form3|Form3|Form1
item 82 Form2|Form2|Form1
item 130 Form8|Form8|Form1
ask_exit|Form11|Form1
open_menu|Form1|Form1 Form9
nothing|Form9|Form1
choose_program|Form3|FileChooser Form1 Form3
nothing|FileChooser|Form1 Form3
nothing|Form3|Form1
wrong_password|Form13|Form1 Form13 MessageBox
nothing|MessageBox|Form1
TABLE

# The program still ends through its own way: the close panel, then "&Yes".
ask_exit
e2e_click "$(e2e_wait_window Form11)" 88 76
e2e_ends_ok "$E2E_BAR_PID" "after Yes"

e2e_log "ok"
