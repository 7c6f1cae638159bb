#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# The installed Clockdeck on a virtual X server with openbox and trayer (an XEmbed tray), driven with real input.
# Usage: run-e2e.sh BUILD_DIR PROFILE_DIR. Every wait polls with an upper bound.
tools=(Xvfb xdpyinfo openbox trayer xdotool xwininfo xprop xclip)
source "$(dirname "$0")/session.sh"
unset DBUS_SESSION_BUS_ADDRESS # no StatusNotifierItem host: the icon is an XEmbed one

start_openbox
start_trayer
expected_report
click() { xdo mousemove --window "$1" "$2" "$3" && sleep 0.05 && xdo click "${4:-1}"; }
find_box() { # the message box: a dialog titled "Clockdeck"
    local w
    for w in $(xdo search --onlyvisible --name '^Clockdeck$' 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG && { echo "$w"; return 0; }
    done
    return 1
}
hidden() { ! xwininfo -id "$1" | grep -q IsViewable; }
entries() { [[ -f $1 ]] && grep -c $'^\r$' "$1" || echo 0; }
probed() { tr -d '\r' | sed -n "$1,$(($1 + 23))p" | diff - "$work/expected.txt" >&2; }

echo "-- start: the window appears centred, with a tray icon"
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
probed 2 <Results.txt || fail "entry 1 differs from the probe"
probed 54 <Results.txt || fail "entry 3 differs from the probe"
clock=$(tr -d '\r' <Results.txt | sed -n '14p;40p;66p' | awk '{print $2}' | paste -sd' ')
[[ $(awk '{print ($1 == $3 && $2 > $1)}' <<<"$clock") == 1 ]] || fail "entries not oldest first: reference clocks $clock"

echo "-- a folder named Results.txt: the message box, and the folder stays as it was"
mv Results.txt "$work/kept.txt" && mkdir Results.txt
click "$window" 257 13
if wait_for 100 find_box; then
    box=$(find_box)
    xdo windowactivate --sync "$box" >/dev/null 2>&1
    xdo key Return
    wait_for 30 hidden "$box" || fail "the message box would not close"
else
    fail "no message box"
fi
[[ -d Results.txt && -z $(ls -A Results.txt) ]] || fail "the folder named Results.txt was changed"

echo "-- Image1 hides; a single click on the icon does not bring the window back, a double click does"
click "$window" 335 13
wait_for 50 hidden "$window" || fail "Image1 did not hide the window"
click "$icon" 8 8 && sleep 0.5 # one click does nothing on this tray
main_window >/dev/null && fail "a single click on the icon brought the window back"
xdo mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1
wait_for 50 main_window || fail "a double click on the icon did not bring the window back"
[[ $(tray_icons | wc -l) -eq 1 ]] || fail "the tray holds $(tray_icons | wc -l) icons, not one"

echo "-- the icon's menu opens on the right button's release; Exit Clockdeck ends the program, icon and all"
shown() { xdo search --onlyvisible --pid "$app" | wc -l; }
before=$(shown)
xdo mousemove --window "$icon" 8 8 mousedown 3 && sleep 0.3
[[ $(shown) -eq $before ]] || fail "the menu opened on the press"
xdo mouseup 3
wait_for 20 test "$(shown)" -gt "$before" || fail "the menu did not open on the release"
xdo key Up Return # the last item
if wait_for 100 sh -c "! kill -0 $app 2>/dev/null"; then
    wait "$app" 2>/dev/null || fail "the program ended with status $?"
else
    fail "Exit Clockdeck did not end the program"
fi
wait_for 50 test -z "$(tray_icons)" || fail "a tray icon was left behind"
finish
