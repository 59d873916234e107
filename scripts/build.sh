#!/usr/bin/env bash
# Configures and builds TALVENDOK.
#   scripts/build.sh [BUILD_DIR] [--target NAME] [EXTRA CMAKE ARGS...]
# BUILD_DIR defaults to "build", relative to the repository root; the program
# is then build/talvendok. --target builds only NAME (and what it needs)
# instead of everything. TALVENDOK_JOBS overrides the number of build jobs.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

build_dir=build
if (($# > 0)) && [[ $1 != -* ]]; then
    build_dir=$1
    shift
fi
target=()
cmake_args=()
while (($# > 0)); do
    if [[ $1 == --target ]] && (($# > 1)); then
        target=(--target "$2")
        shift 2
    else
        cmake_args+=("$1")
        shift
    fi
done

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cmake_args[@]}"
cmake --build "$build_dir" -j"${TALVENDOK_JOBS:-$(nproc)}" "${target[@]}"
