#!/usr/bin/env bash
# Configures and builds TALVENDOK.
#   scripts/build.sh [BUILD_DIR] [EXTRA CMAKE ARGS...]
# BUILD_DIR defaults to "build", relative to the repository root; the program
# is then build/talvendok. TALVENDOK_JOBS overrides the number of build jobs.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

build_dir=build
if (($# > 0)) && [[ $1 != -* ]]; then
    build_dir=$1
    shift
fi

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build_dir" -j"${TALVENDOK_JOBS:-$(nproc)}"
