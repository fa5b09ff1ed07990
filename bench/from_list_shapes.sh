#!/usr/bin/env bash
# corvelin-cli --from-list on inventories of RECORDS files (default 300,000)
# that differ only in their shape, each planned into DVD packs with the summary
# and every pack's image estimate; prints the best of RUNS (default 3) of each
# and the ratios. Reading must stay linear in the records whatever the shape:
#   flat    every file in a subfolder of its own, all in one folder (an object
#           store, a mail folder)
#   parents the same subfolders spread over 200 parent folders
#   files   the same files directly in 200 folders (half the items: no
#           subfolder per file)
# The flat inventory may take at most 1.5 times the one spread over 200 parents.
#   bench/from_list_shapes.sh [RECORDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
records=${1:-300000}
runs=${2:-3}
CORVELIN_BUILD_DIR=build-release CORVELIN_BUILD_TYPE=Release \
    CORVELIN_BUILD_TARGETS="corvelin-cli corvelin_make_inventory" \
    scripts/build.sh -DCORVELIN_BUILD_BENCH=ON -DCORVELIN_BUILD_DESKTOP=OFF -DCORVELIN_BUILD_TESTS=OFF >/dev/null
work=$(mktemp -d "${TMPDIR:-/tmp}/corvelin-shapes-XXXXXX")
trap 'rm -rf "$work"' EXIT
make=build-release/bench/corvelin_make_inventory
"$make" "$records" "$records" 1 1 >"$work/flat"
"$make" "$records" "$records" 1 200 >"$work/parents"
"$make" "$records" 200 1 >"$work/files"
cat "$work"/* >/dev/null  # warm the cache

# The best wall time of the runs, in seconds.
best() {
    local best= start end
    for ((i = 0; i < runs; ++i)); do
        start=$(date +%s.%N)
        build-release/corvelin-cli --from-list "$1" -s "DVD(4.7GB)" -o /dev/null >/dev/null
        end=$(date +%s.%N)
        best=$(awk -v s="$start" -v e="$end" -v b="$best" \
            'BEGIN { t = e - s; if (b != "" && b < t) t = b; printf "%.3f", t }')
    done
    echo "$best"
}

flat=$(best "$work/flat")
parents=$(best "$work/parents")
files=$(best "$work/files")
echo "$records files, each in a subfolder of one folder:  $flat s"
echo "$records files, each in a subfolder of 200 folders: $parents s"
echo "$records files directly in 200 folders:             $files s"
awk -v f="$flat" -v p="$parents" -v s="$files" 'BEGIN {
    printf "flat / parents %.2f (at most 1.50), flat / files %.2f\n", f / p, f / s
    exit f / p > 1.5 }'
