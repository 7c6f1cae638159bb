#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# The installed Clockdeck on a virtual X server with openbox and trayer, driven with real input (xdotool).
# Usage: run-e2e.sh BUILD_DIR PROFILE_DIR. Every wait polls with an upper bound.
set -uo pipefail

build=$(cd "$1" && pwd)
profile=$(cd "$2" && pwd)
for tool in Xvfb openbox trayer xdotool xwininfo xprop xclip xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
# One instance per user: a Clockdeck the user runs would answer this test's starts.
if pgrep -r D,R,S,T -u "$(id -u)" -x clockdeck >/dev/null; then
    echo "SKIP: a clockdeck already runs for this user"
    exit 77
fi

work=$(mktemp -d)
chmod 755 "$work" # the unprivileged run below reads the installed program from here
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

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; exit 1; }
clockdeck=$prefix/bin/clockdeck

# --- A desktop of its own: X server, window manager, tray
display=
for n in $(seq 71 99); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    if wait_for 100 xdpyinfo -display ":$n"; then
        display=:$n
        break
    fi
done
[[ -n $display ]] || { echo "FAIL: no virtual X server could be started" >&2; exit 1; }
export DISPLAY=$display
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "openbox did not start"
trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
    >"$work/trayer.log" 2>&1 &
trayer_pid=$!
pids+=("$trayer_pid")
wait_for 100 xdo search --pid "$trayer_pid" || fail "trayer did not start"

# The expected report, lines 2 to 25 (line 1 is the time), from the command-line program on the same profile.
"$prefix/bin/clockdeck-cli" --sysroot "$profile" | sed -n '2,25p' >"$work/expected.txt"

main_window() { # the mapped 379 x 323 window of process $1
    local w
    for w in $(xdo search --onlyvisible --pid "$1" 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Width: 379' && xwininfo -id "$w" | grep -q 'Height: 323' && { echo "$w"; return 0; }
    done
    return 1
}
click() { xdo mousemove --window "$1" "$2" "$3" && sleep 0.05 && xdo click 1; }
tray_icons() { # windows docked in trayer's panel, other than its 1 x 1 helpers
    local panel
    panel=$(xdo search --all --pid "$trayer_pid" --name '^panel$' | head -n1)
    xwininfo -children -id "$panel" | grep -E '^ +0x' | grep -vc ' 1x1+'
}
find_box() { # the message box: a dialog titled "Clockdeck"
    local w
    for w in $(xdo search --onlyvisible --name '^Clockdeck$' 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG && { echo "$w"; return 0; }
    done
    return 1
}
expect_box() { # expect_box WINDOW DESCRIPTION: Image4 brings up the message box, which then closes
    local box
    click "$1" 257 13
    wait_for 100 find_box || { fail "$2: no message box"; return; }
    box=$(find_box)
    xdo windowactivate --sync "$box" >/dev/null 2>&1
    xdo key Return
    if ! wait_for 30 sh -c "! xwininfo -id $box | grep -q IsViewable"; then
        read -r bw bh < <(xwininfo -id "$box" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
        click "$box" $((bw - 50)) $((bh - 22)) # its one button, bottom right
        wait_for 50 sh -c "! xwininfo -id $box | grep -q IsViewable" || fail "$2: the message box would not close"
    fi
}
entries() { [[ -f $1 ]] && grep -c $'^\r$' "$1" || echo 0; }
probed() { tr -d '\r' | sed -n "$1,$(($1 + 23))p" | diff - "$work/expected.txt" >&2; }

echo "-- start: the window appears centred, with a tray icon"
mkdir -p "$work/cwd" && cd "$work/cwd" || exit 1
"$clockdeck" --sysroot "$profile" >"$work/clockdeck.log" 2>&1 &
app=$!
pids+=("$app")
wait_for 200 main_window "$app" || { fail "no main window appeared"; cat "$work/clockdeck.log" >&2; exit 1; }
window=$(main_window "$app")
read -r x y < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
read -r wa_x wa_y wa_w wa_h < <(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g' | awk '{print $1, $2, $3, $4}')
centred() { # centred X Y WIDTH HEIGHT: within a pixel of the middle of that area
    local cx=$(($1 + ($3 - 379) / 2)) cy=$(($2 + ($4 - 323) / 2))
    ((x >= cx - 1 && x <= cx + 1 && y >= cy - 1 && y <= cy + 1))
}
centred "$wa_x" "$wa_y" "$wa_w" "$wa_h" || centred 0 0 1024 768 || fail "window at $x,$y is not centred"
wait_for 100 test "$(tray_icons)" -eq 1 || fail "expected one tray icon, found $(tray_icons)"

echo "-- Image3 copies the report with the probed values"
click "$window" 293 13
wait_for 50 sh -c 'xclip -o -selection clipboard | grep -q "HyperTrns"' || fail "nothing on the clipboard"
xclip -o -selection clipboard >"$work/clipboard.txt"
[[ $(grep -c $'\r$' "$work/clipboard.txt") -eq 25 && $(wc -l <"$work/clipboard.txt") -eq 25 ]] ||
    fail "the clipboard does not hold 25 CR LF lines"
probed 2 <"$work/clipboard.txt" || fail "the copied report differs from the probed values"

echo "-- Image4 three times, the middle one after a step of the reference clock"
for n in 1 2 3; do
    click "$window" 257 13
    wait_for 50 test "$(entries Results.txt)" -eq $n || fail "append $n missing"
    ((n < 3)) && click "$window" 61 $((n == 1 ? 134 : 150)) # BusSpeed one step up, then back down
done
[[ $(wc -l <Results.txt) -eq 78 && $(grep -c $'\r$' Results.txt) -eq 78 ]] || fail "Results.txt is not 3 x 26 CR LF lines"
for n in 0 1 2; do
    sed -n "$((n * 26 + 26))p" Results.txt | grep -q $'^\r$' || fail "entry $((n + 1)) does not end with an empty line"
done
probed 2 <Results.txt || fail "entry 1 differs from the probe"
probed 54 <Results.txt || fail "entry 3 differs from the probe"
clock=$(tr -d '\r' <Results.txt | sed -n '14p;40p;66p' | awk '{print $2}' | paste -sd' ')
[[ $(awk '{print ($1 == $3 && $2 > $1)}' <<<"$clock") == 1 ]] || fail "entries not oldest first: reference clocks $clock"

echo "-- Image1 hides; a second start ends with 0 and brings the window back"
click "$window" 335 13
wait_for 50 sh -c "! xwininfo -id $window | grep -q IsViewable" || fail "Image1 did not hide the window"
timeout 20 "$clockdeck" --sysroot "$profile" >"$work/second.log" 2>&1
status=$?
[[ $status -eq 0 ]] || fail "the second start ended with $status"
wait_for 50 main_window "$app" || fail "the second start did not bring the window back"
window=$(main_window "$app")
[[ $(tray_icons) -eq 1 ]] || fail "the second start changed the tray: $(tray_icons) icons"

echo "-- failed appends show the message box and leave the file as it was"
mv Results.txt "$work/kept.txt"
mkdir Results.txt
expect_box "$window" "a folder named Results.txt"
[[ -d Results.txt && -z $(ls -A Results.txt) ]] || fail "the folder named Results.txt was changed"
rmdir Results.txt
ln -s /dev/full Results.txt
expect_box "$window" "Results.txt linked to /dev/full"
[[ $(readlink Results.txt) == /dev/full ]] || fail "the link to /dev/full was changed"
rm Results.txt

# A read-only file as an ordinary user meets it (root may write anyway), with a profile and home of its own.
as_user=()
[[ $EUID -eq 0 ]] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all)
mkdir -m 755 "$work/ro" && cp "$work/kept.txt" "$work/ro/Results.txt" && chmod 444 "$work/ro/Results.txt"
cp -r "$profile" "$work/ro-profile" && chmod -R a+rX "$work/ro-profile"
mkdir -m 700 "$work/ro-home"
[[ $EUID -eq 0 ]] && chown nobody:nogroup "$work/ro-home"
(cd "$work/ro" && exec env HOME="$work/ro-home" XDG_CONFIG_HOME="$work/ro-home" XDG_RUNTIME_DIR="$work/ro-home" \
    "${as_user[@]}" "$clockdeck" --sysroot "$work/ro-profile" >"$work/ro.log" 2>&1) &
ro=$!
pids+=("$ro")
if wait_for 200 main_window "$ro"; then
    ro_window=$(main_window "$ro")
    expect_box "$ro_window" "a read-only Results.txt"
    cmp -s "$work/ro/Results.txt" "$work/kept.txt" || fail "the read-only Results.txt was changed"
    click "$ro_window" 363 13 # Image2
    wait_for 100 sh -c "! kill -0 $ro 2>/dev/null" || fail "Image2 did not end the read-only case's instance"
else
    fail "the read-only case's instance showed no window: $(cat "$work/ro.log")"
fi

echo "-- Image2 ends the program: no process, no tray icon"
click "$window" 363 13
if wait_for 100 sh -c "! kill -0 $app 2>/dev/null"; then
    wait "$app" 2>/dev/null
    status=$?
    [[ $status -eq 0 ]] || fail "the program ended with status $status"
else
    fail "Image2 did not end the program"
fi
wait_for 50 test "$(tray_icons)" -eq 0 || fail "a tray icon was left behind"
pgrep -f "^$clockdeck" >/dev/null && fail "a clockdeck process was left behind: $(pgrep -a -f "^$clockdeck")"

if ((failures > 0)); then
    echo "$failures end-to-end check(s) failed; clockdeck output:" >&2
    cat "$work/clockdeck.log" >&2
    exit 1
fi
echo "end-to-end checks passed"
