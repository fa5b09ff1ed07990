#!/usr/bin/env bash
# Times corvelin-cli against find(1) on the same generated tree.
#
#   bench/cli_vs_find.sh [FILES] [FOLDERS] [SEED]     (defaults: 1000000 2469 1)
#
# Builds a Release tree in build-release/, generates the tree (sparse files, so
# it takes little disk) under ${CORVELIN_BENCH_DIR:-/tmp/corvelin-bench}, warms
# the cache, then runs each command three times and reports the best wall time
# and the peak memory of corvelin-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
files=${1:-1000000}
folders=${2:-2469}
seed=${3:-1}
root=${CORVELIN_BENCH_DIR:-/tmp/cvb}
tree="$root/t$files-$seed"

scripts/install-deps.sh
command -v /usr/bin/time >/dev/null || { apt-get install -y -qq time >/dev/null; }
CORVELIN_BUILD_DIR=build-release CORVELIN_BUILD_TYPE=Release scripts/build.sh \
    -DCORVELIN_BUILD_BENCH=ON -DCORVELIN_BUILD_TESTS=OFF >/dev/null

if [[ ! -d "$tree" ]]; then
    mkdir -p "$root"
    build-release/bench/corvelin_make_tree "$tree.tmp" "$files" "$folders" "$seed"
    mv "$tree.tmp" "$tree"
fi

# Warm the metadata cache.
find "$tree" -printf '%s %p\n' >/dev/null

best() {  # best wall seconds of three runs of "$@"
    local best_s=""
    for _ in 1 2 3; do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s.%N)
        best_s=$(echo "$start $end ${best_s:-}" | awk '{t=$2-$1; if ($3=="" || t<$3) print t; else print $3}')
    done
    echo "$best_s"
}

find_s=$(best find "$tree" -printf '%s %p\n')
cli_s=$(best build-release/corvelin-cli -q --export /dev/null "$tree")
peak_kb=$(/usr/bin/time -f '%M' build-release/corvelin-cli -q --export /dev/null "$tree" 2>&1 >/dev/null | tail -n 1)

avg_path=$(find "$tree" -printf '%p\n' | awk '{ s += length($0) } END { printf "%.0f", s / NR }')
awk -v p="$avg_path" -v f="$find_s" -v c="$cli_s" -v m="$peak_kb" -v n="$files" -v d="$folders" 'BEGIN {
    printf "tree: %d files in %d folders, paths of %d bytes on average\n", n, d, p
    printf "find -printf:              %6.2f s\n", f
    printf "corvelin-cli --export:     %6.2f s  (%.2fx find), peak %.0f MB\n", c, c / f, m / 1024
}'
