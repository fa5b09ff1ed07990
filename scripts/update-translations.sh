#!/usr/bin/env bash
# Brings translations/corvelin_en.ts up to date with the window texts of
# src/ui (new texts come in unfinished, vanished ones are marked obsolete).
# The Japanese texts in the code are the source texts.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
"$lupdate" -silent -locations none -source-language ja -target-language en -I src src/ui \
    -ts translations/corvelin_en.ts
