#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
# clockdeck's command line: a display that is not there gives one line naming it and status 1, a wrong argument 2.
# Usage: command-line.sh CLOCKDECK PROFILE
# shellcheck disable=SC2086 # the cases are words to split
set -u
bin=$1 profile=$2
fail() { echo "FAIL: $*"; exit 1; }
run=$(mktemp -d) && trap 'rm -rf "$run"' EXIT && touch "$run/wl-dead"
for case in "-u WAYLAND_DISPLAY -u DISPLAY|clockdeck-cli" "-u WAYLAND_DISPLAY DISPLAY=:97.0|DISPLAY=:97.0" \
    "-u DISPLAY WAYLAND_DISPLAY=wl-dead|WAYLAND_DISPLAY=wl-dead" "WAYLAND_DISPLAY=wl-dead DISPLAY=:97|DISPLAY=:97"; do
    out=$(env -u QT_QPA_PLATFORM ${case%|*} XDG_RUNTIME_DIR="$run" "$bin" --sysroot "$profile" 2>&1)
    [[ $? -eq 1 && $(wc -l <<<"$out") -eq 1 && $out == *"${case#*|}"* ]] || fail "$case: expected 1 and one line: $out"
done
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$run
for args in "--sysrot $profile" "--sysroot" "--sysroot /nonexistent/folder" "extra"; do
    out=$("$bin" $args 2>&1)
    [[ $? -eq 2 && $(grep -vc '^QStandardPaths' <<<"$out") -eq 1 ]] || fail "'$args': expected 2 and one line: $out"
done
[[ $(env -u DISPLAY "$bin" --help) == *--sysroot* ]] || fail "--help does not mention --sysroot"
