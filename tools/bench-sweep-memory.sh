#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Peak memory of clockdeck-cli (/usr/bin/time -v, maximum resident set size) for the plain report and for a
# 100,000-row sweep in text and in JSON, on a saved machine profile. The target: each sweep peaks within 10 MB of
# the plain report, since rows go out as they are computed.
# Usage: tools/bench-sweep-memory.sh [BUILD_DIR] [PROFILE_DIR]   (defaults: build/release, the X2 4400+ profile)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
profile=${2:-tests/data/profiles/x2-4400}
cli=$build/cli/clockdeck-cli

[[ -x /usr/bin/time ]] || { echo "bench-sweep-memory: /usr/bin/time is not installed (apt-get install time)" >&2; exit 1; }
if [[ ! -x $cli ]]; then
    cmake --preset release >/dev/null
    cmake --build "$build" --target clockdeck-cli >/dev/null
fi

peak() { # the maximum resident set size in kB of one run, its output thrown away
    /usr/bin/time -v "$cli" --sysroot "$profile" "$@" 2>&1 >/dev/null | awk '/Maximum resident set size/ { print $NF }'
}

plain=$(peak)
status=0
echo "plain report: $plain kB"
for format in text json; do
    sweep=$(peak --sweep BusSpeed=1:100000 --format "$format")
    over=$((sweep - plain))
    verdict=met
    if ((over > 10 * 1024)); then
        verdict=missed
        status=1
    fi
    echo "100,000-row sweep, $format: $sweep kB, $over kB above the plain report (target $verdict: at most 10240 kB)"
done
exit $status
