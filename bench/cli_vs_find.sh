#!/usr/bin/env bash
# Times corvelin-cli against find(1), and its scan alone against a minimal
# parallel walk, on the same generated tree.
#
#   bench/cli_vs_find.sh [FILES] [FOLDERS] [SEED]     (defaults: 1000000 2469 1)
#
# Environment: CORVELIN_BENCH_RUNS rounds (default 5); CORVELIN_BENCH_COLD=1
# empties the kernel's caches before every command (needs root), otherwise the
# cache is warmed once; CORVELIN_SCAN_READERS and CORVELIN_FLOOR_THREADS set
# the listing threads of the scan and of the floor.
#
# Builds a Release tree in build-release/, generates the tree (sparse files, so
# it takes little disk) under ${CORVELIN_BENCH_DIR:-/tmp/cvb}, then runs the
# commands in turn (corvelin-cli twice: quiet, and with its summary of every
# pack's image), round after round, so that a drift of the machine's speed
# touches them alike. Reports the median wall time of each, the median of
# the per-round ratios, and the peak memory of corvelin-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
files=${1:-1000000}
folders=${2:-2469}
seed=${3:-1}
runs=${CORVELIN_BENCH_RUNS:-5}
cold=${CORVELIN_BENCH_COLD:-0}
root=${CORVELIN_BENCH_DIR:-/tmp/cvb}
tree="$root/t$files-$seed"

scripts/install-deps.sh
command -v /usr/bin/time >/dev/null || { apt-get install -y -qq time >/dev/null; }
CORVELIN_BUILD_DIR=build-release CORVELIN_BUILD_TYPE=Release \
    CORVELIN_BUILD_TARGETS="corvelin-cli corvelin_make_tree corvelin_min_walk corvelin_scan_only" \
    scripts/build.sh -DCORVELIN_BUILD_BENCH=ON -DCORVELIN_BUILD_TESTS=OFF >/dev/null

if [[ ! -d "$tree" ]]; then
    mkdir -p "$root"
    build-release/bench/corvelin_make_tree "$tree.tmp" "$files" "$folders" "$seed"
    mv "$tree.tmp" "$tree"
fi

floor_threads=${CORVELIN_FLOOR_THREADS:-}
if [[ -z "$floor_threads" ]]; then
    floor_threads=$(nproc)
    [[ "$cold" == 1 ]] && floor_threads=$((4 * $(nproc)))
fi

prepare() {
    if [[ "$cold" == 1 ]]; then
        sync
        echo 3 >/proc/sys/vm/drop_caches
    fi
}
seconds() {  # wall seconds of one run of "$@"
    prepare
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$start $end" | awk '{ printf "%.3f", $2 - $1 }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); print (NR % 2) ? v[m] : (v[m] + v[m + 1]) / 2 }'; }

[[ "$cold" == 1 ]] || find "$tree" -printf '%s %p\n' >/dev/null  # warm the metadata cache

results=$(mktemp)
trap 'rm -f "$results"' EXIT
for ((round = 1; round <= runs; ++round)); do
    f=$(seconds find "$tree" -printf '%s %p\n')
    c=$(seconds build-release/corvelin-cli -q --export /dev/null "$tree")
    s=$(seconds build-release/bench/corvelin_scan_only "$tree")
    w=$(seconds build-release/bench/corvelin_min_walk "$tree" "$floor_threads")
    # The same run with its summary, which estimates every pack's image.
    m=$(seconds build-release/corvelin-cli --export /dev/null "$tree")
    echo "$f $c $s $w $m" >>"$results"
    echo "round $round: find $f s, corvelin-cli $c s, scan $s s, floor $w s, with summary $m s" >&2
done
prepare
peak_kb=$(/usr/bin/time -f '%M' build-release/corvelin-cli -q --export /dev/null "$tree" 2>&1 >/dev/null | tail -n 1)

col() { awk -v k="$1" '{ print $k }' "$results" | median; }
ratio() { awk -v a="$1" -v b="$2" '{ print $a / $b }' "$results" | median; }
avg_path=$(find "$tree" -printf '%p\n' | awk '{ s += length($0) } END { printf "%.0f", s / NR }')
cache=warm
[[ "$cold" == 1 ]] && cache="cold (caches dropped before each command)"
printf 'tree: %d files in %d folders, paths of %d bytes on average; %s cache, %d rounds, medians\n' \
    "$files" "$folders" "$avg_path" "$cache" "$runs"
printf 'find -printf:                   %6.2f s\n' "$(col 1)"
printf 'corvelin-cli --export:          %6.2f s  (%.2fx find), peak %.0f MB\n' "$(col 2)" "$(ratio 2 1)" \
    "$(awk -v m="$peak_kb" 'BEGIN { print m / 1024 }')"
printf '  with its summary:             %6.2f s  (%.2fx find)\n' "$(col 5)" "$(ratio 5 1)"
printf 'the scan alone:                 %6.2f s  (%.2fx find, %.2fx the floor)\n' "$(col 3)" \
    "$(ratio 3 1)" "$(ratio 3 4)"
printf 'floor (%2d threads):             %6.2f s  (%.2fx find)\n' "$floor_threads" "$(col 4)" \
    "$(ratio 4 1)"
