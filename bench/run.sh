#!/usr/bin/env bash
# The benchmark. Builds the bar and the floor (a bare Qt Widgets window of the
# bar's size, bench/floor/) with the same flags, then runs them in turn in a
# private Xvfb with openbox, each run with a fresh home, and prints for each
# figure the median with min and max, the ratio bar/floor and the target.
#
#   bench/run.sh            about 7 minutes
#
# Environment: BENCH_RUNS (runs of each program, 7), BENCH_IDLE_S (idle period,
# 20), BENCH_BUILD (build folder, build-bench/ in the checkout), BENCH_RESULTS
# (a folder that receives the raw figures of every run), BENCH_NICE (the
# priority of the whole benchmark when run as root, -10; 0 leaves it).
set -euo pipefail
# shellcheck source=bench/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

RUNS=${BENCH_RUNS:-7}
IDLE_S=${BENCH_IDLE_S:-20}
SETTLE_MS=3000

# shellcheck disable=SC2119 # no packages beyond the usual
bench_install
bench_build
# Other work on the machine shows in every figure; as root the benchmark (and
# so the X server, the window manager and both programs) runs ahead of it.
if ((EUID == 0)) && [[ ${BENCH_NICE:--10} != 0 ]]; then
    renice -n "${BENCH_NICE:--10}" -p $$ >/dev/null
fi
bench_start_display
RESULTS=$BENCH_TMP/results
mkdir -p "$RESULTS"

# run_one SERIES PROGRAM MINIMIZE SETTLE_MS IDLE_MS [entry]: one start of
# PROGRAM (bar or floor) through the probe in a fresh home, its figures
# appended to $RESULTS/SERIES.KEY, one line a run. With SETTLE_MS, the run ends
# with a click on the first launch button (a desktop entry with "entry").
run_one() {
    local series=$1 program=$2 minimize=$3 settle=$4 idle=$5
    bench_home "$program" "$minimize" "${6:-}"
    local dir=$RUN_DIR click=()
    if ((settle > 0)); then click=(--click "$BENCH_CLICK" --stamp "$dir/stamp.out"); fi
    if ! env "${RUN_ENV[@]}" "$PROBE" --settle "$settle" --idle "$idle" "${click[@]}" \
        "${RUN_CMD[@]}" >"$dir/probe.out" 2>"$dir/probe.err"; then
        log "$series run failed: $(grep '^probe:' "$dir/probe.err" | tail -n 1)"
        if [[ -n ${BENCH_RESULTS:-} ]]; then
            mkdir -p "$BENCH_RESULTS"
            cp "$dir/probe.err" "$BENCH_RESULTS/failed-$series-$(basename "$dir").err"
        fi
        return 0
    fi
    if [[ $series != warmup ]]; then
        local key value roles=()
        while read -r key value; do
            case $key in
                pid) ;;
                mapped_role) roles+=("$value") ;;
                *) printf '%s\n' "$value" >>"$RESULTS/$series.$key" ;;
            esac
        done <"$dir/probe.out"
        printf '%s\n' "${roles[*]}" >>"$RESULTS/$series.mapped"
    fi
    rm -rf "$dir"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
started=$SECONDS
log "warming up (page cache)"
run_one warmup bar 0 0 0
run_one warmup floor 0 0 0
idle_ms=$((IDLE_S * 1000))
for ((i = 1; i <= RUNS; i++)); do
    log "run $i of $RUNS"
    # Which of the two goes first alternates too.
    if ((i % 2)); then
        run_one bar bar 0 "$SETTLE_MS" "$idle_ms"
        run_one floor floor 0 "$SETTLE_MS" "$idle_ms"
    else
        run_one floor floor 0 "$SETTLE_MS" "$idle_ms"
        run_one bar bar 0 "$SETTLE_MS" "$idle_ms"
    fi
    run_one bar_min1 bar 1 1000 0
    run_one bar_entry bar 0 1000 0 entry
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
[[ -z ${BENCH_RESULTS:-} ]] || { mkdir -p "$BENCH_RESULTS" && cp "$RESULTS"/* "$BENCH_RESULTS"/; }

# ---- report ----------------------------------------------------------------
# stats FILE [SCALE]: "median min max count" of the values, each divided by SCALE.
stats() {
    [[ -s $1 ]] || {
        echo "nan nan nan 0"
        return
    }
    sort -g "$1" | awk -v s="${2:-1}" '{ v[NR] = $1 / s }
        END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "%.6g %.6g %.6g %d\n", m, v[1], v[NR], NR }'
}

fmt_cell() { # median min max
    awk -v m="$1" -v lo="$2" -v hi="$3" -v d="$4" 'BEGIN {
        if (m == "nan") { printf "%-24s", "n/a"; exit }
        f = "%." d "f"; printf "%-24s", sprintf(f " [" f ".." f "]", m, lo, hi) }'
}

met=0
targets=0
# row LABEL KEY SCALE DECIMALS BAR_SERIES KIND LIMIT
#   KIND ratio: bar/floor <= LIMIT; below: bar median < LIMIT; none: reported only.
row() {
    local label=$1 key=$2 scale=$3 dec=$4 bar_series=$5 kind=$6 limit=$7
    local bm bl bh bn fm fl fh fn
    read -r bm bl bh bn < <(stats "$RESULTS/$bar_series.$key" "$scale")
    read -r fm fl fh fn < <(stats "$RESULTS/floor.$key" "$scale")
    local ratio verdict target
    ratio=$(awk -v b="$bm" -v f="$fm" 'BEGIN { if (b == "nan" || f == "nan" || f == 0) print "n/a"; else printf "%.2f", b / f }')
    case $kind in
        ratio)
            target="<= ${limit}x floor"
            verdict=$(awk -v r="$ratio" -v l="$limit" 'BEGIN { if (r == "n/a") print "n/a"; else print (r + 0 <= l + 0) ? "PASS" : "MISS" }')
            ;;
        below)
            target="< $limit"
            verdict=$(awk -v b="$bm" -v l="$limit" 'BEGIN { if (b == "nan") print "n/a"; else print (b + 0 < l + 0) ? "PASS" : "MISS" }')
            ;;
        *)
            target="-"
            verdict=""
            ;;
    esac
    if [[ $verdict == PASS || $verdict == MISS ]]; then
        targets=$((targets + 1))
        [[ $verdict == PASS ]] && met=$((met + 1))
    fi
    printf '%-46s %s %s %-9s %-15s %s\n' "$label" "$(fmt_cell "$bm" "$bl" "$bh" "$dec")" \
        "$(fmt_cell "$fm" "$fl" "$fh" "$dec")" "$ratio" "$target" "$verdict"
    if ((bn < RUNS || (fn < RUNS && fn > 0))); then
        printf '%-46s (only %d runs of the bar, %d of the floor gave this figure)\n' "" "$bn" "$fn"
    fi
}

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
qt=$(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo '?')
echo
echo "TALVENDOK benchmark, $(date '+%Y-%m-%d %H:%M %Z')"
echo "machine: $(nproc) cores, ${cpu:-unknown CPU}, $(uname -sr), Qt $qt"
echo "runs: $RUNS of each program, alternating; idle period ${IDLE_S} s; memory ${SETTLE_MS} ms after the window appears"
echo "load average before/after: $load_before / $load_after; priority $(nice)"
echo "values: median [min..max]; times from exec"
echo
printf '%-46s %-24s %-24s %-9s %-15s %s\n' "figure" "bar" "floor" "bar/floor" "target" ""
row "exec -> mapped window (ms)" map_ms 1 1 bar ratio 1.15
row "exec -> first paint (ms)" paint_ms 1 1 bar ratio 1.05
row "CPU to mapped window (ms)" cpu_map_ms 1 1 bar none 0
row "CPU to first paint (ms)" cpu_paint_ms 1 1 bar ratio 1.05
row "resident memory, RSS (MB)" rss_kb 1024 2 bar ratio 1.1
row "dirty memory (MB)" dirty_kb 1024 2 bar ratio 1.5
row "proportional memory, PSS (MB)" pss_kb 1024 2 bar none 0
row "idle CPU (% of one core)" idle_cpu_pct 1 3 bar ratio 1.1
row "wake-ups per second, idle" wakeups_per_s 1 2 bar ratio 1.0
row "click -> program, MinimizeOnRun=0 (ms)" click_ms 1 2 bar below 5
row "click -> program, MinimizeOnRun=1 (ms)" click_ms 1 2 bar_min1 below 5
row "click -> program, desktop entry (ms)" click_ms 1 2 bar_entry none 0
echo
echo "also seen (no target):"
row "  threads" threads 1 0 bar none 0
row "  top-level X windows created" x_toplevels_created 1 0 bar none 0
row "  X windows held (X-Resource)" x_windows 1 0 bar none 0
row "  X pixmaps held (KB)" x_pixmap_kb 1 0 bar none 0
row "  exec -> mapped window, MinimizeOnRun=1 (ms)" map_ms 1 1 bar_min1 none 0
row "  exec -> mapped window, desktop entry (ms)" map_ms 1 1 bar_entry none 0
for series in bar floor; do
    [[ -s $RESULTS/$series.mapped ]] || continue
    echo "  windows that the $series mapped: $(sort "$RESULTS/$series.mapped" | uniq -c | awk '{ c = $1; $1 = ""; printf "%s%s (%d runs)", sep, substr($0, 2), c; sep = "; " }')"
done
echo
echo "notes: both map their window before they first use a font and set up fontconfig between"
echo "  the map and the first paint; the bar decodes its pictures before the map, the floor its"
echo "  icons at the paint. PSS moves with whatever else maps the same libraries."
echo "  The floor has no MinimizeOnRun; both click rows compare with its one launch path."
echo
echo "$met of $targets targets met; took $((SECONDS - started)) s"
if [[ ! -s $RESULTS/bar.map_ms || ! -s $RESULTS/floor.map_ms ]]; then
    log "no complete run of the bar or the floor"
    exit 1
fi
