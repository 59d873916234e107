#!/usr/bin/env bash
# A new user's first start: the bar alone on screen, at the top-left corner, with its
# exact client size and no task bar entry; the store then holds only the SaveWinPos flag.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
e2e_seed_program_folder
settings=$(e2e_settings_file)

e2e_start_bar
bar=$(e2e_wait_window Form1)
read -r x y width height < <(e2e_geometry "$bar")
e2e_assert_eq "${width}x${height}" "337x140" "bar client size"
e2e_assert_eq "$x,$y" "0,0" "bar position"
xprop -id "$bar" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
    e2e_fail "the bar asks for a task bar entry"
# The options loading ran without its window ever being left on screen.
e2e_assert_eq "$(e2e_windows_with_role Form7)" "" "options window shown"
e2e_assert_eq "$(e2e_windows_with_role Form3)" "" "button definition window shown"
e2e_assert_eq "$(xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //')" "$(printf '0x%x' "$bar")" \
    "active window"
e2e_screenshot bar_first_start.png

[[ -f $settings ]] || e2e_fail "no settings file at $settings"
content=$(grep -v '^[[:space:]]*$' "$settings" || true)
e2e_assert_eq "$content" $'[Options]\nSaveWinPos=1' "settings after the first start"

e2e_log "ok"
