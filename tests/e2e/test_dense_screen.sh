#!/usr/bin/env bash
# The bar at a device pixel ratio of 2: twice its client size, and its background drawn
# from the picture of twice the pixels, not the 1x one blown up (which blurs the mottle
# and the highlight line under the title band).
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
QT_SCALE_FACTOR=2 e2e_open_bar
read -r _ _ width height < <(e2e_geometry "$bar")
e2e_assert_eq "${width}x${height}" "674x280" "client size at ratio 2"

# The drag strip between the panels and the title shows the background alone.
strip=320x30+80+4
import -window "$bar" -crop "$strip" +repage "$E2E_TMP/shown.png"
convert "$E2E_ROOT/resources/pictures/bar@2x.jpg" -crop "$strip" +repage "$E2E_TMP/dense.png"
differing=$(compare -metric AE -fuzz 3% "$E2E_TMP/shown.png" "$E2E_TMP/dense.png" null: 2>&1 || true)
[[ $differing =~ ^[0-9]+$ ]] || e2e_fail "could not compare the screenshot: $differing"
((differing < 100)) || e2e_fail "$differing of 9600 pixels differ from the 2x picture"
