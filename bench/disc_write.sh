#!/usr/bin/env bash
# Writing a pack to an image, checksums included, against xorrisofs building the
# same image from the graft list without them (sources cold, then cached), each
# pair run side by side; then verifying the image against cat reading it (cold)
# and against libcrypto's SHA-256 rate on every processor (cached). SIZE_MB of
# data: four large files for nine tenths, 1,000 small ones for the rest.
#   bench/disc_write.sh [SIZE_MB] [RUNS]       (default 4700 MB, 3 runs)
# Cold runs drop the page cache before each command and need root; without it
# they are skipped. Medians of the per-pair ratios are printed.
# CORVELIN_CLI names a built corvelin-cli (default: a Release build is made);
# BENCH_DIR puts the work folder elsewhere (default TMPDIR or /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-4700}
runs=${2:-3}
source bench/timing.sh
cli=$(release_cli)
work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/corvelin-disc-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src/small" "$work/data" "$work/img"
big=$((size_mb * 1000000 * 9 / 10 / 4))
for i in 1 2 3 4; do head -c $big /dev/urandom >"$work/src/big$i.bin"; done
small=$((size_mb * 1000000 / 10 / 1000))
for i in $(seq 1 1000); do head -c $small /dev/urandom >"$work/src/small/f$i"; done
export XDG_DATA_HOME="$work/data"
size="$((size_mb * 21 / 20))M"
"$cli" -q -s "$size" --graft-lists "$work/lists" "$work/src"
[[ $(ls "$work/lists") == pack01.lst ]] || { echo "the data does not fit one pack" >&2; exit 1; }
image=$work/img/pack01.iso

cold=0
if can_drop_caches; then cold=1; fi

xorrisofs_cmd=(xorrisofs -r -J -joliet-long -iso-level 3 -V PACK_01 -o "$work/x.iso"
    -graft-points -path-list "$work/lists/pack01.lst")
write_cmd=("$cli" -q -s "$size" --no-verify --write-images "$work/img" "$work/src")

# LABEL COLD(0/1) ARGS...: the writer with ARGS against xorrisofs, RUNS pairs.
write_pairs() {
    local label=$1 dropping=$2 i a b ratios=() as=() bs=()
    shift 2
    for ((i = 0; i < runs; i++)); do
        rm -f "$image" "$work/x.iso"
        ((dropping)) && drop_caches
        a=$(timed "${write_cmd[@]}" "$@")
        ((dropping)) && drop_caches
        b=$(timed "${xorrisofs_cmd[@]}")
        as+=("$a") bs+=("$b") ratios+=("$(ratio "$a" "$b")")
        echo "  run $((i + 1)): $a s against $b s"
    done
    echo "$label: median $(median "${as[@]}") s against $(median "${bs[@]}") s, ratio $(median "${ratios[@]}") (${ratios[*]})"
}

if ((cold)); then
    echo "== write, sources cold: corvelin-cli --write-images (SHA-256) vs xorrisofs -o"
    write_pairs "write cold"  1
    echo "== the same with xorriso's MD5 recording (--md5)"
    write_pairs "write cold --md5" 1 --md5
fi
echo "== write, sources cached"
cat "$work"/src/*.bin "$work"/src/small/* >/dev/null
write_pairs "write cached" 0
rm -f "$image"
"${write_cmd[@]}" >/dev/null 2>&1
bytes=$(stat -c %s "$image")

if ((cold)); then
    echo "== verify, image cold: corvelin-cli --verify vs cat IMAGE >/dev/null"
    ratios=()
    for ((i = 0; i < runs; i++)); do
        drop_caches
        a=$(timed "$cli" -q --verify "$image")
        drop_caches
        b=$(timed sh -c "exec cat '$image' >/dev/null")
        ratios+=("$(ratio "$b" "$a")")
        echo "  run $((i + 1)): $a s against $b s"
    done
    echo "verify cold: rate $(median "${ratios[@]}") of cat's (${ratios[*]})"
fi
echo "== verify, image cached: corvelin-cli --verify vs libcrypto SHA-256 on $(nproc) processors"
cat "$image" >/dev/null
ratios=()
for ((i = 0; i < runs; i++)); do
    a=$(timed "$cli" -q --verify "$image")
    # openssl prints thousands of bytes a second.
    rate=$(openssl speed -multi "$(nproc)" -seconds 3 -bytes 1048576 -evp sha256 2>/dev/null |
        awk '/^sha256/ { sub(/k$/, "", $2); print $2 * 1000 }')
    ratios+=("$(awk -v n="$bytes" -v t="$a" -v r="$rate" 'BEGIN { printf "%.2f", n / t / r }')")
    echo "  run $((i + 1)): $a s, $(awk -v n="$bytes" -v t="$a" 'BEGIN { printf "%.2f", n / t / 1e9 }') GB/s; libcrypto $(awk -v r="$rate" 'BEGIN { printf "%.2f", r / 1e9 }') GB/s"
done
echo "verify cached: rate $(median "${ratios[@]}") of libcrypto's on $(nproc) processors (${ratios[*]})"
