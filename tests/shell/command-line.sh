#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
# clockdeck's command line: no display gives one clear line and status 1, a wrong argument status 2.
# Usage: command-line.sh CLOCKDECK PROFILE
set -u
bin=$1 profile=$2
fail() { echo "FAIL: $*"; exit 1; }

out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" --sysroot "$profile" 2>&1)
status=$?
[[ $status -eq 1 && $(printf '%s\n' "$out" | wc -l) -eq 1 && $out == *clockdeck-cli* ]] ||
    fail "no display: status $status, expected 1 and one line naming clockdeck-cli: $out"
for args in "--sysrot $profile" "--sysroot" "--sysroot /nonexistent/folder" "extra"; do
    # shellcheck disable=SC2086
    out=$(QT_QPA_PLATFORM=offscreen "$bin" $args 2>&1)
    status=$?
    [[ $status -eq 2 && $(printf '%s\n' "$out" | grep -vc '^QStandardPaths') -eq 1 ]] ||
        fail "'$args': status $status, expected 2 and one line: $out"
done
[[ $(env -u DISPLAY "$bin" --help) == *--sysroot* ]] || fail "--help does not mention --sysroot"
echo "ok"
