#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Sets everything up and runs the whole test suite: the default build, the core again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a bounded libFuzzer run.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
clockdeck_install_deps test

jobs=$(nproc)
export CTEST_OUTPUT_ON_FAILURE=1

echo "== Default build"
cmake --preset dev
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

echo "== Core under ASan+UBSan"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== Fuzzing (bounded)"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
tools/run-fuzzers.sh build/fuzz "${CLOCKDECK_FUZZ_SECONDS:-30}"
