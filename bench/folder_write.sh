#!/usr/bin/env bash
# Copying a pack to a folder, checksums, checklist and index included, against
# "cp -a SRC DST && sync" of the same files, both from a warm cache onto the
# same file system. SIZE_MB of data: a few large files and 2,000 small ones.
#   bench/folder_write.sh [SIZE_MB] [RUNS]
# CORVELIN_CLI names a built corvelin-cli (default: a Release build is made).
# BENCH_DIR puts the work folder elsewhere (default TMPDIR or /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-1000}
runs=${2:-5}
source bench/timing.sh
cli=$(release_cli)
work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/corvelin-folder-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src/small" "$work/data"
# A mixed pack: four large files for three quarters, small ones for the rest.
big=$((size_mb * 1000000 * 3 / 4 / 4))
for i in 1 2 3 4; do head -c $big /dev/urandom >"$work/src/big$i.bin"; done
small=$((size_mb * 1000000 / 4 / 2000))
for i in $(seq 1 2000); do head -c $small /dev/urandom >"$work/src/small/f$i"; done
cat "$work"/src/*.bin "$work"/src/small/* >/dev/null  # warm the cache
export XDG_DATA_HOME="$work/data"
size="$((size_mb * 2))M"

echo "== corvelin-cli --write-folders (SHA-256, no verify) vs cp -a && sync"
as=() bs=() ratios=()
for ((i = 0; i < runs; i++)); do
    rm -rf "$work/dst" "$work/cp" && mkdir "$work/dst" && sync
    a=$(timed "$cli" -q -s "$size" --no-verify --write-folders "$work/dst" "$work/src")
    sync
    b=$(timed sh -c "cp -a '$work/src' '$work/cp' && sync")
    as+=("$a") bs+=("$b") ratios+=("$(ratio "$a" "$b")")
    echo "  run $((i + 1)): $a s against $b s"
done
echo "median $(median "${as[@]}") s against $(median "${bs[@]}") s, ratio $(median "${ratios[@]}") (${ratios[*]})"
