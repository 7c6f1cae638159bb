#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Runs every libFuzzer target found in a build folder for a bounded time, split evenly between them.
# Usage: tools/run-fuzzers.sh BUILD_DIR TOTAL_SECONDS
set -euo pipefail
build=${1:?build folder}
total=${2:-30}
mapfile -t targets < <(find "$build" -maxdepth 3 -type f -name 'fuzz_*' -perm -u+x | sort)
((${#targets[@]})) || { echo "no fuzz targets in $build" >&2; exit 1; }
each=$(( (total + ${#targets[@]} - 1) / ${#targets[@]} ))
corpus_root=$(mktemp -d)
trap 'rm -rf "$corpus_root"' EXIT
for t in "${targets[@]}"; do
    name=$(basename "$t")
    mkdir -p "$corpus_root/$name"
    echo "-- $name for ${each}s"
    status=0
    "$t" -max_total_time="$each" -max_len=4096 -rss_limit_mb=2048 "$corpus_root/$name" >"$corpus_root/$name.log" 2>&1 \
        || status=$?
    grep -E '^(Done|==[0-9]+==ERROR|SUMMARY)' "$corpus_root/$name.log" || true
    if ((status != 0)); then
        tail -n 40 "$corpus_root/$name.log" >&2
        echo "$name found a crash (exit $status)" >&2
        exit 1
    fi
done
echo "fuzzing: ${#targets[@]} targets, no crash"
