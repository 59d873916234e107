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
printf '[Buttons]\nButton3Caption=Kept\n\n[Options]\nConfirmExit=1\n' >"$settings"
e2e_start_bar
bar=$(e2e_wait_window Form1)

# Press on the strip left of the title, move past the drag distance, then on.
xdotool mousemove --window "$bar" 150 6 mousedown 1
for step in "20 10" "150 90" "150 90"; do
    sleep 0.2
    xdotool mousemove_relative "${step% *}" "${step#* }"
done
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
read -r qx qy qw qh < <(e2e_geometry "$question")
e2e_assert_eq "$qx,$qy,${qw}x${qh}" "$(((1280 - qw) / 2)),$(((1024 - qh) / 2)),314x142" \
    "confirmation centred, its size"
for line in "Left=$((x * 15))" "Top=$((y * 15))" Button3Caption=Kept Button1EXE=UNDEFINED; do
    grep -qx "$line" "$settings" || e2e_fail "not saved before the question: $line"
done

e2e_click "$question" 224 76 # "No"
bar=$(e2e_wait_window Form1)
e2e_wait_gone Form11
read -r bx by _ _ < <(e2e_geometry "$bar")
e2e_assert_eq "$bx,$by" "$x,$y" "bar position after No"

e2e_click "$bar" 8 8
e2e_click "$(e2e_wait_window Form11)" 88 76 # "Yes"
status=0
e2e_wait_exit "$E2E_BAR_PID" || status=$?
e2e_assert_eq "$status" "0" "exit status after Yes"
e2e_log "ok"
