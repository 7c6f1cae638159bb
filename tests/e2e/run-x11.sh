#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# The installed Clockdeck on a virtual X server with openbox, driven with real input: with an XEmbed tray (trayer),
# then with a StatusNotifierItem host, every way of hiding the window against every way back; last as a screen reader
# sees it (accessible.py). Usage: dbus-run-session -- run-x11.sh BUILD_DIR PROFILE_DIR
tools=(Xvfb xdpyinfo openbox trayer xdotool xwininfo xprop xclip /usr/bin/python3 /usr/libexec/at-spi-bus-launcher)
source "$(dirname "$0")/session.sh"
/usr/bin/python3 -c 'import pyatspi' 2>"$work/pyatspi.log" ||
    { cat "$work/pyatspi.log" >&2; echo "FAIL: python3-pyatspi is missing (tools/deps.sh installs it)" >&2; exit 1; }
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 300 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "openbox did not start"
click() { xdo mousemove --window "$1" "$2" "$3" && sleep 0.05 && xdo click "${4:-1}"; }
shown() { xdo search --onlyvisible --pid "$app" | wc -l; } # the program's mapped windows, menus included
hide() { # hide WAY WINDOW
    case $1 in
    button) click "$2" 335 13 ;;
    Escape) xdo windowactivate --sync "$2" && xdo key Escape ;;
    synthetic-Escape) xdo key --window "$2" Escape ;;
    minimise) xdo windowminimize "$2" ;;
    esac
}
restore() { # restore WAY
    case $1 in
    double-click) # one click does nothing on this tray
        click "$icon" 8 8 && sleep 0.5
        main_window >/dev/null && fail "a single click on the icon brought the window back"
        xdo mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1 ;;
    menu) # the XEmbed menu opens on the right button's release; Show Clockdeck is its second entry
        local before
        before=$(shown)
        click "$icon" 8 8 3
        wait_for 20 test "$(shown)" -gt "$before" || return 1
        xdo key Down Down Return ;;
    second-start) timeout 20 "$clockdeck" --sysroot "$profile" >>"$work/clockdeck.log" 2>&1 ;;
    Activate) /usr/bin/python3 "$here/watcher.py" activate "$work/items" ;;
    Show-Clockdeck) /usr/bin/python3 "$here/watcher.py" choose "$work/items" "Show Clockdeck" ;;
    esac
}
matrix() { # matrix RESTORE...: each way of hiding, then each given way back
    local way back window
    for way in button Escape synthetic-Escape minimise; do
        for back in "$@"; do
            window=$(main_window) || { fail "$way / $back: no window to hide"; return; }
            hide "$way" "$window"
            wait_for 50 sh -c "! xwininfo -id $window | grep -q IsViewable" || fail "$way / $back: not hidden"
            restore "$back" || fail "$way / $back: the way back could not be taken"
            wait_for 50 main_window || fail "$way / $back: the window did not come back"
            sleep 0.3 # the window manager's own handling of the map
        done
    done
}

echo "-- an XEmbed tray in the lower right corner: the window appears centred, beside one icon"
trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
    >"$work/trayer.log" 2>&1 &
trayer_pid=$!
pids+=("$trayer_pid")
wait_for 100 xdo search --pid "$trayer_pid" || fail "trayer did not start"
start_app
window=$(main_window)
read -r x y < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
read -r wa_x wa_y wa_w wa_h < <(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g' | awk '{print $1, $2, $3, $4}')
centred() { # centred X Y WIDTH HEIGHT: within a pixel of the middle of that area
    local cx=$(($1 + ($3 - 381) / 2)) cy=$(($2 + ($4 - 325) / 2))
    ((x >= cx - 1 && x <= cx + 1 && y >= cy - 1 && y <= cy + 1))
}
centred "$wa_x" "$wa_y" "$wa_w" "$wa_h" || centred 0 0 1024 768 || fail "window at $x,$y is not centred"
wait_for 100 test "$(tray_icons | wc -l)" -eq 1 || fail "expected one tray icon, found $(tray_icons | wc -l)"
icon=$(tray_icons)

echo "-- each way of hiding against the double click, the menu's Show Clockdeck and a second start"
matrix double-click menu second-start
[[ $(tray_icons | wc -l) -eq 1 ]] || fail "the tray holds $(tray_icons | wc -l) icons, not one"

echo "-- the icon's menu opens on the right button's release; Exit Clockdeck ends the program"
before=$(shown)
xdo mousemove --window "$icon" 8 8 mousedown 3 && sleep 0.3
[[ $(shown) -eq $before ]] || fail "the menu opened on the press"
xdo mouseup 3
wait_for 20 test "$(shown)" -gt "$before" || fail "the menu did not open on the release"
xdo key Up Return # the last item
ends || fail "Exit Clockdeck did not end the program with 0"
kill "$trayer_pid"

echo "-- a StatusNotifierItem host: Activate and the exported menu's Show Clockdeck, with a screen reader's bus up"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
pids+=($!)
wait_for 100 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress ||
    { cat "$work/at-spi.log" >&2; echo "FAIL: the accessibility bus did not start" >&2; exit 1; }
/usr/bin/python3 "$here/watcher.py" serve "$work/items" 2>"$work/watcher.log" &
pids+=($!)
wait_for 100 grep -q ready "$work/items" || fail "the fake tray host did not start"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start_app
wait_for 100 grep -q StatusNotifierItem "$work/items" || fail "no tray item registered"
matrix Activate Show-Clockdeck

echo "-- what a screen reader is told of that window, and what it can do"
# The report's lines 2 to 25 (line 1 is the time), from the command-line program on the same profile.
"$work/prefix/bin/clockdeck-cli" --sysroot "$profile" | sed -n '2,25p' >"$work/expected.txt"
timeout 120 /usr/bin/python3 "$here/accessible.py" "$app" "$work/expected.txt" ||
    fail "the accessible tree or its actions"
finish
