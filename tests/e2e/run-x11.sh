#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Every way of hiding the window against every way of bringing it back, on a virtual X server with openbox: first
# with an XEmbed tray (trayer), then with a StatusNotifierItem host on the private session bus. Run under
# dbus-run-session. Usage: run-hide-restore.sh BUILD_DIR PROFILE_DIR
tools=(Xvfb xdpyinfo openbox trayer xdotool xwininfo xprop /usr/bin/python3)
source "$(dirname "$0")/session.sh"
need_bus
start_openbox
hide() { # hide WAY WINDOW
    case $1 in
    button) xdo mousemove --window "$2" 335 13 && sleep 0.05 && xdo click 1 ;;
    Escape) xdo windowactivate --sync "$2" && xdo key Escape ;;
    synthetic-Escape) xdo key --window "$2" Escape ;;
    minimise) xdo windowminimize "$2" ;;
    esac
}
restore() { # restore WAY
    case $1 in
    double-click) xdo mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1 ;;
    menu) # the XEmbed menu opens on the right button's release; Show Clockdeck is its second entry
        local before
        before=$(xdo search --onlyvisible --pid "$app" | wc -l)
        xdo mousemove --window "$icon" 8 8 click 3
        wait_for 20 test "$(xdo search --onlyvisible --pid "$app" | wc -l)" -gt "$before" || return 1
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

echo "-- an XEmbed tray: the double click, the menu's Show Clockdeck and a second start"
start_trayer
start_app
wait_for 100 test -n "$(tray_icons)" || fail "no tray icon"
icon=$(tray_icons)
matrix double-click menu second-start
kill "$app" "$trayer_pid"
wait "$app" || fail "SIGTERM ended the program with $?"

echo "-- a StatusNotifierItem host: Activate and the exported menu's Show Clockdeck"
/usr/bin/python3 "$here/watcher.py" serve "$work/items" 2>"$work/watcher.log" &
pids+=($!)
wait_for 100 grep -q ready "$work/items" || fail "the fake tray host did not start"
start_app
wait_for 100 grep -q StatusNotifierItem "$work/items" || fail "no tray item registered"
matrix Activate Show-Clockdeck
finish
