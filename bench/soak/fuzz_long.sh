#!/usr/bin/env bash
# A long search with the settings fuzzer: CASES hostile settings files (default
# 10000) from SEED (random when not given; printed first so that the run can be
# repeated), in chunks of FUZZ_CHUNK (500), each chunk a fresh process given an
# hour. A crash or hang ends its chunk; the search goes on after that case.
#
#   bench/soak/fuzz_long.sh [CASES] [SEED] [BUILD_DIR]
#
# BUILD_DIR defaults to build/ (a sanitizer build works too). Exit status 1 when
# any case failed, crashed or hung.
set -uo pipefail
cases=${1:-10000}
seed=${2:-$(od -An -N6 -tu8 /dev/urandom | tr -d ' ')}
fuzz=${3:-$(dirname "$0")/../../build}/tests/tst_settings_fuzz
[[ -x $fuzz ]] || { echo "no $fuzz: build the target tst_settings_fuzz first" >&2; exit 2; }
log=$(mktemp "${TMPDIR:-/tmp}/talvendok-fuzz.XXXXXX")
echo "settings fuzz: $cases cases from seed $seed (log in $log)"
export QT_QPA_PLATFORM=offscreen TALVENDOK_FUZZ_SEED=$seed
first=0 bad=0
while ((first < cases)); do
    count=$((cases - first < ${FUZZ_CHUNK:-500} ? cases - first : ${FUZZ_CHUNK:-500}))
    part=$(TALVENDOK_FUZZ_FIRST=$first TALVENDOK_FUZZ_CASES=$count timeout 3600 "$fuzz" fuzz 2>&1)
    printf '%s\n' "$part" >>"$log"
    grep -E '^FAIL!' <<<"$part" && bad=1
    # A chunk without totals ended in the case after the last one reported: skip that one.
    if ! grep -q '^Totals: ' <<<"$part"; then
        last=$(grep -oE '^(PASS|FAIL!) +: SettingsFuzzTest::fuzz\(case-[0-9]+\)' <<<"$part" |
            grep -oE '[0-9]+' | tail -n 1)
        count=$((${last:-$((first - 1))} + 2 - first))
        echo "case-$((first + count - 1)) crashed or hung"
        bad=1
    fi
    first=$((first + count))
done
echo "one case again: TALVENDOK_FUZZ_SEED=$seed TALVENDOK_FUZZ_FIRST=<n> TALVENDOK_FUZZ_CASES=1 $fuzz fuzz"
exit $bad
