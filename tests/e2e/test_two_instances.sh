#!/usr/bin/env bash
# Two bars of the same user on one settings file. Each save of one bar reaches
# the file without undoing what the other saved before it: per key the last
# writer wins, and no other key changes or disappears. Then both bars exit at
# the same moment, a few times over: the file stays whole.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
e2e_seed_program_folder
settings=$(e2e_settings_file)
settings_check=$(dirname "${BASH_SOURCE[0]}")/settings_check.py
mkdir -p "$(dirname "$settings")"


# expect KEY=VALUE...: the file now holds exactly these new values, and every other
# key as before.
expect() {
    python3 -c 'import json, sys
p = {}
for arg in sys.argv[2:]:
    key, value = arg.split("=", 1)
    p.setdefault(key, []).append(value)
json.dump(p, open(sys.argv[1], "w"))' "$E2E_TMP/pending.json" "$@"
    python3 "$settings_check" verify "$settings" "$E2E_TMP/state.json" \
        "$E2E_TMP/pending.json" strict
}

python3 - "$E2E_TMP/state.json" <<'PYTHON'
import json, sys
state = {
    'Options/TitleBar': 'Shared', 'Options/ButtonBackground': '1', 'Options/LargeBevel': '1',
    'Options/MinimizeOnRun': '0', 'Options/3DText': '1', 'Options/TextShadow': '1',
    'Options/SaveWinPos': '1', 'Options/ConfirmExit': '0', 'Options/3Button': '0',
    'Options/DisplayTime': '1', 'Options/TextRed': '255', 'Options/TextGreen': '255',
    'Options/TextBlue': '255', 'Options/Password': '',
    'Startup/Left': '1500', 'Startup/Top': '1500', 'Startup/Membrane': 'c:\\TALVENDOK\\Slate.emb',
}
for slot in range(1, 5):
    state['Buttons/Button%dCaption' % slot] = 'Slot %d' % slot
    state['Buttons/Button%dEXE' % slot] = '/usr/bin/true'
    state['Buttons/Button%dIcon' % slot] = 'C:\\TALVENDOK\\DEFAULT.ICO'
for i in range(200):
    state['Mine/Key%03d' % i] = 'kept value %03d' % i
json.dump(state, open(sys.argv[1], 'w'))
PYTHON
python3 "$settings_check" write "$settings" "$E2E_TMP/state.json"
chmod 600 "$settings"

A_PID=
B_PID=
# Stops whichever bar is still running before failing: the harness stops only one.
fail() {
    local pid
    for pid in $A_PID $B_PID; do kill -KILL "$pid" 2>/dev/null || true; done
    e2e_fail "$@"
}

# start_two: starts bar A, then bar B, and moves B off A.
# A bar places itself again once it is mapped; on a loaded machine that can come after a
# move from outside, so move it until it stays.
move_until_it_stays() {
    local w=$1 tx=$2 ty=$3 tries i x y
    for ((tries = 0; tries < 10; tries++)); do
        xdotool windowmove "$w" "$tx" "$ty"
        for ((i = 0; i < 50; i++)); do
            read -r x y _ _ < <(e2e_geometry "$w")
            [[ $x == "$tx" && $y == "$ty" ]] && break
            sleep 0.1
        done
        sleep 0.5
        read -r x y _ _ < <(e2e_geometry "$w")
        [[ $x == "$tx" && $y == "$ty" ]] && return 0
    done
    return 1
}

# Two bars on the same store, apart from each other whatever position the last exit stored.
start_two() {
    e2e_start_bar
    A_PID=$E2E_BAR_PID
    A=$(e2e_wait_window Form1)
    move_until_it_stays "$A" 100 100 || fail "the first bar did not move"
    e2e_start_bar
    B_PID=$E2E_BAR_PID
    B=
    local i w
    for ((i = 0; i < 100; i++)); do
        for w in $(e2e_windows_with_role Form1); do [[ $w != "$A" ]] && B=$w; done
        [[ -z $B ]] || break
        sleep 0.1
    done
    [[ -n $B ]] || fail "the second bar did not appear"
    move_until_it_stays "$B" 500 400 || fail "the second bar did not move"
}

newest_window() {
    local role=$1 before=$2 w i
    for ((i = 0; i < 100; i++)); do
        for w in $(e2e_windows_with_role "$role"); do
            [[ " $before " == *" $w "* ]] || {
                printf '%s\n' "$w"
                return 0
            }
        done
        sleep 0.1
    done
    fail "no new window with role $role"
}

apply_title() {
    local bar=$1 title=$2 menu options
    e2e_click "$bar" 30 130
    menu=$(newest_window Form9 "")
    e2e_click "$menu" 77 10
    options=$(newest_window Form7 "")
    e2e_click "$options" 80 112  # the Extras tab
    sleep 0.2
    e2e_click "$options" 200 145  # the title field
    e2e_key ctrl+a
    e2e_type "$title"
    e2e_click "$options" 270 372  # Apply
    e2e_wait_gone Form7
}

choose_membrane() {
    local bar=$1 row=$2 menu chooser
    e2e_click "$bar" 30 130
    menu=$(newest_window Form9 "")
    e2e_click "$menu" 77 130
    chooser=$(newest_window Form8 "")
    sleep 0.2
    e2e_click "$chooser" 60 $((142 + 11 * row))
    e2e_wait_gone Form8
}

edit_caption() {
    local bar=$1 caption=$2 menu definitions
    e2e_click "$bar" 30 130
    menu=$(newest_window Form9 "")
    e2e_click "$menu" 77 34
    definitions=$(newest_window Form3 "")
    e2e_click "$definitions" 150 86
    e2e_key ctrl+a
    e2e_type "$caption"
    e2e_click "$definitions" 256 412  # Return
    e2e_wait_gone Form3
}

wait_ended() {
    local pid=$1 status=0
    e2e_wait_exit "$pid" || status=$?
    [[ $status == 0 ]] || fail "bar $pid ended with status $status"
}

start_two
e2e_log "bars A ($A_PID) and B ($B_PID) up"

apply_title "$A" "Title from A"
expect "Options/TitleBar=Title from A" || fail "A's Apply"

choose_membrane "$B" 1
expect 'Startup/Membrane=c:\TALVENDOK\Ember.emb' || fail "B's Membrane undid something"

apply_title "$B" "Title from B"
expect "Options/TitleBar=Title from B" || fail "B's Apply"

choose_membrane "$A" 0
expect 'Startup/Membrane=c:\TALVENDOK\Aurora.emb' || fail "A's Membrane undid something"

edit_caption "$B" "Edited by B"
e2e_click "$B" 8 8  # B exits first
wait_ended "$B_PID"
B_PID=
expect "Startup/Left=7500" "Startup/Top=6000" "Buttons/Button1Caption=Edited by B" ||
    fail "B's exit"

read -r ax ay _ _ < <(e2e_geometry "$A")
E2E_BAR_PID=$A_PID
e2e_click "$A" 8 8  # then A, whose own slots win
wait_ended "$A_PID"
A_PID=
expect "Startup/Left=$((ax * 15))" "Startup/Top=$((ay * 15))" "Buttons/Button1Caption=Slot 1" ||
    fail "A's exit"

# Both exits at once (as near as one pointer allows): every key holds one bar's value,
# nothing else moved.
for ((round = 1; round <= 4; round++)); do
    start_two
    read -r ax ay _ _ < <(e2e_geometry "$A")
    # One pointer: the two clicks come one right after the other, while A still saves.
    read -r bx by _ _ < <(e2e_geometry "$B")
    xdotool mousemove $((ax + 8)) $((ay + 8)) click 1 mousemove $((bx + 8)) $((by + 8)) click 1
    wait_ended "$A_PID"
    E2E_BAR_PID=$B_PID
    wait_ended "$B_PID"
    A_PID=
    B_PID=
    python3 -c 'import json, sys
json.dump({"Startup/Left": [sys.argv[2], "7500"], "Startup/Top": [sys.argv[3], "6000"]},
          open(sys.argv[1], "w"))' "$E2E_TMP/pending.json" "$((ax * 15))" "$((ay * 15))"
    python3 "$settings_check" verify "$settings" "$E2E_TMP/state.json" \
        "$E2E_TMP/pending.json" || fail "simultaneous exits, round $round"
done

e2e_assert_eq "$(stat -c %a "$settings")" "600" "settings file mode"
e2e_log "ok"
