#!/usr/bin/env bash
# Sets up, builds and starts Corvelin. Arguments go to the program; without
# any it shows its help.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [[ $# -eq 0 ]]; then
    exec build/corvelin-cli --help
fi
exec build/corvelin-cli "$@"
