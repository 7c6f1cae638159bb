# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Sourced by the end-to-end scripts (arguments BUILD_DIR PROFILE_DIR; the tools needed in `tools`), run under
# dbus-run-session: the installed program, a session of its own (home, runtime folder, X server), and helpers.
# A Clockdeck running elsewhere for this user cannot answer here. A test that cannot run fails; it never skips.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
profile=$(cd "$2" && pwd)
[[ -n ${DBUS_SESSION_BUS_ADDRESS:-} ]] || { echo "FAIL: no session bus; run under dbus-run-session" >&2; exit 1; }
for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/deps.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
chmod 755 "$work" # an unprivileged run reads the installed program from here
pids=()
failures=0
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP PIPE
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
xdo() { timeout 10 xdotool "$@"; }
wait_for() { # wait_for TENTHS COMMAND...
    local tries=$1
    shift
    for ((t = 0; t < tries; t++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
finish() {
    if ((failures > 0)); then
        echo "$failures end-to-end check(s) failed; clockdeck output:" >&2
        cat "$work"/clockdeck*.log >&2
        exit 1
    fi
    echo "end-to-end checks passed"
}
tray_icons() { # windows docked in trayer's panel, other than its 1 x 1 helpers
    local panel
    panel=$(xdo search --all --pid "$trayer_pid" --name '^panel$' | head -n1)
    xwininfo -children -id "$panel" | grep -E '^ +0x' | grep -v ' 1x1+' | awk '{print $1}'
}
main_window() { # the mapped 381 x 325 window (the client area and its frame) of process $app
    local w
    for w in $(xdo search --onlyvisible --pid "$app" 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Width: 381' && xwininfo -id "$w" | grep -q 'Height: 325' && { echo "$w"; return 0; }
    done
    return 1
}
ends() { wait_for 100 sh -c "! kill -0 $app 2>/dev/null" && wait "$app"; } # process $app ends, with its status
start_app() { # the program started on the profile, its process in $app, its main window up
    "$clockdeck" --sysroot "$profile" >>"$work/clockdeck.log" 2>&1 &
    app=$!
    pids+=("$app")
    wait_for 200 main_window || { fail "no main window appeared"; finish; }
}

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; exit 1; }
clockdeck=$work/prefix/bin/clockdeck

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY DISPLAY QT_QPA_PLATFORM SESSION_MANAGER
export LANG=C.UTF-8 LC_ALL=C.UTF-8

# An X server on a display number nobody uses (it picks one itself).
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 100 test -s "$work/display" || { echo "FAIL: no virtual X server could be started" >&2; exit 1; }
export DISPLAY=:$(cat "$work/display")
wait_for 100 xdpyinfo || { echo "FAIL: the virtual X server $DISPLAY does not answer" >&2; exit 1; }
mkdir -p "$work/cwd" && cd "$work/cwd" || exit 1
