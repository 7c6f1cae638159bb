#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
# clockdeck's start against displays that are missing, mute, resetting or broken: each either starts (its window
# maps on the private X server, and SIGTERM ends it with 0) or ends with status 1 and one line naming the cause,
# never with an abort or a hang. A wrong argument gives 2. Usage: command-line.sh CLOCKDECK PROFILE
# shellcheck disable=SC2086 # the cases are words to split
set -u
bin=$1 profile=$2 here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdotool python3; do
    command -v $tool >/dev/null || { echo "FAIL: $tool is not installed (tools/deps.sh installs it)"; exit 1; }
done
run=$(mktemp -d) pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$run"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
wait_for() { for ((t = 0; t < $1; t++)); do [[ -s $2 ]] && return 0; sleep 0.1; done; return 1; }
export HOME=$run/home XDG_CONFIG_HOME=$run/home/.config XDG_RUNTIME_DIR=$run LC_ALL=C
mkdir -p "$HOME" && touch "$run/wl-dead"

Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 800x600x24 3>"$run/real" >/dev/null 2>&1 &
pids+=($!)
for fake in "x-mute mute" "x-reset reset :$(wait_for 100 "$run/real" && cat "$run/real")" \
    "wl-mute wl-mute $run/wl-mute" "wl-close wl-close $run/wl-close"; do
    set -- $fake
    python3 "$here/fakedisplay.py" "$1" "$run/$2.name" "${@:3}" &
    pids+=($!)
    wait_for 100 "$run/$2.name" || { echo "FAIL: the fake display $1 did not start"; exit 1; }
done
real=:$(cat "$run/real") mute=$(cat "$run/mute.name") reset=$(cat "$run/reset.name")

starts() { # starts ENV...: the window maps on the real X server, and SIGTERM ends the program with 0
    env -u QT_QPA_PLATFORM "$@" "$bin" --sysroot "$profile" >"$run/out" 2>&1 &
    local app=$! mapped=
    for ((t = 0; t < 200 && !mapped; t++)); do
        DISPLAY=$real xdotool search --onlyvisible --pid $app >/dev/null 2>&1 && mapped=1 && break
        kill -0 $app 2>/dev/null || break
        sleep 0.1
    done
    kill -TERM $app 2>/dev/null
    for ((t = 0; t < 100; t++)); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
    kill -KILL $app 2>/dev/null
    wait $app
    local status=$?
    [[ $mapped && $status -eq 0 ]] || { echo "status $status, window ${mapped:-never} mapped: $(cat "$run/out")"; return 1; }
}

# name | environment | what the start must say on its one line, or "starts"
while IFS='|' read -r name environment expected; do
    [[ $name ]] || continue
    if [[ $expected == starts ]]; then
        why=$(starts $environment) || fail "$name: did not start: $why"
        continue
    fi
    out=$(timeout 20 env -u QT_QPA_PLATFORM $environment "$bin" --sysroot "$profile" 2>&1)
    status=$?
    [[ $status -eq 1 && $(wc -l <<<"$out") -eq 1 && $out == *"$expected"* ]] ||
        fail "$name: expected status 1 and one line with '$expected', got $status: $out"
done <<EOF_TABLE
no display at all|-u WAYLAND_DISPLAY -u DISPLAY|clockdeck-cli
no X server|-u WAYLAND_DISPLAY DISPLAY=:97.0|DISPLAY=:97.0 names no running X server
no compositor|-u DISPLAY WAYLAND_DISPLAY=wl-dead|WAYLAND_DISPLAY=wl-dead
neither answers|WAYLAND_DISPLAY=wl-dead DISPLAY=:97|DISPLAY=:97
an X server that never answers|-u WAYLAND_DISPLAY DISPLAY=$mute|DISPLAY=$mute does not answer within
an X server resetting as it starts|-u WAYLAND_DISPLAY DISPLAY=$reset|starts
a mute compositor|-u DISPLAY WAYLAND_DISPLAY=wl-mute|WAYLAND_DISPLAY=wl-mute does not answer
a mute compositor, X answers|WAYLAND_DISPLAY=wl-mute DISPLAY=$real|starts
a compositor that hangs up|-u DISPLAY WAYLAND_DISPLAY=wl-close|WAYLAND_DISPLAY=wl-close does not answer
a broken WAYLAND_SOCKET|WAYLAND_SOCKET=99 WAYLAND_DISPLAY=wl-dead DISPLAY=$real|WAYLAND_SOCKET=99 is not a connection
a platform Qt does not have|QT_QPA_PLATFORM=bogus DISPLAY=$real|no platform "bogus"
Wayland asked for, X11 there|-u WAYLAND_DISPLAY QT_QPA_PLATFORM=wayland DISPLAY=$real|asks for Wayland, and WAYLAND_DISPLAY is not set
EOF_TABLE

export QT_QPA_PLATFORM=offscreen
for args in "--sysrot $profile" "--sysroot" "--sysroot /nonexistent/folder" "extra"; do
    out=$("$bin" $args 2>&1)
    [[ $? -eq 2 && $(grep -vc '^QStandardPaths' <<<"$out") -eq 1 ]] || fail "'$args': expected 2 and one line: $out"
done
[[ $(env -u DISPLAY "$bin" --help) == *--sysroot* ]] || fail "--help does not mention --sysroot"
((failures == 0)) || exit 1
