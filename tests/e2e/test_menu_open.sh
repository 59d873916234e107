#!/usr/bin/env bash
# The menu opens with its top-left corner on the bar's top-left corner, also
# after the bar was moved. It closes when the bar becomes active again, and
# stays open when another program's window becomes active.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# bar_at WID X Y: true once the bar's client area is at X,Y.
bar_at() {
    local x y w h
    read -r x y w h < <(e2e_geometry "$1")
    [[ $x == "$2" && $y == "$3" ]]
}

# open_menu_over BAR X Y: moves the bar, opens the menu and checks where it is.
open_menu_over() {
    local bar=$1 want_x=$2 want_y=$3 menu x y width height bx by bw bh
    xdotool windowmove "$bar" "$want_x" "$want_y"
    local i
    for ((i = 0; i < 50; i++)); do
        bar_at "$bar" "$want_x" "$want_y" && break
        sleep 0.1
    done
    bar_at "$bar" "$want_x" "$want_y" || e2e_fail "the bar did not move to $want_x,$want_y"
    e2e_click "$bar" 30 130  # ".. Menu .."
    menu=$(e2e_wait_window Form9)
    read -r x y width height < <(e2e_geometry "$menu")
    read -r bx by bw bh < <(e2e_geometry "$bar")
    e2e_assert_eq "${width}x${height}" "121x140" "menu client size"
    e2e_assert_eq "$x,$y" "$bx,$by" "menu top-left on the bar's top-left"
    e2e_assert_eq "$bh" "$height" "menu height"
}

e2e_start_x
e2e_seed_program_folder
e2e_start_bar
bar=$(e2e_wait_window Form1)

open_menu_over "$bar" 400 300
e2e_screenshot menu_open.png
# A click on the bar where the menu does not cover it makes the bar active.
e2e_click "$bar" 200 25
e2e_wait_gone Form9

open_menu_over "$bar" 713 551
e2e_click "$bar" 200 25
e2e_wait_gone Form9

# Back in the corner, where the first start put it.
open_menu_over "$bar" 0 0

# Another program's window taking the focus leaves the menu open.
xmessage -geometry +700+500 "another program" 2>/dev/null &
other_pid=$!
other=$(timeout 10 xdotool search --sync --onlyvisible --classname xmessage | head -n 1) ||
    e2e_fail "no window of the other program"
e2e_focus "$other"
e2e_click "$other" 5 5
sleep 1
e2e_assert_eq "$(xdotool getactivewindow)" "$other" "active window"
[[ -n $(e2e_windows_with_role Form9) ]] || e2e_fail "the menu closed when another program became active"
kill "$other_pid"
wait "$other_pid" 2>/dev/null || true

e2e_log "ok"
