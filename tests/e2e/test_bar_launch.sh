#!/usr/bin/env bash
# Launch buttons of the real bar: a slot's program starts with its argument (from a folder
# whose name has a blank), and a program that cannot start is reported in a message box
# while the bar stays.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
e2e_seed_program_folder

programs="$E2E_TMP/my programs"
marker="$E2E_TMP/launched marker"
mkdir -p "$programs"
cat >"$programs/leave marker.sh" <<SCRIPT
#!/bin/sh
printf '%s\n' started "\$@" >>'$marker'
SCRIPT
chmod +x "$programs/leave marker.sh"

settings=$(e2e_settings_file)
mkdir -p "$(dirname "$settings")"
cat >"$settings" <<INI
[Buttons]
Button1Caption=&Marker
Button1EXE=$programs/leave marker.sh first-argument
Button2Caption=Missing
Button2EXE=$programs/no such program
INI

e2e_start_bar
bar=$(e2e_wait_window Form1)

# Slot 1: the button's middle, 240 + 1095 / 2 and 600 + 975 / 2 twips.
e2e_click "$bar" 52 72
e2e__poll "$E2E_TIMEOUT" test -s "$marker" || e2e_fail "the program of slot 1 did not start"
e2e_assert_eq "$(cat "$marker")" $'started\nfirst-argument' "what the program was given"
e2e_wait_window Form1 >/dev/null

# Slot 2 names no program: one message box, and the bar stays.
e2e_click "$bar" 130 72
box=$(e2e_wait_window MessageBox)
e2e_focus "$box"
e2e_key Return
e2e_wait_gone MessageBox
e2e_wait_window Form1 >/dev/null
e2e_assert_eq "$(wc -l <"$marker")" "2" "starts of slot 1's program"

e2e_log "ok"
