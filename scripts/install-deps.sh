#!/usr/bin/env bash
# Installs the Debian packages Corvelin needs to build and test (Debian 12).
set -euo pipefail

packages=(cmake g++ make pkg-config libboost-dev libfmt-dev libgtest-dev libbenchmark-dev
    libsqlite3-dev libssl-dev liburing-dev qt6-base-dev qt6-l10n-tools qt6-translations-l10n fonts-noto-cjk xorriso
    genisoimage desktop-file-utils appstream xvfb xauth xdotool dosfstools)
# libclang-rt-14-dev also carries FuzzedDataProvider.h, which the seed-corpus
# replay of every build compiles.
packages+=(libclang-rt-14-dev)
# msgfmt compiles po/en.po into the program; xgettext and msgcmp check
# that every text of the core and the command line has its English.
packages+=(gettext)
if [[ "${CORVELIN_SANITIZERS:-0}" == 1 ]]; then
    packages+=(clang)
fi
# The format and clang-tidy checks of scripts/lint.sh.
if [[ "${CORVELIN_LINT:-0}" == 1 ]]; then
    packages+=(clang-format clang-tidy)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
