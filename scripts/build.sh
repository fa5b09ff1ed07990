#!/usr/bin/env bash
# Configures and builds Corvelin into build/ (or $CORVELIN_BUILD_DIR). Arguments
# go to CMake; $CORVELIN_BUILD_TARGETS (space-separated) limits the build to
# those targets.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${CORVELIN_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=${CORVELIN_BUILD_TYPE:-RelWithDebInfo} \
    -DCORVELIN_WERROR=${CORVELIN_WERROR:-ON} "$@" >/dev/null
targets=()
for target in ${CORVELIN_BUILD_TARGETS:-}; do
    targets+=(--target "$target")
done
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
