#!/usr/bin/env bash
# Sets up, builds and starts the desktop program Corvelin. Arguments go to the
# program: files and folders to add to the list, as a file manager's
# "Open with" passes them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build_dir=${CORVELIN_BUILD_DIR:-build}
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    cat >&2 <<MSG
corvelin: 画面がありません (DISPLAY も WAYLAND_DISPLAY も設定されていません)。
デスクトップ環境の端末から起動してください。画面のない環境では
コマンドライン版を使えます:
    $build_dir/corvelin-cli --help
MSG
    exit 1
fi
exec "$build_dir/corvelin" "$@"
