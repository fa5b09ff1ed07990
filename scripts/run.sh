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
    # The program's own rule: the first of LC_ALL, LC_MESSAGES and LANG that
    # is set decides, Japanese for a "ja" locale and English for any other.
    locale_name=${LC_ALL:-${LC_MESSAGES:-${LANG:-}}}
    if [[ "${locale_name%%[_.@]*}" == ja ]]; then
        cat >&2 <<MSG
corvelin: 画面がありません (DISPLAY も WAYLAND_DISPLAY も設定されていません)。
デスクトップ環境の端末から起動してください。画面のない環境では
コマンドライン版を使えます:
    $build_dir/corvelin-cli --help
MSG
    else
        cat >&2 <<MSG
corvelin: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a terminal of your desktop. Without a display, the command-line
version works:
    $build_dir/corvelin-cli --help
MSG
    fi
    exit 1
fi
exec "$build_dir/corvelin" "$@"
