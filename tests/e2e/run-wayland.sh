#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# The installed Clockdeck as a Wayland client of Weston, with a StatusNotifierItem tray host on a private session
# bus (run under dbus-run-session). Weston draws into a virtual X server, which gives it a pointer that xdotool
# drives: its headless back end has no input at all. Usage: run-wayland.sh BUILD_DIR PROFILE_DIR
# Debian's own Python, which python3-gi serves (not one earlier on the PATH).
tools=(Xvfb xdpyinfo weston xdotool import convert compare /usr/bin/python3)
source "$(dirname "$0")/session.sh"
reference=$here/../data/render-form1.png

/usr/bin/python3 "$here/watcher.py" serve "$work/items" 2>"$work/watcher.log" &
watcher=$!
pids+=($!)
wait_for 100 grep -q ready "$work/items" || { echo "FAIL: the fake tray host did not start" >&2; exit 1; }
printf '[core]\nidle-time=0\n[shell]\nbackground-color=0xff000000\npanel-position=none\n' >"$work/weston.ini"
weston --backend=x11-backend.so --use-pixman --config="$work/weston.ini" --socket=wl-e2e --width=1024 --height=768 \
    >"$work/weston.log" 2>&1 &
pids+=($!)
wait_for 100 test -S "$XDG_RUNTIME_DIR/wl-e2e" || { echo "FAIL: weston did not start" >&2; exit 1; }
export WAYLAND_DISPLAY=wl-e2e

shown() { # shown: the window's place on the screen, from a picture of it (black apart from the window)
    xdo mousemove 0 0 && sleep 0.2 && import -window root "$work/shot.png" || return 1
    read -r w h x y < <(convert "$work/shot.png" -fill black -draw 'rectangle 0,0 40,40' -trim \
        -format '%w %h %X %Y' info: 2>/dev/null)
    [[ $w == 381 && $h == 325 ]]
}
hidden() { ! shown; }
click() { # click X Y in the window
    xdo mousemove $((x + $1 - 2)) $((y + $2)) && sleep 0.2 && xdo mousemove $((x + $1)) $((y + $2)) && sleep 0.2 &&
        xdo click 1
}
start() { env -u DISPLAY "$clockdeck" --sysroot "$profile" >"$work/clockdeck$1.log" 2>&1 & app=$! && pids+=($app); }

echo "-- the window appears, drawn as offscreen, and a drag on the backdrop moves it"
start 1
wait_for 200 shown || { fail "no window appeared"; finish; }
drawn() { # the window shows what the offscreen render shows (once its load has replaced the placeholders)
    shown && convert "$work/shot.png" -crop "381x325+$x+$y" +repage "$work/window.png" &&
        { differ=$(compare -metric AE -fuzz 2% "$work/window.png" "$reference" null: 2>&1); ((${differ%.*} <= 40)); }
}
wait_for 50 drawn || fail "the window differs from the offscreen render in ${differ:-all} pixels"
read -r x0 y0 <<<"$x $y" # the backdrop dragged: the compositor moves the window
xdo mousemove $((x + 6)) $((y + 90)) mousedown 1 mousemove $((x + 30)) $((y + 110)) sleep 0.2 \
    mousemove $((x + 56)) $((y + 130)) sleep 0.2 mouseup 1
moved() { shown && ((x == x0 + 50 && y == y0 + 40)); }
wait_for 30 moved || fail "the drag moved the window from $x0,$y0 to $x,$y, not by 50,40"

echo "-- Image1 hides it in the tray; one activation brings it back"
click 335 13
wait_for 50 hidden || fail "Image1 did not hide the window"
/usr/bin/python3 "$here/watcher.py" activate "$work/items" || fail "the item would not take Activate"
wait_for 50 shown || fail "Activate did not bring the window back"

echo "-- the exit button ends the program"
click 363 13
ends || fail "Image2 did not end the program with 0"

echo "-- with no tray, Image1 minimises; a second start (status 0) brings the window back all the same"
kill "$watcher"
start 2
wait_for 200 shown || fail "no window on a start with no tray"
click 335 13
wait_for 50 hidden || fail "Image1 did not minimise the window"
ln -s "$profile" "$work/profile-"$'\xff' # a folder name that is no valid UTF-8 is taken as it is
timeout 20 env -u DISPLAY "$clockdeck" --sysroot "$work/profile-"$'\xff' >"$work/clockdeck-second.log" 2>&1 ||
    fail "the second start ended with $?"
wait_for 50 shown || fail "the second start did not bring the minimised window back"
kill "$app"
finish
