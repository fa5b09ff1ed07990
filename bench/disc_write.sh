#!/usr/bin/env bash
# Writing a pack to an image, checksums included, against xorrisofs building the
# same image from the graft list without them; then verifying that image
# against reading it with cat, cold (page cache dropped for the image, when
# allowed) and cached. SIZE_MB of data: one large file and 1,000 small ones.
#   bench/disc_write.sh [SIZE_MB] [RUNS]
# CORVELIN_CLI names a built corvelin-cli (default: a Release build is made).
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-1000}
runs=${2:-5}
cli=${CORVELIN_CLI:-}
if [[ -z "$cli" ]]; then
    CORVELIN_BUILD_DIR=build-release CORVELIN_BUILD_TYPE=Release \
        CORVELIN_BUILD_TARGETS="corvelin-cli" \
        scripts/build.sh -DCORVELIN_BUILD_DESKTOP=OFF -DCORVELIN_BUILD_TESTS=OFF >/dev/null
    cli=$PWD/build-release/corvelin-cli
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/corvelin-disc-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src/small" "$work/data"
head -c $((size_mb * 1000000)) /dev/urandom >"$work/src/big.bin"
for i in $(seq 1 1000); do head -c 4000 /dev/urandom >"$work/src/small/f$i"; done
cat "$work"/src/big.bin "$work"/src/small/* >/dev/null  # warm the cache
export XDG_DATA_HOME="$work/data"
size="$((size_mb * 2))M"
"$cli" -q -s "$size" --graft-lists "$work/lists" "$work/src"

echo "== write: corvelin-cli --write-images (SHA-256, no verify) vs xorrisofs -o"
farm-bench -n "$runs" --timeout 3000 \
    --vs "xorrisofs -r -J -joliet-long -iso-level 3 -V PACK_01 -o $work/x.iso -graft-points -path-list $work/lists/pack01.lst" \
    -- "$cli" -q -s "$size" --no-verify --write-images "$work/img" "$work/src"
echo "== write with xorriso's MD5 recording (--md5) vs xorrisofs -o"
farm-bench -n "$runs" --timeout 3000 \
    --vs "xorrisofs -r -J -joliet-long -iso-level 3 -V PACK_01 -o $work/x.iso -graft-points -path-list $work/lists/pack01.lst" \
    -- "$cli" -q -s "$size" --no-verify --md5 --write-images "$work/img" "$work/src"

image="$work/img/pack01.iso"
echo "== verify, cached: corvelin-cli --verify vs cat IMAGE"
cat "$image" >/dev/null
farm-bench -n "$runs" --timeout 3000 --vs "sh -c 'exec cat $image >/dev/null'" \
    -- "$cli" -q --verify "$image"
echo "== SHA-256 of libcrypto on one core, for the cached rate"
openssl speed -seconds 2 -evp sha256 2>/dev/null | tail -1
if command -v dd >/dev/null && dd if="$image" iflag=nocache count=0 2>/dev/null; then
    echo "== verify, cold (the image dropped from the cache before each run)"
    farm-bench -n "$runs" --timeout 3000 \
        --vs "sh -c 'dd if=$image iflag=nocache count=0 2>/dev/null; exec cat $image >/dev/null'" \
        -- sh -c "dd if=$image iflag=nocache count=0 2>/dev/null; exec $cli -q --verify $image"
fi
