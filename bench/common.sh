# shellcheck shell=bash
# shellcheck disable=SC2034 # the variables set here are read by the scripts that source it
# What bench/run.sh and bench/profile.sh share: installing, building, the
# private display and the fresh home of each run. Source it; it sets ROOT,
# BENCH_DIR and BUILD, and bench_build sets BAR, FLOOR, PROBE and STAMP.

BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$BENCH_DIR/.." && pwd)
BUILD=${BENCH_BUILD:-$ROOT/build-bench}
# The centre of the first launch button (twips 240,600,1095,975), in pixels of
# the client area; the floor puts its first button at the same place.
BENCH_CLICK=52,72

log() { printf '[bench] %s\n' "$*" >&2; }

# bench_install [PACKAGE...]: what the bar and the tests need (Xvfb, openbox,
# xdotool, ...), the bench's own (the DAMAGE and X-Resource client libraries
# of the probe, a session bus daemon so that both programs start as on a
# desktop) and the PACKAGEs given, each only when missing.
bench_install() {
    "$ROOT/scripts/install-deps.sh" --test >&2
    local pkg status missing=()
    for pkg in libxcb-damage0-dev libxcb-res0-dev dbus-daemon "$@"; do
        status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
        [[ $status == installed ]] || missing+=("$pkg")
    done
    ((${#missing[@]})) || return 0
    local as_root=(env DEBIAN_FRONTEND=noninteractive)
    ((EUID == 0)) || as_root=(sudo "${as_root[@]}")
    log "installing ${missing[*]}"
    "${as_root[@]}" apt-get update >&2
    "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >&2
}

# bench_build: the bar from the checkout and the bench's programs, each
# configured on its own with the same build type; both add -Wall -Wextra and
# nothing else.
bench_build() {
    log "building into $BUILD"
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVENDOK_TESTS=OFF >/dev/null
    cmake --build "$BUILD" -j2 --target talvendok >&2
    cmake -S "$BENCH_DIR" -B "$BUILD/bench" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$BUILD/bench" -j2 >&2
    BAR=$BUILD/talvendok
    FLOOR=$BUILD/bench/floor
    PROBE=$BUILD/bench/probe
    STAMP=$BUILD/bench/stamp
}

# bench_start_display: Xvfb and openbox through the end-to-end harness, a
# private session bus, and BENCH_TMP, a folder for the runs; all of it goes
# away when the script ends.
bench_start_display() {
    # shellcheck source=tests/e2e/lib.sh
    source "$ROOT/tests/e2e/lib.sh"
    # shellcheck disable=SC2034 # read by lib.sh
    E2E_NAME=bench
    e2e_start_x
    # Apart from the harness's folder, which other tools may clear.
    BENCH_TMP=$(mktemp -d "${TMPDIR:-/tmp}/talvendok-bench.XXXXXX")
    BENCH_BUS_PID=
    trap bench__exit EXIT
    if command -v dbus-daemon >/dev/null; then
        local bus
        bus=$(dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=1 \
            --address="unix:path=$BENCH_TMP/bus") || e2e_fail "no session bus"
        export DBUS_SESSION_BUS_ADDRESS
        DBUS_SESSION_BUS_ADDRESS=$(head -n 1 <<<"$bus")
        BENCH_BUS_PID=$(sed -n 2p <<<"$bus")
        e2e__remember_pid "$BENCH_BUS_PID"
    fi
}

bench__exit() {
    local rc=$?
    [[ -z $BENCH_BUS_PID ]] || kill "$BENCH_BUS_PID" 2>/dev/null || true
    rm -rf "$BENCH_TMP"
    e2e__cleanup "$rc"
}

# bench_home PROGRAM MINIMIZE [entry]: a fresh folder under BENCH_TMP with a
# home, the XDG folders, the program folder and a settings file with a
# Membrane, an icon and the stamp program on slot 1 (with "entry", a desktop
# entry that starts it). Sets RUN_DIR, RUN_ENV (the environment of the run) and
# RUN_CMD (probe arguments from --role on).
bench_home() {
    local program=$1 minimize=$2 kind=${3:-}
    RUN_DIR=$(mktemp -d "$BENCH_TMP/run.XXXXXX")
    local dir=$RUN_DIR
    mkdir -p "$dir/home" "$dir/config/TALVENDOK" "$dir/data" "$dir/cache" "$dir/runtime"
    chmod 0700 "$dir/runtime"
    local folder=$dir/data/TALVENDOK/drive_c/TALVENDOK
    mkdir -p "$folder"
    cp -R "$ROOT/resources/program_folder/." "$folder/"
    local exe="$STAMP $dir/stamp.out"
    if [[ $kind == entry ]]; then
        mkdir -p "$dir/data/applications"
        printf '[Desktop Entry]\nType=Application\nName=Stamp\nExec="%s" "%s"\n' \
            "$STAMP" "$dir/stamp.out" >"$dir/data/applications/stamp.desktop"
        exe=$dir/data/applications/stamp.desktop
    fi
    {
        printf '[Buttons]\n'
        printf 'Button1EXE=%s\n' "$exe"
        printf '%s\n' 'Button1Icon=C:\\TALVENDOK\\DEFAULT.ICO'
        printf '\n[Options]\nMinimizeOnRun=%s\n' "$minimize"
        printf '\n[Startup]\n'
        printf '%s\n' 'Membrane=c:\\TALVENDOK\\Aurora.emb'
    } >"$dir/config/TALVENDOK/TALVENDOK.conf"
    chmod 0600 "$dir/config/TALVENDOK/TALVENDOK.conf"
    RUN_ENV=(HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" XDG_DATA_HOME="$dir/data"
        XDG_CACHE_HOME="$dir/cache" XDG_RUNTIME_DIR="$dir/runtime" QT_QPA_PLATFORM=xcb)
    if [[ $program == bar ]]; then
        RUN_CMD=(--role Form1 -- "$BAR")
    else
        RUN_CMD=(--role Floor -- "$FLOOR" --icon "$folder/DEFAULT.ICO" --launch "$STAMP" "$dir/stamp.out")
    fi
}
