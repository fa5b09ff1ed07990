#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for
# SECONDS seconds (default 60) on a copy of its seed corpus. Exits non-zero when
# a target crashes, leaks or times out, naming the input that did it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build_dir=${CORVELIN_FUZZ_BUILD_DIR:-build-fuzz}

CORVELIN_SANITIZERS=1 scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVELIN_WERROR=ON -DCORVELIN_FUZZ=ON -DCORVELIN_BUILD_TESTS=OFF \
    -DCORVELIN_BUILD_BENCH=OFF -DCORVELIN_BUILD_DESKTOP=OFF >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target fuzz_targets

# target:max_len
targets=(
    fuzz_conf_reader:4096
    fuzz_profile:4096
    fuzz_pack_size:64
    fuzz_path_match:128
    fuzz_name_similarity:256
    fuzz_export:4096
    fuzz_inventory:4096
)

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for entry in "${targets[@]}"; do
    target=${entry%%:*}
    max_len=${entry##*:}
    work="$build_dir/fuzz-run/$target"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    cp fuzz/corpus/"$target"/* "$work/corpus/" 2>/dev/null || true
    echo "== $target (${seconds}s)"
    if ! "$build_dir/fuzz/$target" "$work/corpus" -max_total_time="$seconds" \
        -max_len="$max_len" -rss_limit_mb=2048 -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/" >"$work/log.txt" 2>&1; then
        tail -n 40 "$work/log.txt"
        for artifact in "$work"/artifacts/*; do
            [[ -e $artifact ]] && echo "reproducer: $artifact (run: $build_dir/fuzz/$target $artifact)"
        done
        failed+=("$target")
    else
        grep -E "^(#[0-9]+ *DONE|stat::number_of_executed_units)" "$work/log.txt" | tail -n 1 || true
    fi
done

if [[ ${#failed[@]} -ne 0 ]]; then
    echo "Fuzzing found faults in: ${failed[*]}" >&2
    exit 1
fi
echo "All fuzz targets ran ${seconds}s without a fault."
