# shellcheck shell=bash
# The set-up shared by the tests that read the settings file from outside while bars
# run: a user's file, its checker, and the ways to the windows that save.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
store_checker=$(dirname "${BASH_SOURCE[0]}")/settings_check.py

# store_start EXTRA LENGTH: X, the program folder, and a user's settings file.
store_start() {
    e2e_start_x
    e2e_seed_program_folder
    settings=$(e2e_settings_file)
    mkdir -p "$(dirname "$settings")"
    python3 "$store_checker" init "$settings" "$E2E_TMP/state.json" "$@"
}
# store_verify [strict] [KEY=VALUE...]: see settings_check.py.
store_verify() { python3 "$store_checker" verify "$settings" "$E2E_TMP/state.json" "$@" >&2; }
store_get() { python3 "$store_checker" get "$settings" "$E2E_TMP/state.json" "$1"; }

# store_open BAR Y ROLE: the menu item at Y of BAR's menu; prints the window it opens.
store_open() {
    e2e_click "$1" 30 130
    e2e_click "$(e2e_wait_window Form9)" 77 "$2"
    sleep 0.2
    e2e_wait_window "$3"
}
# apply_title BAR TITLE [3d]: a new title on the Extras page (and "3D Button Text"
# flipped, saved late in Apply's sequence), then Apply.
apply_title() {
    local options
    options=$(store_open "$1" 10 Form7)
    [[ -z ${3:-} ]] || e2e_click "$options" 160 135
    e2e_click "$options" 80 112
    sleep 0.2
    e2e_click "$options" 200 145
    e2e_key ctrl+a
    e2e_type "$2"
    e2e_click "$options" 270 372
}
# choose_membrane BAR ROW: one click on the chooser's list.
choose_membrane() { e2e_click "$(store_open "$1" 130 Form8)" 60 $((142 + 11 * $2)); }
# move_bar BAR X Y: moves it and waits until it stays there. A bar places itself again once
# it is mapped, which on a loaded machine can come after this move: then it moves again.
move_bar() {
    local tries i x y
    for ((tries = 0; tries < 10; tries++)); do
        xdotool windowmove "$1" "$2" "$3"
        for ((i = 0; i < 50; i++)); do
            read -r x y _ _ < <(e2e_geometry "$1")
            [[ $x == "$2" && $y == "$3" ]] && break
            sleep 0.1
        done
        sleep 0.5
        read -r x y _ _ < <(e2e_geometry "$1")
        [[ $x == "$2" && $y == "$3" ]] && return 0
    done
    e2e_fail "the bar did not move to $2,$3"
}
