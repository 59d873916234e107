#!/usr/bin/env bash
# The real program killed with SIGKILL at random moments of a scripted session
# (start-up, options applied, a Membrane chosen, the exit sequence): after every
# kill the settings file parses and holds every value saved before the kill.
# The file is large (a user's own keys of about 1.5 MB), so that each save
# takes long enough for kills to land in the middle of writes.
#
# CRASH_ROUNDS (default 10) sessions; CRASH_SEED replays the random choices.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

ROUNDS=${CRASH_ROUNDS:-10}
SEED=${CRASH_SEED:-$(od -An -N2 -tu2 /dev/urandom | tr -d ' ')}
RANDOM=$SEED

e2e_start_x
e2e_log "seed $SEED (CRASH_SEED=$SEED replays it), $ROUNDS rounds"
e2e_seed_program_folder
settings=$(e2e_settings_file)
settings_check=$(dirname "${BASH_SOURCE[0]}")/settings_check.py
mkdir -p "$(dirname "$settings")"

check() { python3 "$settings_check" verify "$settings" "$E2E_TMP/state.json" "$@" >&2; }

# The starting file: every option at the value Apply will write again, except the
# title and "3DText" (the first and the last but one that Apply saves); a position to move away from; slots and a Membrane of the user's own; and
# 3000 keys the program never touches.
python3 - "$E2E_TMP/state.json" <<'PYTHON'
import json, random, string, sys
random.seed(7)
state = {
    'Options/TitleBar': 'Before any round', 'Options/ButtonBackground': '1',
    'Options/LargeBevel': '1', 'Options/MinimizeOnRun': '0', 'Options/3DText': '1',
    'Options/TextShadow': '1', 'Options/SaveWinPos': '1', 'Options/ConfirmExit': '0',
    'Options/3Button': '0', 'Options/DisplayTime': '1', 'Options/TextRed': '255',
    'Options/TextGreen': '255', 'Options/TextBlue': '255', 'Options/Password': '',
    'Startup/Left': '1500', 'Startup/Top': '1500',
    'Startup/Membrane': 'c:\\TALVENDOK\\Slate.emb',
}
for slot in range(1, 5):
    state['Buttons/Button%dCaption' % slot] = 'Slot %d' % slot
    state['Buttons/Button%dEXE' % slot] = '/usr/bin/true'
    state['Buttons/Button%dIcon' % slot] = 'C:\\TALVENDOK\\DEFAULT.ICO'
for i in range(3000):
    state['Extra/Key%04d' % i] = ''.join(random.choice(string.ascii_letters) for _ in range(500))
json.dump(state, open(sys.argv[1], 'w'))
PYTHON
python3 "$settings_check" write "$settings" "$E2E_TMP/state.json"
chmod 600 "$settings"
check || e2e_fail "the starting file does not read back"

# pending KEY=VALUE...: the saves that the step being killed may have made.
pending() {
    python3 -c 'import json, sys
p = {}
for arg in sys.argv[2:]:
    key, value = arg.split("=", 1)
    p.setdefault(key, []).append(value)
json.dump(p, open(sys.argv[1], "w"))' "$E2E_TMP/pending.json" "$@"
}

# kill_after MAX_MS: SIGKILL after a random delay of up to MAX_MS milliseconds.
kill_after() {
    local ms=$((RANDOM % ($1 + 1)))
    sleep "$(printf '0.%03d' "$ms")"
    kill -KILL "$E2E_BAR_PID" 2>/dev/null || true
    e2e_wait_exit "$E2E_BAR_PID" || true
    E2E_BAR_PID=
    e2e_log "  killed ${ms} ms into the step"
}

membranes=(Aurora.emb Ember.emb Slate.emb)
kills=0
for ((round = 1; round <= ROUNDS; round++)); do
    # The step in which the kill comes: 0 start-up, 1 Apply, 2 Membrane, 3 exit;
    # 4 lets the session end normally.
    step=$((RANDOM % 5))
    title="Round $round title"
    membrane=${membranes[$((RANDOM % 3))]}
    moveX=$((40 + RANDOM % 500))
    moveY=$((40 + RANDOM % 400))
    e2e_log "round $round: kill in step $step"
    pending
    old_3d=$(python3 "$settings_check" get "$settings" "$E2E_TMP/state.json" Options/3DText)

    e2e_start_bar
    if ((step == 0)); then
        kill_after 800
        kills=$((kills + 1))
        check "$E2E_TMP/pending.json" || e2e_fail "round $round: after a kill during start-up"
        continue
    fi
    bar=$(e2e_wait_window Form1)

    # Options: a new title on the Extras page, then Apply.
    e2e_click "$bar" 30 130
    menu=$(e2e_wait_window Form9)
    e2e_click "$menu" 77 10
    options=$(e2e_wait_window Form7)
    sleep 0.2
    e2e_click "$options" 160 135  # "3D Button Text", saved late in Apply's sequence
    new_3d=$((1 - old_3d))
    e2e_click "$options" 80 112  # the Extras tab
    sleep 0.2
    e2e_click "$options" 200 145  # the title field
    e2e_key ctrl+a
    e2e_type "$title"
    e2e_click "$options" 270 372  # Apply
    if ((step == 1)); then
        kill_after 150
        kills=$((kills + 1))
        pending "Options/TitleBar=$title" "Options/3DText=$new_3d"
        check "$E2E_TMP/pending.json" || e2e_fail "round $round: after a kill during Apply"
        continue
    fi
    e2e_wait_gone Form7
    pending "Options/TitleBar=$title" "Options/3DText=$new_3d"
    check "$E2E_TMP/pending.json" || e2e_fail "round $round: Apply did not save"
    [[ $(python3 "$settings_check" get "$settings" "$E2E_TMP/state.json" Options/TitleBar) == "$title" ]] ||
        e2e_fail "round $round: the applied title is not stored"

    # A Membrane, by one click in the chooser's list.
    e2e_click "$bar" 30 130
    menu=$(e2e_wait_window Form9)
    e2e_click "$menu" 77 130
    chooser=$(e2e_wait_window Form8)
    sleep 0.2
    row=0
    for ((i = 0; i < 3; i++)); do [[ ${membranes[$i]} == "$membrane" ]] && row=$i; done
    e2e_click "$chooser" 60 $((142 + 11 * row))
    new_membrane="c:\\TALVENDOK\\$membrane"
    if ((step == 2)); then
        kill_after 150
        kills=$((kills + 1))
        pending "Startup/Membrane=$new_membrane"
        check "$E2E_TMP/pending.json" || e2e_fail "round $round: after a kill choosing a Membrane"
        continue
    fi
    e2e_wait_gone Form8
    pending "Startup/Membrane=$new_membrane"
    check "$E2E_TMP/pending.json" || e2e_fail "round $round: the Membrane was not saved"
    [[ $(python3 "$settings_check" get "$settings" "$E2E_TMP/state.json" Startup/Membrane) == "$new_membrane" ]] ||
        e2e_fail "round $round: the chosen Membrane is not stored"

    # The exit sequence, from a new place.
    bar=$(e2e_wait_window Form1)
    xdotool windowmove "$bar" "$moveX" "$moveY"
    for ((i = 0; i < 50; i++)); do
        read -r x y _ _ < <(e2e_geometry "$bar")
        [[ $x == "$moveX" && $y == "$moveY" ]] && break
        sleep 0.1
    done
    [[ $x == "$moveX" && $y == "$moveY" ]] || e2e_fail "round $round: the bar did not move"
    sleep 0.3
    e2e_click "$bar" 8 8  # the close panel
    new_left=$((moveX * 15))
    new_top=$((moveY * 15))
    pending "Startup/Left=$new_left" "Startup/Top=$new_top"
    if ((step == 3)); then
        kill_after 150
        kills=$((kills + 1))
        check "$E2E_TMP/pending.json" || e2e_fail "round $round: after a kill during the exit"
        continue
    fi
    status=0
    e2e_wait_exit "$E2E_BAR_PID" || status=$?
    e2e_assert_eq "$status" 0 "round $round: exit status"
    check "$E2E_TMP/pending.json" || e2e_fail "round $round: the exit did not save"
    e2e_assert_eq "$(python3 "$settings_check" get "$settings" "$E2E_TMP/state.json" Startup/Left) $(python3 "$settings_check" get "$settings" "$E2E_TMP/state.json" Startup/Top)" \
        "$new_left $new_top" "round $round: stored position"
done

e2e_assert_eq "$(stat -c %a "$settings")" "600" "settings file mode"
leftovers=$(find "$(dirname "$settings")" -mindepth 1 -not -name "$(basename "$settings")" -printf '%f ')
[[ -z $leftovers ]] || e2e_log "left beside the settings file: $leftovers"
e2e_log "ok: $ROUNDS rounds, $kills kills, every saved value kept"
