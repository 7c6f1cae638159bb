#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# The installed Clockdeck as a screen reader sees it: on a virtual X server with openbox, with the accessibility bus
# started on a private session bus (run under dbus-run-session). accessible.py reads and drives the tree.
# Usage: run-a11y.sh BUILD_DIR PROFILE_DIR
tools=(Xvfb xdpyinfo xprop openbox xdotool xclip /usr/bin/python3 /usr/libexec/at-spi-bus-launcher)
source "$(dirname "$0")/session.sh"
need_bus
/usr/bin/python3 -c 'import pyatspi' 2>"$work/pyatspi.log" ||
    { cat "$work/pyatspi.log" >&2; echo "FAIL: python3-pyatspi is missing (tools/deps.sh installs it)" >&2; exit 1; }

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
pids+=($!)
wait_for 100 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress ||
    { cat "$work/at-spi.log" >&2; echo "FAIL: the accessibility bus did not start" >&2; exit 1; }
start_openbox
expected_report
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$clockdeck" --sysroot "$profile" >"$work/clockdeck.log" 2>&1 &
app=$!
pids+=("$app")
timeout 120 /usr/bin/python3 "$here/accessible.py" "$app" "$work/expected.txt" ||
    fail "the accessible tree or its actions"
[[ $(xprop -id "$(xdo search --onlyvisible --pid "$app" | head -n1)" WM_NAME) == *'"Clockdeck"'* ]] ||
    fail "WM_NAME is not Clockdeck"
finish
