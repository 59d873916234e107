#!/usr/bin/env bash
# Two bars of the same user on one settings file. Each save of one bar reaches
# the file without undoing what the other saved before it: per key the last
# writer wins, and no other key changes or disappears. Then both bars exit at
# the same moment, a few times over: the file stays whole.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

store_start 200 20
expect() { store_verify strict "$@" || e2e_fail "${@: -1}"; }

second_bar() { B=$(e2e_windows_with_role Form1 | grep -vx "$A" | head -n 1) && [[ -n $B ]]; }
# start_two: bar A, then bar B, each moved to a place of its own.
start_two() {
    e2e_start_bar
    A_PID=$E2E_BAR_PID A=$(e2e_wait_window Form1)
    move_bar "$A" 100 100
    e2e_start_bar && B_PID=$E2E_BAR_PID
    e2e__poll "$E2E_TIMEOUT" second_bar || e2e_fail "the second bar did not appear"
    move_bar "$B" 500 400
}

start_two
apply_title "$A" "Title from A"
e2e_wait_gone Form7
expect "Options/TitleBar=Title from A"
choose_membrane "$B" 1
e2e_wait_gone Form8
expect 'Startup/Membrane=c:\TALVENDOK\Ember.emb'
e2e_click "$B" 8 8 # B exits first
e2e_ends_ok "$B_PID" "of bar B"
expect "Startup/Left=7500" "Startup/Top=6000"
e2e_click "$A" 8 8 # then A
e2e_ends_ok "$A_PID" "of bar A"
expect "Startup/Left=1500" "Startup/Top=1500"

# Both exits at once, as near as one pointer allows: every key holds one bar's value.
for ((round = 1; round <= 4; round++)); do
    start_two
    xdotool mousemove 108 108 click 1 mousemove 508 408 click 1
    e2e_ends_ok "$A_PID" "of bar A"
    e2e_ends_ok "$B_PID" "of bar B"
    store_verify Startup/Left={1500,7500} Startup/Top={1500,6000} || e2e_fail "simultaneous exits, round $round"
done

e2e_log "ok"
