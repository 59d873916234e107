#!/usr/bin/env bash
# The bar on a real desktop. A new user's first start: the bar alone on screen at the
# top-left corner, its exact client size, no task bar entry, and only the SaveWinPos flag
# stored. The menu opens with its top-left corner on the bar's wherever the window manager
# put the bar (that another program's window leaves it open, the menu's unit test shows).
# Then, with ConfirmExit: a drag by the top strip stores nothing, the close panel saves
# everything before its centred question, "No" brings the bar back where it was and "Yes"
# ends the program with status 0.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin
e2e_assert_eq "$(e2e_geometry "$bar")" "0 0 337 140" "bar position and client size"
xprop -id "$bar" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
    e2e_fail "the bar asks for a task bar entry"
# The options loading ran without its window ever being left on screen.
e2e_assert_eq "$(e2e_windows_with_role Form7)$(e2e_windows_with_role Form3)" "" "other windows"
e2e_assert_eq "$(xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //')" "$(printf '0x%x' "$bar")" \
    "active window"
e2e_assert_eq "$(grep -v '^[[:space:]]*$' "$settings")" $'[Options]\nSaveWinPos=1' \
    "settings after the first start"

move_bar "$bar" 400 300 # away from where the bar was shown first
e2e_click "$bar" 30 130   # ".. Menu .."
e2e_assert_eq "$(e2e_geometry "$(e2e_wait_window Form9)" | cut -d' ' -f1,2,4)" \
    "$(e2e_geometry "$bar" | cut -d' ' -f1,2,4)" "menu over the bar (x y height)"

kill "$E2E_BAR_PID"
e2e_wait_exit "$E2E_BAR_PID" || true
e2e_open_bar $'[Buttons]\nButton3Caption=Kept\n\n[Options]\nConfirmExit=1'
# Press on the strip left of the title, move past the drag distance, then on.
xdotool mousemove --window "$bar" 150 6 mousedown 1 sleep 0.2 mousemove_relative 20 10 sleep 0.2 \
    mousemove_relative 150 90 sleep 0.2 mousemove_relative 150 90 sleep 0.2 mouseup 1 sleep 0.5
read -r x y _ _ < <(e2e_geometry "$bar")
((x > 100 && y > 100)) || e2e_fail "the drag did not move the bar (it is at $x,$y)"
grep -q '^\[Startup\]' "$settings" && e2e_fail "the drag stored something"

e2e_click "$bar" 8 8 # the close panel
question=$(e2e_wait_window Form11)
e2e_wait_gone Form1
read -r qx qy qw qh < <(e2e_geometry "$question")
e2e_assert_eq "$qx,$qy,${qw}x${qh}" "$(((1280 - qw) / 2)),$(((1024 - qh) / 2)),314x142" \
    "confirmation centred, its size"
for line in "Left=$((x * 15))" "Top=$((y * 15))" Button3Caption=Kept Button1EXE=UNDEFINED; do
    grep -qx "$line" "$settings" || e2e_fail "not saved before the question: $line"
done
e2e_click "$question" 224 76 # "No"
bar=$(e2e_wait_window Form1)
e2e_wait_settled "$bar"
e2e_wait_gone Form11
e2e_at "$bar" "$x" "$y" || e2e_fail "the bar is not back at $x,$y after No"

e2e_click "$bar" 8 8
e2e_click "$(e2e_wait_window Form11)" 88 76 # "Yes"
e2e_ends_ok "$E2E_BAR_PID" "after Yes"
e2e_log "ok"
