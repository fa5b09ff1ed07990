#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd "${CORVELIN_BUILD_DIR:-build}"
ctest --output-on-failure -j"$(nproc)"
