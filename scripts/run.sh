#!/usr/bin/env bash
# Installs what is missing, builds, puts the program folder in place when it
# does not exist yet, and starts the bar on the current display.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [[ -z ${DISPLAY:-} ]]; then
    echo "run: no X display (DISPLAY is not set); start this from a desktop session," >&2
    echo "     or run scripts/test.sh, which brings its own virtual display" >&2
    exit 1
fi

bash scripts/install-deps.sh
bash scripts/build.sh build

# C:\TALVENDOK\ lives here. Folder names match without regard to case, so a
# drive_c/talvendok made by hand already counts as the program folder.
drive_c=${XDG_DATA_HOME:-$HOME/.local/share}/TALVENDOK/drive_c
existing=
if [[ -d $drive_c ]]; then
    existing=$(find "$drive_c" -mindepth 1 -maxdepth 1 -type d -iname TALVENDOK -print -quit)
fi
if [[ -z $existing ]]; then
    [[ -d resources/program_folder ]] || {
        echo "run: resources/program_folder is missing from the source tree" >&2
        exit 1
    }
    mkdir -p "$drive_c"
    # Copy next to it and rename, so that a broken copy never passes for a
    # complete program folder at the next run.
    staging=$(mktemp -d "$drive_c/.TALVENDOK.XXXXXX")
    cp -R resources/program_folder/. "$staging"/
    chmod 0755 "$staging"
    mv -T "$staging" "$drive_c/TALVENDOK"
    echo "run: program folder created at $drive_c/TALVENDOK"
fi

# The windows are placed and found through X11; under a Wayland session this
# runs through XWayland.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb}
exec build/talvendok
