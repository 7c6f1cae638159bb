#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Installs the Debian packages that building, running and testing Clockdeck need, only when some are missing.
# Sourced by run.sh and test.sh; usable alone: tools/deps.sh [run|test]
set -euo pipefail

clockdeck_packages() {
    local what=${1:-test}
    local pkgs=(build-essential cmake ninja-build qt6-base-dev fonts-liberation2 fonts-dejavu-core)
    if [[ $what == test ]]; then
        pkgs+=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xauth x11-utils xdotool imagemagick
               openbox trayer xclip appstream desktop-file-utils dpkg-dev file)
    fi
    printf '%s\n' "${pkgs[@]}"
}

clockdeck_install_deps() {
    local missing=()
    local pkg
    while read -r pkg; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done < <(clockdeck_packages "${1:-test}")
    ((${#missing[@]} == 0)) && return 0

    local sudo=()
    if ((EUID != 0)); then
        command -v sudo >/dev/null || { echo "Clockdeck needs these packages, and sudo is missing: ${missing[*]}" >&2; return 1; }
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    clockdeck_install_deps "${1:-test}"
fi
