#!/usr/bin/env bash
# Times a drop of the generated tree on the real list view against the scan
# alone, and reports the peak memory of the program with the window.
#
#   bench/view_drop.sh [FILES] [FOLDERS] [SEED]     (defaults: 1000000 2469 1)
#
# Uses the same tree as bench/cli_vs_find.sh (sparse files under
# ${CORVELIN_BENCH_DIR:-/tmp/cvb}); the window runs on Qt's offscreen platform
# unless QT_QPA_PLATFORM says otherwise (Xvfb: QT_QPA_PLATFORM=xcb DISPLAY=:99).
set -euo pipefail
cd "$(dirname "$0")/.."
files=${1:-1000000}
folders=${2:-2469}
seed=${3:-1}
root=${CORVELIN_BENCH_DIR:-/tmp/cvb}
tree="$root/t$files-$seed"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

CORVELIN_BUILD_DIR=build-release CORVELIN_BUILD_TYPE=Release \
    CORVELIN_BUILD_TARGETS="corvelin_make_tree corvelin_view_drop_bench corvelin-cli" \
    scripts/build.sh -DCORVELIN_BUILD_BENCH=ON -DCORVELIN_BUILD_TESTS=OFF >/dev/null

if [[ ! -d "$tree" ]]; then
    mkdir -p "$root"
    build-release/bench/corvelin_make_tree "$tree.tmp" "$files" "$folders" "$seed"
    mv "$tree.tmp" "$tree"
fi
find "$tree" -printf '%s %p\n' >/dev/null  # warm the metadata cache

bench=build-release/bench/corvelin_view_drop_bench
for run in 1 2 3; do
    echo "--- run $run"
    "$bench" scan "$tree" 2>/dev/null
    "$bench" view "$tree" 2>/dev/null
done
start=$(date +%s.%N)
build-release/corvelin-cli -q --export /dev/null "$tree" >/dev/null 2>&1
end=$(date +%s.%N)
echo "--- corvelin-cli (scan, pack and export): $(echo "$start $end" | awk '{printf "%.2f", $2 - $1}') s"
