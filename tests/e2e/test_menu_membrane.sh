#!/usr/bin/env bash
# A Membrane chosen with one click in the chooser becomes the bar's background
# at once, is stored, and is the background again after a restart.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# A spot of the bar that no control covers: below the drag strip, between the
# minimise panel and the title.
SPOT_X=150
SPOT_Y=25

# bar_pixel WID NAME: prints "r,g,b" of the bar's spot from a screenshot.
bar_pixel() {
    local x y w h
    read -r x y w h < <(e2e_geometry "$1")
    e2e_screenshot "$2"
    /usr/bin/convert "$E2E_TMP/$2" -crop "1x1+$((x + SPOT_X))+$((y + SPOT_Y))" -depth 8 \
        -format '%[fx:int(255*r+.5)],%[fx:int(255*g+.5)],%[fx:int(255*b+.5)]' info:-
}

# close_to A B: true when two "r,g,b" colours differ by at most 8 in each channel.
close_to() {
    local -a a b
    IFS=, read -r -a a <<<"$1"
    IFS=, read -r -a b <<<"$2"
    local i d
    for i in 0 1 2; do
        d=$((a[i] - b[i]))
        ((d >= -8 && d <= 8)) || return 1
    done
}

e2e_start_x
e2e_seed_program_folder
folder=$XDG_DATA_HOME/TALVENDOK/drive_c/TALVENDOK
e2e_start_bar
bar=$(e2e_wait_window Form1)
sleep 0.5
before=$(bar_pixel "$bar" membrane_before.png)

e2e_click "$bar" 30 130  # ".. Menu .."
menu=$(e2e_wait_window Form9)
e2e_click "$menu" 77 130  # "Membranes"
chooser=$(e2e_wait_window Form8)
e2e_wait_gone Form9
e2e_screenshot membrane_chooser.png
# The first entry of the list: Aurora.emb, the first name in the shipped folder.
e2e_click "$chooser" 40 145
e2e_wait_gone Form8
bar=$(e2e_wait_window Form1)
sleep 0.5
chosen=$(bar_pixel "$bar" membrane_chosen.png)

settings=$(e2e_settings_file)
grep -Fqx 'Membrane=c:\\TALVENDOK\\Aurora.emb' "$settings" ||
    e2e_fail "choice not stored: $(cat "$settings")"
expected=$(/usr/bin/convert "$folder/Aurora.emb" -crop "1x1+$SPOT_X+$SPOT_Y" -depth 8 \
    -format '%[fx:int(255*r+.5)],%[fx:int(255*g+.5)],%[fx:int(255*b+.5)]' info:-)
close_to "$chosen" "$expected" || e2e_fail "bar shows $chosen, the Membrane has $expected"
[[ $chosen != "$before" ]] || e2e_fail "the bar's background did not change ($before)"

# An abrupt end: the choice is already on disk.
kill -TERM "$E2E_BAR_PID"
e2e_wait_exit "$E2E_BAR_PID" || true
e2e_start_bar
bar=$(e2e_wait_window Form1)
sleep 0.5
again=$(bar_pixel "$bar" membrane_restart.png)
e2e_assert_eq "$again" "$chosen" "bar background after the restart"

e2e_log "ok"
