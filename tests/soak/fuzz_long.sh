#!/usr/bin/env bash
# A long search with the settings fuzzer: CASES hostile settings files (default
# 10000) from SEED (random when not given; printed first so that the run can be
# repeated), in chunks of FUZZ_CHUNK (500), each chunk a fresh process. A crash
# or hang ends its chunk; the search goes on after the case that caused it. At
# the end: the failures grouped by what went wrong, the crashed or hung cases,
# and their settings files kept for replay.
#
#   tests/soak/fuzz_long.sh [CASES] [SEED] [BUILD_DIR]
#
# BUILD_DIR defaults to build/ (a sanitizer build such as build-asan/ works too).
# Exit status 1 when any case failed.
set -euo pipefail
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cases=${1:-10000}
seed=${2:-$(od -An -N6 -tu8 /dev/urandom | tr -d ' ')}
build=${3:-$source_dir/build}
fuzz=$build/tests/tst_settings_fuzz
chunk=${FUZZ_CHUNK:-500}
if [[ ! -x $fuzz ]]; then
    cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j2 --target tst_settings_fuzz
fi
keep=$(mktemp -d "${TMPDIR:-/tmp}/talvendok-fuzz.XXXXXX")
echo "settings fuzz: $cases cases from seed $seed with $fuzz (logs in $keep)"

export QT_QPA_PLATFORM=offscreen TALVENDOK_FUZZ_SEED=$seed
start=$SECONDS
first=0
crashed=()
: >"$keep/failures"
while ((first < cases)); do
    count=$((cases - first < chunk ? cases - first : chunk))
    log=$keep/from-$first.log
    status=0
    TALVENDOK_FUZZ_FIRST=$first TALVENDOK_FUZZ_CASES=$count "$fuzz" fuzz >"$log" 2>&1 || status=$?
    grep -E '^FAIL!  : SettingsFuzzTest::fuzz' "$log" >>"$keep/failures" || true
    # The case that ended the process, named by the test's own last words (hang,
    # sanitizer) or by the test runner's signal report.
    ended=$(grep -oE '(fuzz:case-[0-9]+\)|fuzz\(case-[0-9]+\) Received signal)' "$log" |
        grep -oE 'case-[0-9]+' | tail -n 1 || true)
    if [[ -z $ended ]] && ! grep -q '^Totals: ' "$log"; then
        ended=unknown
    fi
    if [[ -n $ended ]]; then
        echo "cases from $first: the process ended abnormally (status $status) in $ended"
        crashed+=("$ended")
        [[ $ended == unknown ]] && break
        first=$((10#${ended#case-} + 1))
    else
        echo "cases $first to $((first + count - 1)): $(grep -c '^FAIL!' "$log" || true) failed" \
            "($((SECONDS - start)) s so far)"
        first=$((first + count))
    fi
done

failed=$({ grep -oE 'case-[0-9]+' "$keep/failures" || true; } | sort -u | wc -l)
echo "settings fuzz: $cases cases from seed $seed in $((SECONDS - start)) s;" \
    "$failed failed, ${#crashed[@]} crashed or hung"
if ((failed > 0)); then
    echo "failures by kind:"
    sed -E 's/^FAIL!  : SettingsFuzzTest::fuzz\(case-[0-9]+\) //' "$keep/failures" |
        sed -E "s/'[^']*'/'...'/g" | cut -c1-110 | sort | uniq -c | sort -rn
fi
tags=("${crashed[@]}")
mapfile -t -O "${#tags[@]}" tags < <({ grep -oE 'case-[0-9]+' "$keep/failures" || true; } |
    sort -u | head -n 20)
for tag in "${tags[@]}"; do
    [[ $tag == unknown ]] && continue
    TALVENDOK_FUZZ_DUMP=$keep/files "$fuzz" "fuzz:$tag" >"$keep/$tag.log" 2>&1 || true
done
if ((failed > 0 || ${#crashed[@]} > 0)); then
    echo "crashed or hung: ${crashed[*]:-none}"
    echo "settings files of those cases (and the first 20 failures): $keep/files"
    echo "one case again: TALVENDOK_FUZZ_SEED=$seed $fuzz fuzz:<case>"
    exit 1
fi
rm -rf "$keep"
