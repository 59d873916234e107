#!/usr/bin/env bash
# Dragging the bar by its top strip, then the close panel with the confirmation: "No"
# brings the bar back where it was with everything already saved, "Yes" ends the program
# with status 0. The stored position is where the drag left the bar.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
e2e_seed_program_folder
settings=$(e2e_settings_file)
mkdir -p "$(dirname "$settings")"
cat >"$settings" <<'INI'
[Buttons]
Button3Caption=Kept
Button3EXE=/usr/bin/true
Button3Icon=C:\\TALVENDOK\\DEFAULT.ICO

[Options]
ConfirmExit=1
INI

e2e_start_bar
bar=$(e2e_wait_window Form1)

# Press on the strip left of the title, move past the drag distance, then on.
xdotool mousemove --window "$bar" 150 6 mousedown 1
sleep 0.2
xdotool mousemove_relative 20 10
sleep 0.2
xdotool mousemove_relative 150 90
sleep 0.2
xdotool mousemove_relative 150 90
sleep 0.2
xdotool mouseup 1
sleep 0.5
read -r x y _ _ < <(e2e_geometry "$bar")
((x > 100 && y > 100)) || e2e_fail "the drag did not move the bar (it is at $x,$y)"
grep -q '^\[Startup\]' "$settings" && e2e_fail "the drag stored something"

# Close panel: everything is saved before the question.
e2e_click "$bar" 8 8
question=$(e2e_wait_window Form11)
e2e_wait_gone Form1
e2e_screenshot bar_exit_question.png
read -r qx qy qw qh < <(e2e_geometry "$question")
e2e_assert_eq "${qw}x${qh}" "314x142" "confirmation size"
e2e_assert_eq "$qx,$qy" "$(((1280 - qw) / 2)),$(((1024 - qh) / 2))" "confirmation centred"
grep -qx "Left=$((x * 15))" "$settings" || e2e_fail "Left not saved as $((x * 15))"
grep -qx "Top=$((y * 15))" "$settings" || e2e_fail "Top not saved as $((y * 15))"
grep -qx 'Button3Caption=Kept' "$settings" || e2e_fail "slot 3's caption not saved"
grep -qx 'Button1EXE=UNDEFINED' "$settings" || e2e_fail "slot 1's program not saved"

# "No": 2640 + 1455 / 2 and 960 + 375 / 2 twips.
e2e_click "$question" 224 76
bar=$(e2e_wait_window Form1)
e2e_wait_gone Form11
read -r bx by _ _ < <(e2e_geometry "$bar")
e2e_assert_eq "$bx,$by" "$x,$y" "bar position after No"

# Again, and "Yes": 600 + 1455 / 2 and 960 + 375 / 2 twips.
e2e_click "$bar" 8 8
question=$(e2e_wait_window Form11)
e2e_click "$question" 88 76
status=0
e2e_wait_exit "$E2E_BAR_PID" || status=$?
e2e_assert_eq "$status" "0" "exit status after Yes"
grep -qx "Left=$((x * 15))" "$settings" || e2e_fail "Left changed after Yes"

e2e_log "ok"
