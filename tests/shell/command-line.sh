#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# clockdeck's command line: without a display one clear line and a failure status instead of Qt's abort; a wrong
# argument status 2. Usage: command-line.sh CLOCKDECK PROFILE
set -u
bin=$1 profile=$2
fail() { echo "FAIL: $*"; exit 1; }

out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" --sysroot "$profile" 2>&1)
status=$?
[[ $status -eq 1 ]] || fail "no display: status $status, expected 1"
[[ $(printf '%s\n' "$out" | wc -l) -eq 1 ]] || fail "no display: expected one line, got: $out"
[[ $out == *clockdeck-cli* ]] || fail "no display: the line does not name clockdeck-cli: $out"

for args in "--sysrot $profile" "--sysroot" "--sysroot /nonexistent/folder" "extra"; do
    # shellcheck disable=SC2086
    out=$(QT_QPA_PLATFORM=offscreen "$bin" $args 2>&1)
    status=$?
    [[ $status -eq 2 ]] || fail "'$args': status $status, expected 2"
    [[ $(printf '%s\n' "$out" | grep -vc '^QStandardPaths') -eq 1 ]] || fail "'$args': expected one line, got: $out"
done

out=$(env -u DISPLAY "$bin" --help) || fail "--help failed"
[[ $out == *--sysroot* ]] || fail "--help does not mention --sysroot"
echo "ok"
