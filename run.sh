#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Sets everything up and starts Clockdeck. Arguments are passed on (for example --sysroot DIR).
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
clockdeck_install_deps run >&2

cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
if [[ -x build/release/shell/clockdeck ]]; then
    exec build/release/shell/clockdeck "$@"
fi
exec build/release/cli/clockdeck-cli "$@"
