#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Installs the Debian packages that building, running and testing Clockdeck need, only when some are missing.
# Sourced by run.sh and test.sh; usable alone: tools/deps.sh [run|test]
set -euo pipefail

clockdeck_packages() {
    local what=${1:-test}
    # qt6-wayland: the window is a native Wayland client in a Wayland session.
    local pkgs=(build-essential cmake ninja-build qt6-base-dev qt6-wayland fonts-liberation2 fonts-dejavu-core)
    if [[ $what == test ]]; then
        pkgs+=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xauth x11-utils xdotool imagemagick
               openbox trayer xclip libxfixes-dev appstream desktop-file-utils dpkg-dev file locales nlohmann-json3-dev
               weston dbus-daemon python3-gi # Wayland compositor, private session bus, fake tray host
               at-spi2-core python3-pyatspi lintian) # accessibility bus and its reader, package checker
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
    # The report tests also check a United States date format; that locale is generated when it is missing.
    local need_locale=0
    if [[ ${1:-test} == test ]] && ! locale -a 2>/dev/null | grep -qix 'en_US.utf8'; then
        need_locale=1
    fi
    ((${#missing[@]} || need_locale)) || return 0

    local sudo=()
    if ((EUID != 0)); then
        command -v sudo >/dev/null || { echo "Clockdeck needs these packages, and sudo is missing: ${missing[*]}" >&2; return 1; }
        sudo=(sudo)
    fi
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        "${sudo[@]}" apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
    if ((need_locale)); then
        echo "Generating the en_US.UTF-8 locale for the report tests"
        "${sudo[@]}" sed -i 's/^# *\(en_US.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        "${sudo[@]}" locale-gen >/dev/null
    fi
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    clockdeck_install_deps "${1:-test}"
fi
