#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Sets everything up and starts Clockdeck. Arguments are passed on (for example --sysroot DIR).
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
clockdeck_install_deps run >&2

# The first build takes minutes on a small machine: say so, and on a terminal show its progress. Later runs only
# bring the build up to date, quietly; on failure they show what the build said.
log=build/run-build.log
mkdir -p build
if [[ ! -x build/release/shell/clockdeck && ! -x build/release/cli/clockdeck-cli ]]; then
    echo "Building Clockdeck (the first time takes a few minutes)…" >&2
    if [[ -t 2 ]]; then
        if ! cmake --preset release >"$log" 2>&1; then
            tail -n 40 "$log" >&2
            echo "Configuring Clockdeck failed; the whole log is in $log" >&2
            exit 1
        fi
        cmake --build --preset release >&2 || { echo "Building Clockdeck failed (see above)" >&2; exit 1; }
    fi
fi
if ! { cmake --preset release && cmake --build --preset release; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "Building Clockdeck failed; the whole log is in $log" >&2
    exit 1
fi
if [[ -x build/release/shell/clockdeck ]]; then
    exec build/release/shell/clockdeck "$@"
fi
exec build/release/cli/clockdeck-cli "$@"
