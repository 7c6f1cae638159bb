#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Sets everything up and starts Clockdeck. Arguments are passed on (for example --sysroot DIR).
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
clockdeck_install_deps run >&2

# Build quietly; on failure show what the build said.
log=build/run-build.log
mkdir -p build
if ! { cmake --preset release && cmake --build --preset release; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "Building Clockdeck failed; the whole log is in $log" >&2
    exit 1
fi
if [[ -x build/release/shell/clockdeck ]]; then
    exec build/release/shell/clockdeck "$@"
fi
exec build/release/cli/clockdeck-cli "$@"
