#!/usr/bin/env bash
# Edit Buttons from the menu: the button definition window opens centred, a
# typed caption reaches the bar, "Return" brings the bar back, and the close
# panel stores the new caption.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
e2e_seed_program_folder
e2e_start_bar
bar=$(e2e_wait_window Form1)
# Loaded hidden at every start for its picture, but never shown by it.
[[ -z $(e2e_windows_with_role Form3) ]] || e2e_fail "button definitions shown at start-up"

e2e_click "$bar" 30 130  # ".. Menu .."
menu=$(e2e_wait_window Form9)
e2e_click "$menu" 73 32  # "Edit Buttons"
form=$(e2e_wait_window Form3)
e2e_wait_gone Form9
read -r x y width height < <(e2e_geometry "$form")
e2e_assert_eq "${width}x${height}" "306x433" "button definitions client size"
e2e_assert_eq "$x" "487" "button definitions left (centred)"
((y == 295 || y == 296)) || e2e_fail "button definitions top $y, not centred"

e2e_focus "$form"
e2e_click "$form" 122 165  # caption field of button 2
e2e_key ctrl+a
e2e_type "Editor"
e2e_screenshot buttons_road.png
e2e_click "$form" 256 412  # "Return"
e2e_wait_gone Form3
bar=$(e2e_wait_window Form1)

e2e_click "$bar" 7 7  # close panel: stores the slots and ends
status=0
e2e_wait_exit "$E2E_BAR_PID" || status=$?
e2e_assert_eq "$status" "0" "exit status"
settings=$(e2e_settings_file)
grep -qx 'Button2Caption=Editor' "$settings" || e2e_fail "caption not stored: $(cat "$settings")"
grep -qx 'Button1Caption=Undefined' "$settings" || e2e_fail "slot 1 changed: $(cat "$settings")"

e2e_log "ok"
