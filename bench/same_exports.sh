#!/usr/bin/env bash
# Checks that two builds of corvelin-cli export the same bytes: a change to how
# items are held or walked must not move a single file between packs or lines.
#
#   bench/same_exports.sh OLD_CLI NEW_CLI DIR...
#
# Runs both on every DIR (plain and --from-list of find's listing of it, with
# DVD and CD packs) and compares exports and standard error; exits 1 on the
# first difference.
set -euo pipefail
[[ $# -ge 3 ]] || { echo "usage: $0 OLD_CLI NEW_CLI DIR..." >&2; exit 2; }
old=$1 new=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for dir in "$@"; do
    find "$dir" -type f -printf '%s\t%p\0' >"$work/list"
    for size in "DVD(4.7GB)" "CD(700MB)"; do
        for input in tree list; do
            args=("$dir")
            [[ $input == list ]] && args=(--from-list "$work/list")
            "$old" -q -s "$size" --export "$work/old" "${args[@]}" 2>"$work/old.err" || true
            "$new" -q -s "$size" --export "$work/new" "${args[@]}" 2>"$work/new.err" || true
            if cmp -s "$work/old" "$work/new" && cmp -s "$work/old.err" "$work/new.err"; then
                echo "same: $dir $size $input ($(wc -l <"$work/new") lines)"
            else
                echo "DIFFERENT: $dir $size $input" >&2
                status=1
            fi
        done
    done
done
exit $status
