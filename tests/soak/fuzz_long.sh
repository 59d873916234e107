#!/usr/bin/env bash
# A long search with the settings fuzzer: CASES hostile settings files (default
# 10000) from SEED (random when not given; printed first so that the run can be
# repeated), in chunks of FUZZ_CHUNK (500), each chunk a fresh process given an
# hour. A crash or hang ends its chunk; the search goes on after that case.
#
#   tests/soak/fuzz_long.sh [CASES] [SEED] [BUILD_DIR]
#
# BUILD_DIR defaults to build/ (a sanitizer build works too). Exit status 1 when
# any case failed, crashed or hung.
set -euo pipefail
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cases=${1:-10000}
seed=${2:-$(od -An -N6 -tu8 /dev/urandom | tr -d ' ')}
fuzz=${3:-$source_dir/build}/tests/tst_settings_fuzz
[[ -x $fuzz ]] || { echo "no $fuzz: build the target tst_settings_fuzz first" >&2; exit 2; }
log=$(mktemp "${TMPDIR:-/tmp}/talvendok-fuzz.XXXXXX")
echo "settings fuzz: $cases cases from seed $seed (log in $log)"
export QT_QPA_PLATFORM=offscreen TALVENDOK_FUZZ_SEED=$seed
first=0
bad=0
while ((first < cases)); do
    count=$((cases - first < ${FUZZ_CHUNK:-500} ? cases - first : ${FUZZ_CHUNK:-500}))
    status=0
    TALVENDOK_FUZZ_FIRST=$first TALVENDOK_FUZZ_CASES=$count timeout 3600 "$fuzz" fuzz \
        >"$log.part" 2>&1 || status=$?
    cat "$log.part" >>"$log"
    grep -E '^FAIL!' "$log.part" && bad=1
    if grep -q '^Totals: ' "$log.part"; then
        first=$((first + count))
        continue
    fi
    # The case after the last one reported is the one that ended the process.
    last=$(grep -oE '^(PASS|FAIL!) +: SettingsFuzzTest::fuzz\(case-[0-9]+\)' "$log.part" |
        grep -oE '[0-9]+' | tail -n 1 || true)
    first=$((${last:-$((first - 1))} + 1))
    echo "case-$first crashed or hung (status $status)"
    bad=1
    first=$((first + 1))
done
rm -f "$log.part"
echo "one case again: TALVENDOK_FUZZ_SEED=$seed TALVENDOK_FUZZ_FIRST=<n> TALVENDOK_FUZZ_CASES=1 $fuzz fuzz"
exit $bad
