#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Clockdeck as a person uses it: installed into a scratch prefix, started on a virtual X server with a window
# manager (openbox) and a tray (trayer), and driven with real pointer and keyboard events (xdotool).
# Usage: run-e2e.sh BUILD_DIR PROFILE_DIR
#
# Every wait polls for a state with an upper bound; nothing depends on how fast the machine is.
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
    local pid
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        pid=${pids[i]}
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    [[ -n ${KEEP_WORK:-} ]] || rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP PIPE

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
step() { echo "-- $*"; }

# Every xdotool call is bounded: a window that vanished must not stall the test.
xdo() { timeout 10 xdotool "$@"; }

# wait_for TENTHS COMMAND...: polls COMMAND every 0.1 s until it succeeds, at most TENTHS times.
wait_for() {
    local tries=$1
    shift
    for ((t = 0; t < tries; t++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# --- Install, as a user would (cmake --install into a prefix)
prefix=$work/prefix
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "FAIL: cmake --install" >&2
    exit 1
fi
clockdeck=$prefix/bin/clockdeck
[[ -x $clockdeck ]] || { echo "FAIL: $clockdeck was not installed" >&2; exit 1; }

# --- A desktop: X server, window manager, tray
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
pids+=($!)
trayer_pid=$!
wait_for 100 xdo search --pid "$trayer_pid" || fail "trayer did not start"
tray=$(xdo search --pid "$trayer_pid" | head -n1)

# The desktop's opener, recording what it is asked to open instead of starting an editor.
mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
echo "\$@" >>"$work/opened.log"
EOF
chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH

# The expected report, lines 2 to 25 (line 1 is the time), from the command-line program on the same profile.
"$prefix/bin/clockdeck-cli" --sysroot "$profile" | sed -n '2,25p' >"$work/expected.txt"

# --- Helpers on the running program
# The main window of process $1: its 379 x 323 window that is mapped.
main_window() {
    local w
    for w in $(xdo search --onlyvisible --pid "$1" 2>/dev/null); do
        if xwininfo -id "$w" | grep -q 'Width: 379' && xwininfo -id "$w" | grep -q 'Height: 323'; then
            echo "$w"
            return 0
        fi
    done
    return 1
}
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
hidden() { ! viewable "$1"; }
# click WINDOW X Y [BUTTON]: a real click at a point of the window.
click() {
    xdo mousemove --window "$1" "$2" "$3" && sleep 0.05 && xdo click "${4:-1}"
}
# The icons docked in the tray: windows below trayer's panel, other than its 1 x 1 helpers.
tray_icons() {
    local panel
    panel=$(xdo search --all --pid "$trayer_pid" --name '^panel$' | head -n1)
    xwininfo -children -id "$panel" | grep -E '^ +0x' | grep -vc ' 1x1+'
}
# The tray icon of process $1: its window that the tray took in (no longer a child of the root).
tray_icon_of() {
    local w
    for w in $(xdo search --pid "$1" 2>/dev/null); do
        [[ $w == "${window:-}" ]] && continue
        xwininfo -children -id "$w" | grep -q 'Parent window id: .*(the root window)' && continue
        echo "$w"
        return 0
    done
    return 1
}
# The message box: a dialog titled "Clockdeck" (the tray menu carries the program's name too, as a popup).
find_box() {
    local w
    for w in $(xdo search --onlyvisible --name '^Clockdeck$' 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG && { echo "$w"; return 0; }
    done
    return 1
}
box_shown() { find_box >/dev/null; }
dismiss_box() {
    local box
    box=$(find_box)
    xdo windowactivate --sync "$box" >/dev/null 2>&1
    xdo key Return
    wait_for 30 sh -c "! xwininfo -id $box | grep -q IsViewable" && return 0
    # Not focused after all: its one button sits at the bottom right.
    read -r bw bh < <(xwininfo -id "$box" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
    click "$box" $((bw - 50)) $((bh - 22))
    wait_for 50 sh -c "! xwininfo -id $box | grep -q IsViewable"
}
entries() { [[ -f $1 ]] && grep -c $'^\r$' "$1" || echo 0; }

# --- Start
step "start on the profile; the window appears centred"
mkdir -p "$work/cwd"
cd "$work/cwd" || exit 1
"$clockdeck" --sysroot "$profile" >"$work/clockdeck.log" 2>&1 &
app=$!
pids+=($app)
wait_for 200 main_window "$app" || { fail "no main window appeared"; cat "$work/clockdeck.log" >&2; exit 1; }
window=$(main_window "$app")
read -r x y < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
read -r wa_x wa_y wa_w wa_h < <(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g' | awk '{print $1, $2, $3, $4}')
centred() { # centred X Y WIDTH HEIGHT: within a pixel of the middle of that area
    local cx=$(($1 + ($3 - 379) / 2)) cy=$(($2 + ($4 - 323) / 2))
    ((x >= cx - 1 && x <= cx + 1 && y >= cy - 1 && y <= cy + 1))
}
centred "$wa_x" "$wa_y" "$wa_w" "$wa_h" || centred 0 0 1024 768 ||
    fail "window at $x,$y is not centred (work area ${wa_w}x${wa_h}+$wa_x+$wa_y)"
wait_for 100 tray_icon_of "$app" || fail "no tray icon was added"
[[ $(tray_icons) -eq 1 ]] || fail "expected one tray icon, found $(tray_icons)"
# The instance setting: [Clockdeck] Hwnd=<the main window's id in decimal>.
wait_for 50 grep -qx "Hwnd=$window" "$XDG_CONFIG_HOME/Tarnwick/Clockdeck.conf" ||
    fail "the instance setting does not hold the window id $window: $(cat "$XDG_CONFIG_HOME/Tarnwick/Clockdeck.conf")"

# --- Copy: the window's report on the clipboard, with the probed values
step "Image3 copies the report"
click "$window" 293 13
wait_for 50 sh -c 'xclip -o -selection clipboard | grep -q "HyperTrns"' || fail "nothing on the clipboard"
xclip -o -selection clipboard >"$work/clipboard.txt"
[[ $(grep -c $'\r$' "$work/clipboard.txt") -eq 25 && $(wc -l <"$work/clipboard.txt") -eq 25 ]] ||
    fail "the clipboard does not hold 25 CR LF lines"
tr -d '\r' <"$work/clipboard.txt" | sed -n '2,25p' | diff - "$work/expected.txt" >"$work/diff" ||
    { fail "the window's report differs from the probed values:"; cat "$work/diff" >&2; }

# --- Append three times, oldest first: the middle one after a step of the reference clock
step "Image4, left button, three times"
click "$window" 257 13
wait_for 50 test "$(entries Results.txt)" -eq 1 || fail "first append missing"
click "$window" 61 134 # BusSpeed's upper arrow: one step up
click "$window" 257 13
wait_for 50 test "$(entries Results.txt)" -eq 2 || fail "second append missing"
click "$window" 61 150 # and back down
click "$window" 257 13
wait_for 50 test "$(entries Results.txt)" -eq 3 || fail "third append missing"
lines=$(wc -l <Results.txt)
[[ $lines -eq 78 && $(grep -c $'\r$' Results.txt) -eq 78 ]] || fail "Results.txt has $lines lines, not 3 x 26 CR LF lines"
for n in 0 1 2; do
    sed -n "$((n * 26 + 26))p" Results.txt | grep -q $'^\r$' || fail "entry $((n + 1)) does not end with an empty line"
done
tr -d '\r' <Results.txt | sed -n '2,25p' | diff - "$work/expected.txt" >/dev/null || fail "entry 1 differs from the probe"
tr -d '\r' <Results.txt | sed -n '54,77p' | diff - "$work/expected.txt" >/dev/null || fail "entry 3 differs from the probe"
clock=$(tr -d '\r' <Results.txt | sed -n '14p;40p;66p' | awk '{print $2}' | paste -sd' ')
bus=$(awk '/Clock\.\.\./ {print $2}' "$work/expected.txt")
[[ $(echo "$clock" | awk '{print ($1 == $3 && $2 > $1)}') == 1 ]] ||
    fail "entries not oldest first: reference clocks $clock (expected $bus, one step up, $bus)"

# --- Right button: asks the editor windows on the file to close, then opens it
step "Image4, right button"
xmessage -title "Results.txt - NotePad" "an editor showing the file" >/dev/null 2>&1 &
editor=$!
pids+=($editor)
wait_for 100 xdo search --onlyvisible --name '^Results.txt - NotePad$' || fail "the stand-in editor did not appear"
click "$window" 257 13 3
wait_for 100 test -s "$work/opened.log" || fail "the results file was not opened"
[[ $(cat "$work/opened.log" 2>/dev/null) == "file://$work/cwd/Results.txt" || $(cat "$work/opened.log" 2>/dev/null) == "$work/cwd/Results.txt" ]] ||
    fail "opened $(cat "$work/opened.log" 2>/dev/null) instead of the results file"
wait_for 50 sh -c "! kill -0 $editor" || fail "the editor window showing the file was not closed"

# --- Image1 hides to the tray; a second start brings it back and ends with 0
step "Image1 hides; a second start restores"
click "$window" 335 13
wait_for 50 hidden "$window" || fail "Image1 did not hide the window"
timeout 20 "$clockdeck" --sysroot "$profile" >"$work/second.log" 2>&1
status=$?
[[ $status -eq 0 ]] || fail "the second start ended with $status"
# The window comes back as a fresh native window: find it again.
wait_for 50 main_window "$app" || fail "the second start did not bring the window back"
window=$(main_window "$app")
[[ $(tray_icons) -eq 1 ]] || fail "the second start changed the tray: $(tray_icons) icons"

# --- Double-click on the tray icon restores a hidden window
step "tray double-click restores"
click "$window" 335 13
wait_for 50 hidden "$window" || fail "Image1 did not hide the window the second time"
if icon=$(tray_icon_of "$app"); then
    xdo mousemove --window "$icon" 8 8 click --repeat 2 --delay 60 1
else
    fail "no tray icon to double-click"
fi
wait_for 50 main_window "$app" || fail "a double-click on the tray icon did not restore the window"
window=$(main_window "$app")

# --- The tray goes away (the panel crashed): minimising must not strand the window; the tray comes back
step "no tray: Image1 minimises normally; a new tray gets the icon again"
start_trayer() {
    trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
        >>"$work/trayer.log" 2>&1 &
    trayer_pid=$!
    pids+=($trayer_pid)
    wait_for 100 xdo search --pid "$trayer_pid" || fail "trayer did not start"
    tray=$(xdo search --pid "$trayer_pid" | head -n1)
}
iconic() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }
kill "$trayer_pid" && wait "$trayer_pid" 2>/dev/null
wait_for 50 sh -c "! xdotool search --name '^panel\$' | grep -q ." || fail "the tray did not go away"
click "$window" 335 13
wait_for 50 iconic "$window" || fail "with no tray, Image1 did not leave the window minimised on the desktop"
xdo windowactivate "$window" >/dev/null 2>&1
wait_for 50 viewable "$window" || fail "the minimised window could not be brought back by the window manager"
start_trayer
wait_for 100 tray_icon_of "$app" || fail "the icon did not come back to the new tray"
[[ $(tray_icons) -eq 1 ]] || fail "the new tray holds $(tray_icons) icons"

# --- Closing the main window alone leaves the program in the tray; the icon loads the window anew
step "a closed main window is loaded anew from the tray"
xdo windowactivate --sync "$window" >/dev/null 2>&1
xdo key alt+F4 # openbox: close the active window, as its menu's Close does
wait_for 50 sh -c "! xwininfo -id $window >/dev/null 2>&1" || fail "alt+F4 did not close the main window"
kill -0 "$app" 2>/dev/null || fail "closing the main window ended the program"
[[ $(tray_icons) -eq 1 ]] || fail "closing the main window changed the tray: $(tray_icons) icons"
if icon=$(tray_icon_of "$app"); then
    xdo mousemove --window "$icon" 8 8 click --repeat 2 --delay 60 1
fi
wait_for 100 main_window "$app" || fail "a double-click on the icon did not load the main window again"
window=$(main_window "$app")
# The new window ran the whole load: its report shows the probed values again.
printf 'something else' | xclip -selection clipboard # xclip holds it until the program takes the clipboard
wait_for 50 sh -c 'xclip -o -selection clipboard | grep -q "something else"'
click "$window" 293 13
wait_for 50 sh -c 'xclip -o -selection clipboard | grep -q "HyperTrns"' || fail "the new window copied nothing"
xclip -o -selection clipboard | tr -d '\r' | sed -n '2,25p' | diff - "$work/expected.txt" >/dev/null ||
    fail "the window loaded anew does not show the probed values"

# --- Appends that fail: a message box, and the file as it was
step "failed appends"
check_failure() { # check_failure DESCRIPTION: click Image4, expect the box, dismiss it
    click "$window" 257 13
    if wait_for 100 box_shown; then
        dismiss_box || fail "$1: the message box would not close"
    else
        fail "$1: no message box"
    fi
}
cp Results.txt "$work/before.txt"
mv Results.txt "$work/kept.txt"
mkdir Results.txt
check_failure "a folder named Results.txt"
[[ -d Results.txt && -z $(ls -A Results.txt) ]] || fail "the folder named Results.txt was changed"
rmdir Results.txt
ln -s /dev/full Results.txt
check_failure "Results.txt linked to /dev/full"
[[ $(readlink Results.txt) == /dev/full ]] || fail "the link to /dev/full was changed"
rm Results.txt
mv "$work/kept.txt" Results.txt
# A disk that fills up halfway through the entry: the file size limit of the running program.
size=$(stat -c %s Results.txt)
prlimit --pid "$app" --fsize=$((size + 200)): || fail "could not limit the program's file size"
check_failure "a write cut short"
prlimit --pid "$app" --fsize=unlimited:
cmp -s Results.txt "$work/before.txt" || fail "a failed append changed Results.txt"
kill -0 "$app" 2>/dev/null || fail "the program ended during the failed appends"

# --- A read-only file, as a person (not root) meets it
step "a read-only Results.txt"
if [[ $EUID -eq 0 ]]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all)
else
    as_user=()
fi
mkdir -m 755 "$work/ro" && cp Results.txt "$work/ro/Results.txt" && chmod 444 "$work/ro/Results.txt"
# That user may not read the source tree: it gets its own copy of the profile, and a home of its own.
cp -r "$profile" "$work/ro-profile" && chmod -R a+rX "$work/ro-profile"
mkdir -m 700 "$work/ro-home"
[[ $EUID -eq 0 ]] && chown nobody:nogroup "$work/ro-home"
(cd "$work/ro" && exec env HOME="$work/ro-home" XDG_CONFIG_HOME="$work/ro-home" XDG_RUNTIME_DIR="$work/ro-home" \
    "${as_user[@]}" "$clockdeck" --sysroot "$work/ro-profile" >"$work/ro.log" 2>&1) &
ro=$!
pids+=($ro)
if wait_for 200 main_window "$ro"; then
    ro_window=$(main_window "$ro")
    click "$ro_window" 257 13
    if wait_for 100 box_shown; then dismiss_box; else fail "read-only file: no message box"; fi
    cmp -s "$work/ro/Results.txt" Results.txt || fail "the read-only Results.txt was changed"
    click "$ro_window" 363 13 # Image2 ends that instance
    wait_for 100 sh -c "! kill -0 $ro 2>/dev/null" || fail "Image2 did not end the program"
else
    fail "the read-only case's instance showed no window: $(cat "$work/ro.log")"
fi

# --- Exit through the tray menu: no process, no icon
step "Exit Clockdeck from the tray menu"
icon=$(tray_icon_of "$app") || fail "no tray icon to open the menu on"
menu=
find_menu() {
    local w
    for w in $(xdo search --onlyvisible --pid "$app"); do
        [[ $w == "$window" ]] && continue
        # The popup: mapped, placed by the program itself, neither the tooltip nor the frameless main window.
        xwininfo -id "$w" | grep -q 'Map State: IsViewable' || continue
        xwininfo -id "$w" | grep -q 'Override Redirect State: yes' || continue
        xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -Eq 'TOOLTIP|_KDE_NET_WM_WINDOW_TYPE_OVERRIDE' && continue
        echo "$w"
        return 0
    done
    return 1
}
if [[ -n $icon ]]; then
    xdo mousemove --window "$icon" 8 8 mousedown 3
    # Pressing alone opens nothing (for a second); the release does.
    wait_for 10 find_menu && fail "the tray menu opened on the press, before the release"
    xdo mouseup 3
fi
if wait_for 50 find_menu; then
    menu=$(find_menu)
    read -r mw mh < <(xwininfo -id "$menu" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
    click "$menu" $((mw / 2)) $((mh / 2))
else
    fail "the tray menu did not open"
fi
if wait_for 100 sh -c "! kill -0 $app 2>/dev/null"; then
    wait "$app" 2>/dev/null
    status=$?
    [[ $status -eq 0 ]] || fail "the program ended with status $status"
else
    fail "Exit Clockdeck did not end the program"
    kill "$app"
    wait "$app" 2>/dev/null
fi
[[ $(tray_icons) -eq 0 ]] || fail "a tray icon was left behind"
pgrep -f "^$clockdeck" >/dev/null && fail "a clockdeck process was left behind: $(pgrep -a -f "^$clockdeck")"

if ((failures > 0)); then
    echo "$failures end-to-end check(s) failed" >&2
    echo "--- clockdeck output" >&2
    cat "$work/clockdeck.log" >&2
    exit 1
fi
echo "end-to-end checks passed"
