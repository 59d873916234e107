#!/usr/bin/env bash
# First start with an empty settings store: the bar appears at the top-left
# corner with its exact client size, and the store afterwards holds only the
# SaveWinPos flag, already on disk while the bar runs.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
settings=$(e2e_settings_file)
[[ ! -e $settings ]] || e2e_fail "settings file exists before the first start"

e2e_start_bar
bar=$(e2e_wait_window Form1)
read -r x y width height < <(e2e_geometry "$bar")
e2e_assert_eq "${width}x${height}" "337x140" "bar client size"
e2e_assert_eq "$x,$y" "0,0" "bar position"
e2e_screenshot smoke_start.png

# An abrupt end must not lose what the start-up saved.
kill -TERM "$E2E_BAR_PID"
e2e_wait_exit "$E2E_BAR_PID" || true
[[ -z $E2E_BAR_PID ]] || e2e_fail "the bar did not end on SIGTERM"

[[ -f $settings ]] || e2e_fail "no settings file at $settings"
content=$(grep -v '^[[:space:]]*$' "$settings" || true)
e2e_assert_eq "$content" $'[Options]\nSaveWinPos=1' "settings after the first start"
# The file will hold the options password.
e2e_assert_eq "$(stat -c %a "$settings")" "600" "settings file mode"
# The program folder is the installer's business, never the program's.
[[ ! -e $XDG_DATA_HOME/TALVENDOK/drive_c ]] || e2e_fail "the bar created the program folder"

e2e_log "ok"
