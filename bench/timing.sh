# Shared by the bench scripts: wall times of whole commands, paired runs'
# ratios and their medians, and emptying the page cache (root only).

# Wall seconds of one command, its output discarded; the script ends if it fails.
timed() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'
}

median() {
    printf '%s\n' "$@" | sort -g |
        awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

can_drop_caches() { [[ $(id -u) == 0 && -w /proc/sys/vm/drop_caches ]]; }
drop_caches() { sync; echo 3 >/proc/sys/vm/drop_caches; }

# The corvelin-cli to time: $CORVELIN_CLI, or a Release build made in build-release/.
release_cli() {
    if [[ -n "${CORVELIN_CLI:-}" ]]; then
        echo "$CORVELIN_CLI"
        return
    fi
    CORVELIN_BUILD_DIR=build-release CORVELIN_BUILD_TYPE=Release \
        CORVELIN_BUILD_TARGETS="corvelin-cli" \
        scripts/build.sh -DCORVELIN_BUILD_DESKTOP=OFF -DCORVELIN_BUILD_TESTS=OFF >/dev/null
    echo "$PWD/build-release/corvelin-cli"
}
