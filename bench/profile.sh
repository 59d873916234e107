#!/usr/bin/env bash
# Counts the instructions that the bar and the floor execute from exec to the
# request that maps their window and to their first paint (valgrind's
# callgrind, repeatable to a fraction of a percent), in the same display and
# home as bench/run.sh, and prints where the bar's extra instructions up to
# the first paint go: by library, and by the bar's own steps.
#
#   bench/profile.sh        about 3 minutes
#
# The profiles stay in BENCH_PROFILE_OUT (build-bench/profile/) for
# callgrind_annotate or KCachegrind.
set -euo pipefail
# shellcheck source=bench/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

OUT=${BENCH_PROFILE_OUT:-$BUILD/profile}
bench_install valgrind
bench_build
mkdir -p "$OUT"
rm -f "$OUT"/callgrind.*
bench_start_display

# profile PROGRAM [SUFFIX CALLGRIND_OPTION...]: one start of PROGRAM under callgrind,
# its profile in $OUT/callgrind.PROGRAM[SUFFIX].
profile() {
    local program=$1 suffix=${2:-}
    local extra=("${@:3}")
    bench_home "$program" 0
    # The probe times the window of the process that valgrind runs in place.
    local cmd=() arg
    for arg in "${RUN_CMD[@]}"; do
        cmd+=("$arg")
        [[ $arg == -- ]] && cmd+=(valgrind --tool=callgrind "${extra[@]}"
            "--callgrind-out-file=$OUT/callgrind.$program$suffix.%p")
    done
    env "${RUN_ENV[@]}" "$PROBE" --timeout 180000 --settle 0 --idle 0 "${cmd[@]}" \
        >"$RUN_DIR/probe.out" 2>"$RUN_DIR/probe.err" ||
        e2e_fail "$program: $(grep '^probe:' "$RUN_DIR/probe.err" | tail -n 1)"
    # Only the program's own process: a forked helper would leave a file too.
    local pid
    pid=$(sed -n 's/^pid //p' "$RUN_DIR/probe.out")
    # With a dump, part 1 is the part up to it.
    local part=$OUT/callgrind.$program$suffix.$pid
    [[ ! -e $part.1 ]] || part=$part.1
    mv "$part" "$OUT/callgrind.$program$suffix"
    rm -f "$OUT/callgrind.$program$suffix".*
}

# Each cut where it first hands its window to the X server: its first paint, and in a
# second start the request that maps the window (the probe ends it only after it has
# painted, and whatever ran until then would count too).
log "profiling the floor"
profile floor "" "--dump-before=QXcbBackingStore::flush*"
profile floor .map "--dump-before=QXcbWindow::show*"
log "profiling the bar"
profile bar "" "--dump-before=QXcbBackingStore::flush*"
profile bar .map "--dump-before=QXcbWindow::show*"

total() { sed -n 's/^summary: *//p; s/^totals: *//p' "$1" | sed -n 1p; }

# Exclusive instructions by shared object.
by_object() {
    callgrind_annotate --auto=no --threshold=100 "$1" 2>/dev/null |
        awk '/^ *[0-9,]+ +\( *[0-9.]+%\) / && !/PROGRAM TOTALS/ {
                 n = $1; gsub(",", "", n)
                 obj = "(inlined)"
                 if (match($0, /\[[^]]*\] *$/)) {
                     obj = substr($0, RSTART + 1, RLENGTH - 2); sub(/ *$/, "", obj)
                     sub(/.*\//, "", obj); sub(/\]$/, "", obj)
                 }
                 s[obj] += n
             }
             END { for (o in s) print o, s[o] }'
}

compare() { # TITLE SUFFIX
    local bar_total floor_total
    bar_total=$(total "$OUT/callgrind.bar$2")
    floor_total=$(total "$OUT/callgrind.floor$2")
    echo "instructions from exec to $1"
    printf '  bar %d, floor %d, bar/floor %s\n' "$bar_total" "$floor_total" \
        "$(awk -v b="$bar_total" -v f="$floor_total" 'BEGIN { printf "%.2f", b / f }')"
}
echo
compare "the request that maps the window" .map
compare "the first paint" ""
echo
echo "by library (exclusive), largest differences first:"
printf '  %-40s %14s %14s %14s\n' library bar floor difference
join -a1 -a2 -e0 -o 0,1.2,2.2 <(by_object "$OUT/callgrind.bar" | sort) \
    <(by_object "$OUT/callgrind.floor" | sort) |
    awk '{ printf "  %-40s %14d %14d %14d\n", $1, $2, $3, $2 - $3 }' | sort -k4,4nr | sed -n 1,15p
echo
echo "the bar's own steps (inclusive):"
callgrind_annotate --auto=no --inclusive=yes --threshold=100 "$OUT/callgrind.bar" 2>/dev/null |
    grep -E ' /[^ ]*/(bar|config|core)/[^ :]*\.cpp:[^ ]*(Form[0-9]+::|setupApplication|addFaces|loadPicture|startProgram)' |
    grep -v '::~' | sed 's/ \[[^]]*\] *$//; s|/[^ ]*/\([a-z]*/[a-z_]*\.cpp\)|\1|' | sed -n 1,30p
echo
# calls FILE FUNCTION: how many times FUNCTION was called.
calls() {
    callgrind_annotate --auto=no --inclusive=yes --tree=caller --threshold=100 "$1" 2>/dev/null |
        awk -v f="$2" '/^$/ { n = 0; next }
            / < / && match($0, /\([0-9]+x\)/) { n += substr($0, RSTART + 1, RLENGTH - 3) }
            / \*  / && index($0, f) && !done { print n; done = 1 }'
}
for program in bar floor; do
    printf '%s: %s pictures decoded, %s font engines loaded, %s top-level X windows created\n' \
        "$program" "$(calls "$OUT/callgrind.$program" 'QImageReader::read(QImage*)')" \
        "$(calls "$OUT/callgrind.$program" 'QFontDatabasePrivate::loadEngine(')" \
        "$(calls "$OUT/callgrind.$program" 'QXcbWindow::create()')"
done
echo
echo "profiles: $OUT/callgrind.bar, $OUT/callgrind.floor"
