#!/usr/bin/env bash
# The menu opens with its top-left corner on the bar's, wherever the window manager
# has put the bar; it closes when the bar becomes active again, and stays open when
# another program's window does.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
e2e_seed_program_folder
e2e_start_bar
bar=$(e2e_wait_window Form1)
at() { [[ $(e2e_geometry "$bar" | cut -d' ' -f1,2) == "$1" ]]; }
for place in "400 300" "0 0"; do
    xdotool windowmove "$bar" "${place% *}" "${place#* }"
    e2e__poll "$E2E_TIMEOUT" at "$place" || e2e_fail "the bar did not move to $place"
    e2e_click "$bar" 30 130 # ".. Menu .."
    menu=$(e2e_wait_window Form9)
    read -r x y _ height < <(e2e_geometry "$menu")
    read -r bx by _ bh < <(e2e_geometry "$bar")
    e2e_assert_eq "$x,$y,$height" "$bx,$by,$bh" "menu over the bar"
    [[ $place == "0 0" ]] && break
    e2e_click "$bar" 200 25 # where the menu does not cover the bar
    e2e_wait_gone Form9
done

xmessage -geometry +700+500 "another program" 2>/dev/null &
other_pid=$!
other=$(timeout 10 xdotool search --sync --onlyvisible --classname xmessage | head -n 1) ||
    e2e_fail "no window of the other program"
e2e_focus "$other"
e2e_click "$other" 5 5
sleep 1
e2e_assert_eq "$(xdotool getactivewindow)" "$other" "active window"
[[ -n $(e2e_windows_with_role Form9) ]] || e2e_fail "the menu closed for another program"
kill "$other_pid"
wait "$other_pid" 2>/dev/null || true
e2e_log "ok"
