#!/usr/bin/env bash
# Installs what is missing, builds the program and starts the bar on the
# current display. At its first start the program creates its program folder
# from the template in build/share/talvendok.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [[ -z ${DISPLAY:-} ]]; then
    echo "run: no X display (DISPLAY is not set); start this from a desktop session," >&2
    echo "     or run scripts/test.sh, which brings its own virtual display" >&2
    exit 1
fi

bash scripts/install-deps.sh
bash scripts/build.sh build --target talvendok

# The windows are placed and found through X11; under a Wayland session this
# runs through XWayland.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb}
exec build/talvendok
