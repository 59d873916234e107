#!/usr/bin/env bash
# Builds the Debian package dist/talvendok_<version>_<arch>.deb and checks it with lintian.
# Installs what building the package needs first (through apt-get, with sudo when not
# root). The tests are not run here (nocheck): scripts/test.sh runs them.
#   scripts/package.sh
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

if (($# > 0)); then
    sed -n '2,5s/^# \{0,1\}//p' "$0"
    [[ $1 == -h || $1 == --help ]]
    exit
fi
if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
    echo "package: not a Debian system" >&2
    exit 1
fi

# A fresh Debian has no sudo, but there the user is root anyway.
as_root() {
    if ((EUID == 0)); then
        env DEBIAN_FRONTEND=noninteractive "$@"
    elif command -v sudo >/dev/null; then
        sudo env DEBIAN_FRONTEND=noninteractive "$@"
    else
        echo "package: need root (or sudo) to run: $*" >&2
        exit 1
    fi
}
updated=
apt_get() {
    [[ -n $updated ]] || as_root apt-get update
    updated=1
    as_root apt-get -y --no-install-recommends "$@"
}

tools=(build-essential dpkg-dev debhelper lintian)
missing=()
for pkg in "${tools[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [[ $status == installed ]] || missing+=("$pkg")
done
((${#missing[@]} == 0)) || apt_get install "${missing[@]}"

export DEB_BUILD_OPTIONS="nocheck${DEB_BUILD_OPTIONS:+ $DEB_BUILD_OPTIONS}"
export DEB_BUILD_PROFILES="nocheck${DEB_BUILD_PROFILES:+ $DEB_BUILD_PROFILES}"
# debian/control's Build-Depends, those missing; the tests' tools are left out (nocheck).
dpkg-checkbuilddeps 2>/dev/null || apt_get build-dep -P nocheck ./

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb=talvendok_${version}_${arch}.deb

# dpkg-buildpackage writes next to the source folder; the results are moved to dist/.
dpkg-buildpackage -us -uc -b
debian/rules clean >/dev/null
mkdir -p dist
for f in ../talvendok_"$version"_"$arch".* ../talvendok-dbgsym_"$version"_"$arch".*; do
    [[ ! -e $f ]] || mv -f "$f" dist/
done

echo "package: lintian dist/$deb"
lintian --display-info dist/"$deb"
echo "package: built $PWD/dist/$deb ($(stat -c %s "dist/$deb") bytes)"
