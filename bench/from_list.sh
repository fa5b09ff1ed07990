#!/usr/bin/env bash
# Plans from an inventory of RECORDS files (default 10,000,000) the way a user
# plans a NAS without scanning it: corvelin-cli --from-list, packing into DVDs,
# exporting to /dev/null and printing the summary with every pack's image
# estimate. Prints the wall time and peak memory.
#   bench/from_list.sh [RECORDS] [FOLDERS] [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
records=${1:-10000000}
folders=${2:-25000}
seed=${3:-1}
CORVELIN_BUILD_DIR=build-release CORVELIN_BUILD_TYPE=Release \
    CORVELIN_BUILD_TARGETS="corvelin-cli corvelin_make_inventory" \
    scripts/build.sh -DCORVELIN_BUILD_BENCH=ON -DCORVELIN_BUILD_DESKTOP=OFF -DCORVELIN_BUILD_TESTS=OFF >/dev/null
inventory=$(mktemp "${TMPDIR:-/tmp}/corvelin-inventory-XXXXXX")
trap 'rm -f "$inventory"' EXIT
build-release/bench/corvelin_make_inventory "$records" "$folders" "$seed" >"$inventory"
echo "inventory: $records records, $(stat -c %s "$inventory") bytes"
cat "$inventory" >/dev/null  # warm the cache
/usr/bin/time -f "corvelin-cli --from-list: %e s, peak %M KB" \
    build-release/corvelin-cli --from-list "$inventory" -s "DVD(4.7GB)" -o /dev/null >/dev/null
