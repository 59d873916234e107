#!/usr/bin/env bash
# Installs the Debian 12 packages that TALVENDOK needs, only those missing.
#   scripts/install-deps.sh          what building and running need
#   scripts/install-deps.sh --test   and what the tests need (Xvfb, openbox, ...)
set -euo pipefail

build_packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6test6 libxcb1-dev libgl-dev
    libglib2.0-dev zlib1g-dev libqt6svg6
    fonts-wine fonts-liberation fonts-dejavu-core
)
test_packages=(
    xvfb xauth xdotool x11-utils wmctrl imagemagick
    openbox fluxbox icewm xfwm4 metacity dbus
    desktop-file-utils appstream at-spi2-core python3-pyatspi
    sway xwayland qt6-wayland
)

wanted=("${build_packages[@]}")
for arg in "$@"; do
    case $arg in
        --test) wanted+=("${test_packages[@]}") ;;
        -h | --help)
            sed -n '2,4s/^# \{0,1\}//p' "$0"
            exit 0
            ;;
        *)
            echo "install-deps: unknown argument '$arg'" >&2
            exit 2
            ;;
    esac
done

if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    echo "install-deps: not a Debian system; make sure these are installed:" >&2
    echo "  ${wanted[*]}" >&2
    exit 0
fi

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [[ $status == installed ]] || missing+=("$pkg")
done

if ((${#missing[@]} == 0)); then
    echo "install-deps: all ${#wanted[@]} packages are installed"
    exit 0
fi

# A fresh Debian has no sudo, but there the user is root anyway.
if ((EUID == 0)); then
    as_root=(env DEBIAN_FRONTEND=noninteractive)
elif command -v sudo >/dev/null; then
    as_root=(sudo env DEBIAN_FRONTEND=noninteractive)
else
    echo "install-deps: need root (or sudo) to install: ${missing[*]}" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
