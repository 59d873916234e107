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
store_start 3000 500
e2e_log "seed $SEED (CRASH_SEED=$SEED replays it), $ROUNDS rounds"
store_verify || e2e_fail "the starting file does not read back"

# kill_after MS: SIGKILL to the bar after a random delay below MS milliseconds.
kill_after() {
    sleep "$(printf '0.%03d' $((RANDOM % $1)))"
    kill -KILL "$E2E_BAR_PID" 2>/dev/null || true
    e2e_wait_exit "$E2E_BAR_PID" || true
}
# step_ends STEP WHAT KEY=VALUE...: in the round's kill step, SIGKILL after a random
# delay and check that each KEY holds its old or its new VALUE; otherwise that it holds
# the new one once the step is done. Returns 1 when the round ends here.
step_ends() {
    local this=$1 what=$2
    shift 2
    if ((step == this)); then
        kill_after 150
        store_verify "$@" || e2e_fail "round $round: after a kill during $what"
        return 1
    fi
    store_verify strict "$@" || e2e_fail "round $round: $what did not save"
}

membranes=(Aurora.emb Ember.emb Slate.emb)
for ((round = 1; round <= ROUNDS; round++)); do
    step=$((RANDOM % 5)) # the step killed: 0 start-up ... 3 exit; 4 none
    row=$((RANDOM % 3))
    e2e_log "round $round: kill in step $step"
    old_3d=$(store_get Options/3DText)
    e2e_start_bar
    if ((step == 0)); then
        kill_after 800
        store_verify || e2e_fail "round $round: after a kill during start-up"
        continue
    fi
    bar=$(e2e_wait_window Form1)
    e2e_wait_settled "$bar"
    apply_title "$bar" "Round $round title" 3d
    ((step == 1)) || e2e_wait_gone Form7
    step_ends 1 Apply "Options/TitleBar=Round $round title" "Options/3DText=$((1 - old_3d))" ||
        continue
    choose_membrane "$bar" "$row"
    ((step == 2)) || e2e_wait_gone Form8
    step_ends 2 "the Membrane" "Startup/Membrane=c:\\TALVENDOK\\${membranes[row]}" || continue
    x=$((40 + RANDOM % 500)) y=$((40 + RANDOM % 400))
    move_bar "$bar" "$x" "$y"
    e2e_click "$bar" 8 8 # the close panel
    ((step != 4)) || e2e_wait_exit "$E2E_BAR_PID" || e2e_fail "round $round: exit status $?"

    step_ends 3 "the exit" "Startup/Left=$((x * 15))" "Startup/Top=$((y * 15))" || continue
done

e2e_assert_eq "$(stat -c %a "$settings")" "600" "settings file mode"
e2e_log "ok: $ROUNDS rounds, every saved value kept"
