#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Starts clockdeck again and again on an X server that resets whenever its last client leaves (Xvfb without
# -noreset), killing each start with SIGKILL after a moment, so that every next start races the server's reset.
# Prints how the starts ended; exits 1 if any aborted (SIGABRT, status 134) or was still waiting at the end.
# Usage: tools/start-loop.sh [CLOCKDECK [STARTS [SECONDS]]]  (defaults: build/dev/shell/clockdeck, 200, 0.8)
set -u
bin=${1:-build/dev/shell/clockdeck} starts=${2:-200} pause=${3:-0.8}
profile=$(cd "$(dirname "$0")/../tests/data/shell-profile" && pwd)
run=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$run"' EXIT
export HOME=$run XDG_CONFIG_HOME=$run/.config XDG_RUNTIME_DIR=$run
unset WAYLAND_DISPLAY WAYLAND_SOCKET QT_QPA_PLATFORM
Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>"$run/display" >"$run/xvfb.log" 2>&1 &
xvfb=$!
for ((t = 0; t < 100; t++)); do [[ -s $run/display ]] && break; sleep 0.1; done
export DISPLAY=:$(cat "$run/display")

declare -A ended
for ((n = 1; n <= starts; n++)); do
    "$bin" --sysroot "$profile" >"$run/out" 2>&1 &
    app=$!
    sleep "$pause"
    kill -9 $app 2>/dev/null
    wait $app 2>/dev/null
    status=$?
    case $status in
    137) what="running when killed" ;;
    134) what="ABORTED: $(tr '\n' ' ' <"$run/out")" ;;
    *) what="ended with $status: $(tr '\n' ' ' <"$run/out")" ;;
    esac
    ended[$what]=$((${ended[$what]:-0} + 1))
done
aborts=0
for what in "${!ended[@]}"; do
    printf '%5d  %s\n' "${ended[$what]}" "$what"
    [[ $what == ABORTED* ]] && aborts=$((aborts + ended[$what]))
done
echo "$aborts aborts in $starts starts on a resetting X server (DISPLAY=$DISPLAY)"
((aborts == 0))
