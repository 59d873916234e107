#!/usr/bin/env bash
# A real drag and drop between two programs: an application's desktop entry dragged from
# another window onto the first launch button takes that slot (program, caption from the
# entry's Name), and the exit through the close panel stores it.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin $'[Options]\nConfirmExit=0'
entry=$XDG_DATA_HOME/applications/dropped.desktop
mkdir -p "${entry%/*}"
printf '[Desktop Entry]\nType=Application\nName=Dropped Tool\nExec=true\n' >"$entry"

"$TALVENDOK_DRAG_SOURCE" "file://$entry" >"$E2E_TMP/drag.out" 2>&1 &
e2e__remember_pid $!
source_window=$(e2e_wait_window DragSource)
e2e_wait_settled "$source_window"
read -r bx by _ < <(e2e_geometry "$bar")
xdotool mousemove --window "$source_window" 50 50 mousedown 1
# The drag starts once the pointer has moved past the drag distance, then follows it.
for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove --sync $((600 + 50 + (bx + 52 - 650) * step / 8)) $((400 + 50 + (by + 72 - 450) * step / 8)) sleep 0.1
done && xdotool mouseup 1
e2e__poll "$E2E_TIMEOUT" test -s "$E2E_TMP/drag.out" || e2e_fail "the drag never ended"
e2e_assert_eq "$(head -n 1 "$E2E_TMP/drag.out")" 1 "drop action (1: Copy)"

e2e_click "$bar" 8 8
e2e_wait_exit "$E2E_BAR_PID" || e2e_fail "the close panel did not end the bar"
grep -qxF "Button1EXE=$entry" "$settings" || e2e_fail "slot 1 program not stored: $(cat "$settings")"
grep -qxF "Button1Caption=Dropped Tool" "$settings" || e2e_fail "slot 1 caption not stored"
