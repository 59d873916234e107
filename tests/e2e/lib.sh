# shellcheck shell=bash
# End-to-end helpers: a private X server (Xvfb) with a window manager, the bar started
# from $TALVENDOK_BIN, and small tools to find, measure and click its windows.
#
# Source this file from a test script, then call e2e_begin (or e2e_start_x) first. Every
# helper that changes state (e2e_start_x, e2e_begin, e2e_start_bar, e2e_wait_exit) must be
# called directly, never inside $(...), or its state is lost with the subshell.
# e2e_wait_exit returns the process's status: under set -e call it as
# "e2e_wait_exit "$E2E_BAR_PID" || status=$?".
#
# Environment:
#   TALVENDOK_BIN     the binary under test (set by ctest)
#   TALVENDOK_SOURCE  the source tree (default: found from this file)
#   E2E_TIMEOUT       default wait in seconds (10)
#   E2E_WM            the window manager: openbox (default), fluxbox, icewm,
#                     xfwm4 or metacity

E2E_ROOT=${TALVENDOK_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
E2E_NAME=$(basename "${0%.sh}")
E2E_WM=${E2E_WM:-openbox}
E2E_TIMEOUT=${E2E_TIMEOUT:-10}
E2E_TMP= E2E_XVFB_PID= E2E_BAR_PID= E2E_BAR_LOG= E2E_WATCHDOG_PID= E2E_BUS=

e2e_log() { printf '[%s] %s\n' "$E2E_NAME" "$*" >&2; }
e2e_fail() { e2e_log "FAIL: $*"; exit 1; }
e2e_assert_eq() { [[ $1 == "$2" ]] || e2e_fail "${3:-value}: expected '$2', got '$1'"; }

# Polls COMMAND... every 0.1 s until it succeeds or TIMEOUT seconds have passed.
e2e__poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}
e2e__ended() { ! kill -0 "$1" 2>/dev/null; }
e2e__stop_pid() {
    [[ -n $1 ]] && kill -TERM "$1" 2>/dev/null || return 0
    e2e__poll 3 e2e__ended "$1" || kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
e2e__remember_pid() { printf '%s\n' "$1" >>"$E2E_TMP/pids"; }

# Started in the background: when the test shell is killed outright (a ctest
# timeout sends SIGKILL), nothing of the normal cleanup runs, so this kills
# what the test started and removes its temp folder.
e2e__watchdog() {
    while kill -0 "$1" 2>/dev/null; do sleep 1; done
    [[ ! -f $2/pids ]] || xargs -r kill -KILL <"$2/pids" 2>/dev/null || true
    rm -rf "$2"
}

e2e__cleanup() {
    local rc=$1 pid
    trap - EXIT INT TERM
    [[ -z $E2E_WATCHDOG_PID ]] || kill "$E2E_WATCHDOG_PID" 2>/dev/null || true
    # Whatever the test started, the last started first (the bar, then the window manager,
    # the buses and Xvfb).
    for pid in $(tac "$E2E_TMP/pids" 2>/dev/null); do e2e__stop_pid "$pid"; done
    if ((rc != 0)) && [[ -s $E2E_BAR_LOG ]]; then
        e2e_log "last lines of the bar's output:"
        tail -n 40 "$E2E_BAR_LOG" >&2
    fi
    [[ -z $E2E_TMP ]] || rm -rf "$E2E_TMP"
    # ctest only tells success from failure; keep the contract simple.
    exit $((rc == 0 ? 0 : 1))
}

# e2e_temp: a private temp folder (E2E_TMP), removed with everything started from it
# (e2e__remember_pid) when the test ends, even when it is killed outright.
e2e_temp() {
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/talvendok-e2e.XXXXXX")
    trap 'e2e__cleanup $?' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    e2e__watchdog "$$" "$E2E_TMP" </dev/null >/dev/null 2>&1 &
    E2E_WATCHDOG_PID=$!
}

# e2e_session_bus: a session bus of our own; its address in E2E_BUS.
e2e_session_bus() {
    dbus-daemon --session --nofork --print-address=3 3>"$E2E_TMP/bus" >/dev/null 2>&1 &
    e2e__remember_pid $!
    e2e__poll "$E2E_TIMEOUT" test -s "$E2E_TMP/bus" || e2e_fail "no session bus"
    E2E_BUS=$(head -n 1 "$E2E_TMP/bus")
}

# True once Xvfb has written its display number, or has ended.
e2e__display_ready() { e2e__ended "$E2E_XVFB_PID" || grep -q '^[0-9][0-9]*$' "$E2E_TMP/display"; }
e2e__wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id #'; }

# Starts $E2E_WM quietly with its defaults and waits until it has taken the screen.
e2e__start_wm() {
    local -a wm
    case $E2E_WM in
        openbox) wm=(openbox --sm-disable) ;;
        fluxbox) wm=(fluxbox) ;;
        icewm) wm=(icewm) ;;
        xfwm4) wm=(xfwm4 --compositor=off --sm-client-disable) ;;
        metacity) wm=(metacity --sm-disable --compositor=none) ;;
        *) e2e_fail "unknown E2E_WM '$E2E_WM' (openbox, fluxbox, icewm, xfwm4, metacity)" ;;
    esac
    command -v "${wm[0]}" >/dev/null || e2e_fail "$E2E_WM is not installed (scripts/install-deps.sh --test)"
    # These two read their settings through GSettings/xfconf over a session bus of their own
    # (dbus-run-session would leave the bus and the window manager running when stopped).
    if [[ $E2E_WM == xfwm4 || $E2E_WM == metacity ]]; then
        e2e_session_bus
        wm=(env "DBUS_SESSION_BUS_ADDRESS=$E2E_BUS" "${wm[@]}")
    fi
    "${wm[@]}" >"$E2E_TMP/wm.log" 2>&1 &
    e2e__remember_pid $!
    e2e__poll "$E2E_TIMEOUT" e2e__wm_running ||
        e2e_fail "$E2E_WM did not start: $(tail -n 5 "$E2E_TMP/wm.log")"
}

# Creates a private HOME and XDG folders (the settings file's path in $settings), starts
# Xvfb on a display it picks itself, starts the window manager and waits for it, and cleans
# everything up on exit.
e2e_start_x() {
    e2e_temp
    export HOME=$E2E_TMP/home XDG_CONFIG_HOME=$E2E_TMP/config XDG_DATA_HOME=$E2E_TMP/data \
        XDG_CACHE_HOME=$E2E_TMP/cache XDG_RUNTIME_DIR=$E2E_TMP/runtime
    settings=$XDG_CONFIG_HOME/TALVENDOK/TALVENDOK.conf
    mkdir -p "$HOME" "${settings%/*}" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 0700 "$XDG_RUNTIME_DIR"
    # Keep the host's session, scaling and styling out of the run.
    unset WAYLAND_DISPLAY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS \
        QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_FONT_DPI \
        QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME QT_ENABLE_HIGHDPI_SCALING
    : >"$E2E_TMP/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset \
        3>"$E2E_TMP/display" >"$E2E_TMP/Xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    e2e__remember_pid "$E2E_XVFB_PID"
    e2e__poll "$E2E_TIMEOUT" e2e__display_ready || e2e_fail "Xvfb did not report a display"
    e2e__ended "$E2E_XVFB_PID" && e2e_fail "Xvfb ended: $(tail -n 5 "$E2E_TMP/Xvfb.log")"
    export DISPLAY=:$(head -n 1 "$E2E_TMP/display")
    e2e__start_wm
    e2e_log "X display $DISPLAY, $E2E_WM up, temp $E2E_TMP"
}

# Copies the shipped program folder to where the bar looks for C:\TALVENDOK\.
e2e_seed_program_folder() {
    local dest=$XDG_DATA_HOME/TALVENDOK/drive_c/TALVENDOK
    mkdir -p "$dest"
    cp -R "$E2E_ROOT/resources/program_folder"/. "$dest"/ || e2e_fail "no program folder to seed"
}

# Starts the bar in the background; its PID is in E2E_BAR_PID. The output of
# every start goes to one log file, E2E_BAR_LOG.
e2e_start_bar() {
    [[ -x ${TALVENDOK_BIN:-} ]] || e2e_fail "TALVENDOK_BIN is not an executable: '${TALVENDOK_BIN:-}'"
    E2E_BAR_LOG=$E2E_TMP/bar.log
    printf -- '--- start %s\n' "$(date +%T)" >>"$E2E_BAR_LOG"
    QT_QPA_PLATFORM=xcb "$TALVENDOK_BIN" >>"$E2E_BAR_LOG" 2>&1 &
    E2E_BAR_PID=$!
    e2e__remember_pid "$E2E_BAR_PID"
}

# e2e_begin [SETTINGS]: X with the window manager, the shipped program folder, e2e_open_bar.
e2e_begin() { e2e_start_x; e2e_seed_program_folder; e2e_open_bar "$@"; }
# e2e_open_bar [SETTINGS]: the settings file holding SETTINGS (INI text, @TMP@ standing for
# $E2E_TMP) when given, and the bar ($bar) started and settled.
e2e_open_bar() {
    (($# == 0)) || printf '%s\n' "${1//@TMP@/$E2E_TMP}" >"$settings"
    e2e_start_bar
    bar=$(e2e_wait_window Form1)
    e2e_wait_settled "$bar"
}

# Prints the client windows that the window manager manages.
e2e__client_windows() {
    xprop -root _NET_CLIENT_LIST 2>/dev/null | sed -n 's/^.*window id # //p' | tr ',' '\n' | tr -d ' '
}
e2e__role_of() {
    xprop -id "$1" WM_WINDOW_ROLE 2>/dev/null | sed -n 's/^WM_WINDOW_ROLE([A-Z_0-9]*) = "\(.*\)"$/\1/p'
}
e2e__viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# Prints the ids of the viewable client windows whose WM_WINDOW_ROLE is ROLE.
e2e_windows_with_role() {
    local w
    for w in $(e2e__client_windows); do
        [[ $(e2e__role_of "$w") == "$1" ]] && e2e__viewable "$w" && printf '%s\n' "$w"
    done
    return 0
}
e2e__some_with_role() { [[ -n $(e2e_windows_with_role "$1") ]]; }
e2e__none_with_role() { ! e2e__some_with_role "$1"; }

# e2e_wait_window ROLE [TIMEOUT]: waits for a viewable top-level window with
# that role and prints its id (the client window, not the window manager's frame).
e2e_wait_window() {
    e2e__poll "${2:-$E2E_TIMEOUT}" e2e__some_with_role "$1" || e2e_fail "no window with role '$1'"
    e2e_windows_with_role "$1" | head -n 1
}
# e2e_wait_gone ROLE [TIMEOUT]: waits until no window with that role is viewable.
e2e_wait_gone() {
    e2e__poll "${2:-$E2E_TIMEOUT}" e2e__none_with_role "$1" || e2e_fail "window '$1' still shown"
}

# e2e_geometry WID: prints "x y width height" of the client area, x and y
# relative to the screen.
e2e_geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X:/ {x = $NF}
         /Absolute upper-left Y:/ {y = $NF} /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF}
         END {print x, y, w, h}'
}

# e2e_wait_settled WID: waits until the window stays where it is. A bar places itself
# again once it is mapped, and some window managers move a window after mapping it; a
# click sent before that lands beside it.
e2e__still() {
    local before
    before=$(e2e_geometry "$1")
    sleep 0.6
    [[ $(e2e_geometry "$1") == "$before" ]]
}
e2e_wait_settled() { e2e__poll "$E2E_TIMEOUT" e2e__still "$1" || e2e_fail "window $1 did not settle"; }

# e2e_click WID X Y: clicks at X,Y relative to the window's client area.
e2e_click() { xdotool mousemove --window "$1" "$2" "$3" click 1 || e2e_fail "could not click $1 at $2,$3"; }
# e2e_focus WID: activates the window so that typed keys reach it.
e2e_focus() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1" ||
        e2e_fail "could not focus $1"
}
# e2e_type TEXT / e2e_key KEY...: keyboard input to the focused window.
e2e_type() { xdotool type --delay 20 -- "$1"; }
e2e_key() { xdotool key --delay 20 -- "$@"; }

# e2e_wait_exit PID [TIMEOUT]: waits for the process to end and returns its
# exit status; 124 when it is still running after TIMEOUT seconds.
e2e_wait_exit() {
    e2e__poll "${2:-$E2E_TIMEOUT}" e2e__ended "$1" || return 124
    local rc=0
    wait "$1" 2>/dev/null || rc=$?
    [[ $1 != "$E2E_BAR_PID" ]] || E2E_BAR_PID=
    return "$rc"
}
# e2e_ends_ok PID WHAT: the process ends with status 0.
e2e_ends_ok() { local status=0; e2e_wait_exit "$1" || status=$?; e2e_assert_eq "$status" 0 "exit status $2"; }

# e2e_at WID X Y: true when the window's client area starts at X,Y.
e2e_at() { [[ $(e2e_geometry "$1" | cut -d' ' -f1,2) == "$2 $3" ]]; }
# move_bar BAR X Y: moves it and waits until it stays there. A bar places itself again once
# it is mapped, which on a loaded machine can come after this move: then it moves again.
move_bar() {
    local tries
    for ((tries = 0; tries < 10; tries++)); do
        xdotool windowmove "$1" "$2" "$3"
        e2e__poll 5 e2e_at "$@" && sleep 0.5 && e2e_at "$@" && return 0
    done
    e2e_fail "the bar did not move to $2,$3"
}

# The settings file read from outside while bars run (settings_check.py says how).
# store_start EXTRA LENGTH: X, the program folder, and a user's settings file.
store_start() { e2e_start_x; e2e_seed_program_folder; store__check init "$@"; }
store__check() { python3 "$E2E_ROOT/tests/e2e/settings_check.py" "$1" "$settings" "$E2E_TMP/state.json" "${@:2}"; }
# store_verify [strict] [KEY=VALUE...] / store_get KEY
store_verify() { store__check verify "$@" >&2; }
store_get() { store__check get "$1"; }

# menu_item BAR Y ROLE: the menu item at Y of BAR's menu; prints the window it opens.
menu_item() {
    e2e_click "$1" 30 130
    e2e_click "$(e2e_wait_window Form9)" 77 "$2"
    sleep 0.2
    e2e_wait_window "$3"
}
# apply_title BAR TITLE [3d]: a new title on the Extras page (and "3D Button Text"
# flipped, saved late in Apply's sequence), then Apply.
apply_title() {
    local options
    options=$(menu_item "$1" 10 Form7)
    [[ -z ${3:-} ]] || e2e_click "$options" 160 135
    e2e_click "$options" 80 112
    sleep 0.2
    e2e_click "$options" 200 145
    e2e_key ctrl+a
    e2e_type "$2"
    e2e_click "$options" 270 372
}
# choose_membrane BAR ROW: one click on the chooser's list.
choose_membrane() { e2e_click "$(menu_item "$1" 130 Form8)" 60 $((142 + 11 * $2)); }
