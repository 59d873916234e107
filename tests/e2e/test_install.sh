#!/usr/bin/env bash
# Installs into a prefix with a blank in it, validates what the desktop reads, and starts the
# installed program with an empty home: it creates the program folder from its installed
# template (that a later start copies nothing again, the unit test of the folder shows).
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
prefix="$E2E_TMP/install prefix"
cmake --install "$(dirname "$TALVENDOK_BIN")" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1 ||
    e2e_fail "cmake --install failed: $(tail -n 5 "$E2E_TMP/install.log")"

id=org.talvendok.Talvendok
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
[[ -f $prefix/share/man/man1/talvendok.1 ]] || e2e_fail "no manual page installed"
# Warnings count too: the validator prints nothing for a clean entry.
desktop-file-validate "$desktop" >"$E2E_TMP/validate.log" 2>&1 && [[ ! -s $E2E_TMP/validate.log ]] ||
    e2e_fail "desktop entry: $(cat "$E2E_TMP/validate.log")"
appstreamcli validate --no-net "$metainfo" >"$E2E_TMP/appstream.log" 2>&1 ||
    e2e_fail "metainfo: $(cat "$E2E_TMP/appstream.log")"
grep -qx "Icon=$id" "$desktop" || e2e_fail "the desktop entry names another icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    e2e_fail "the metainfo names another desktop entry"
for size in 16 22 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x$size/apps/$id.png
    e2e_assert_eq "$(identify -format '%wx%h' "$icon" 2>&1)" "${size}x$size" "the ${size}px icon"
done
diff -r "$E2E_ROOT/resources/program_folder" "$prefix/share/talvendok" >&2 ||
    e2e_fail "the installed template differs from resources/program_folder"

# First start with an empty home: the program folder appears before the bar does.
TALVENDOK_BIN=$prefix/bin/talvendok
folder=$XDG_DATA_HOME/TALVENDOK/drive_c/TALVENDOK
e2e_open_bar
diff -r "$prefix/share/talvendok" "$folder" >&2 || e2e_fail "the program folder is not the template"
e2e_assert_eq "$(ls -A "$XDG_DATA_HOME/TALVENDOK/drive_c")" "TALVENDOK" "contents of drive_c"
# The desktop ties the running window to its entry by this class.
class=$(xprop -id "$bar" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
e2e_assert_eq "StartupWMClass=$class" "$(grep '^StartupWMClass=' "$desktop")" "window class"

e2e_log "ok"
