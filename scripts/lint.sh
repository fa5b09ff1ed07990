#!/usr/bin/env bash
# Checks that every C++ file of the tree is formatted by .clang-format, then
# runs clang-tidy (.clang-tidy) over the Qt-free code of src/ on every core.
# clang-tidy reads the compile commands of $CORVELIN_BUILD_DIR (default build/),
# which is configured first when it has none.
set -euo pipefail
cd "$(dirname "$0")/.."
CORVELIN_LINT=1 scripts/install-deps.sh

echo "== Format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

echo "== clang-tidy"
build_dir=${CORVELIN_BUILD_DIR:-build}
if [[ ! -f "$build_dir/compile_commands.json" ]]; then
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
start=$(date +%s)
run-clang-tidy -quiet -j"$(nproc)" -p "$build_dir" \
    "$PWD/src/(support|model|packing|intake|settings|view|disc|catalog|cli)/.*\\.cpp\$"
echo "clang-tidy took $(($(date +%s) - start)) s"
