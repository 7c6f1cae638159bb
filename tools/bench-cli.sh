#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Times clockdeck-cli as a whole process on a saved machine profile against lscpu, in the same hyperfine run, and
# prints both medians. The target is a median no slower than lscpu's.
# Usage: tools/bench-cli.sh [BUILD_DIR] [PROFILE_DIR]   (defaults: build/release, the X2 4400+ profile)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
profile=${2:-tests/data/profiles/x2-4400}
cli=$build/cli/clockdeck-cli

command -v hyperfine >/dev/null || { echo "bench-cli: hyperfine is not installed (apt-get install hyperfine)" >&2; exit 1; }
command -v lscpu >/dev/null || { echo "bench-cli: lscpu is not installed (apt-get install util-linux)" >&2; exit 1; }
if [[ ! -x $cli ]]; then
    cmake --preset release >/dev/null
    cmake --build "$build" --target clockdeck-cli >/dev/null
fi

results=$(mktemp)
trap 'rm -f "$results"' EXIT
hyperfine --shell=none --warmup 20 --min-runs 300 --export-json "$results" \
    --command-name clockdeck-cli "$cli --sysroot $profile" \
    --command-name lscpu "lscpu"

python3 - "$results" <<'PY'
import json, sys
runs = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
cli, lscpu = runs["clockdeck-cli"], runs["lscpu"]
print(f"median clockdeck-cli: {cli * 1000:.2f} ms, lscpu: {lscpu * 1000:.2f} ms")
print("target met: clockdeck-cli is no slower than lscpu" if cli <= lscpu else "target missed: clockdeck-cli is slower than lscpu")
sys.exit(0 if cli <= lscpu else 1)
PY
