# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
"""The main window's accessible tree against one table, then its actions: a spin control's Increase and Decrease,
COPY's Press, and the context menu opened by the keyboard. Usage: accessible.py PID EXPECTED_REPORT
(run by run-x11.sh, whose working folder receives Results.txt). Exit status 1 on any failure."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PID, EXPECTED = int(sys.argv[1]), sys.argv[2]
failures = []

# Every object under the window, as (role, name, what it shows): a label's text and actions; a spin button's value,
# range and actions; a button's or link's description and actions. Values of the e2e profile's machine.
TREE = sorted([
    ("link", "AMD Forum", "AMD Forum | Visit AMD Forums | Press"),
    ("link", "Tarnwick Software", "Tarnwick Software | Visit Tarnwick Software | Press"),
    ("link", "AMD Updates", "AMD Updates | AMD Athlon™ 64 Processor Utilities, Drivers, & Updates | Press"),
    ("push button", "Add to Results.txt",
     "Left Click - Append Results :   Right Click - Open Results | Press Open Results.txt"),
    ("push button", "Copy report", "Copy To Clipboard | Press"),
    ("push button", "Hide to tray", "Minimize To Tray | Press"),
    ("push button", "Exit", " EXIT  | Press"),
    *(("spin button", name, f"{shows} | Increase Decrease SetFocus") for name, shows in [
        ("CPU MHz", "2400 1000..6400"), ("Vcore", "1.35 0.1..3"), ("VDimm", "2.6 1..6"), ("OC CLK", "201 100..400"),
        ("OC Vcore", "1.35 0.1..3"), ("OC VDimm", "2.6 1..6"), ("CPU Mult", "12 4..15"), ("HT Mult", "4 1..8"),
        ("Ram Div", "200 100..200"), ("Installed Ram", "200 100..300")]),
    ("label", "Detected", "2412 | Increase Decrease"),
    # Values, each named by its caption.
    *(("label", name, shows) for name, shows in [
        ("CPU MHz", "2400"), ("Vcore", "1.35"), ("VDimm", "2.6"), ("Installed Ram", "PC3200"),
        ("Installed Ram clock", "200 MHz"), ("OC CLK", "201"), ("OC Vcore", "1.35"), ("OC VDimm", "2.6"),
        ("AMD CPU Driver", "powernow-k8"), ("BIOS", "04/11/2006"), ("CPU Mult", "12"), ("HT Mult", "4"),
        ("Ram Div", "200"), ("Video BIOS", ""), ("CPU OC", "+.5%"), ("Vcore Push", "0.0%"), ("VDimm Push", "0%"),
        ("Ram OC", "+.5%"), ("CPU MHz", "2412"), ("Ram MHz", "201.0"), ("HT MHz", "804"),
        ("Processor", "AMD Athlon(tm) 64 X2 Dual Core Processor 4800+"),
        ("Processor identification", "Model: 23     Revision: JH-E6     Stepping: 02")]),
    # Captions, named by their own text without its trailing blanks.
    *(("label", text.rstrip(), text) for text in [
        "Stock Settings", "CPU MHz", "Vcore", "VDimm", "Installed Ram", "OC CLK", "OC Vcore", "OC VDimm",
        "AMD CPU Driver", "BIOS ", "CPU Mult", "HT Mult", "Ram Div", "Video BIOS", "CPU OC", "Vcore Push",
        "VDimm Push", "Ram OC", "CPU MHz", "Detected", "Ram MHz", "HT MHz"]),
])

# The context menu's entries in order, each with its key.
MENU = ["Add to Results.txt Ctrl+S", "Open Results.txt Ctrl+O", "Copy report Ctrl+C", "Plan an overclock… Ctrl+P", "AMD Forum",
        "Tarnwick Software", "AMD Updates", "About F1", "Hide to tray Esc", "Exit Ctrl+Q"]


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    failures.append(message)


def until(what, probe, tenths=100):
    """probe() until it gives something true, at most tenths x 0.1 s; None when it never did."""
    for _ in range(tenths):
        try:
            found = probe()
        except Exception:  # the tree changes under a reader while the window updates; ask again
            found = None
        if found:
            return found
        time.sleep(0.1)
    fail(what)
    return None


def interface(obj, query):
    try:
        return getattr(obj, query)()
    except NotImplementedError:
        return None


def actions(obj):
    act = interface(obj, "queryAction")
    return [act.getName(i) for i in range(act.nActions)] if act else []


def summary(obj):
    role = obj.getRoleName()
    parts = []
    if role == "spin button":
        v = obj.queryValue()
        parts.append(f"{v.currentValue:g} {v.minimumValue:g}..{v.maximumValue:g}")
    elif role != "push button":
        text = interface(obj, "queryText")
        parts.append(text.getText(0, -1) if text else "")
    if role in ("link", "push button"):
        parts.append(obj.description)
    if actions(obj):
        parts.append(" ".join(actions(obj)))
    return " | ".join(parts)


def the_window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == PID:
            return next((w for w in app if w.name == "Clockdeck" and w.childCount > 60), None)
    return None


window = until("the window never appeared on the accessibility bus", the_window, 300)
if window is None:
    sys.exit(1)
tree = sorted((c.getRoleName(), c.name, summary(c)) for c in window)
for row in sorted(set(TREE) ^ set(tree)) + ([] if len(TREE) == len(tree) else [("count", len(TREE), len(tree))]):
    fail(f"tree: {'expected' if row in TREE else 'unexpected'} {row}")

# Increase steps up as the upper arrow does; Decrease back down.
named = {(c.getRoleName(), c.name): c for c in window}  # unique for spin buttons and push buttons
spin = named["spin button", "OC CLK"]
label = next(c for c in window if c.name == "OC CLK" and c.getRoleName() == "label" and summary(c) != "OC CLK")
for action, expected in (("Increase", 202), ("Decrease", 201)):
    spin.queryAction().doAction(actions(spin).index(action))
    until(f"{action} on OC CLK: value {spin.queryValue().currentValue}, expected {expected}",
          lambda: spin.queryValue().currentValue == expected and label.queryText().getText(0, -1) == str(expected))

# COPY's Press copies the report: 25 CR LF lines, the time and then the probed values.
named["push button", "Copy report"].queryAction().doAction(0)
expected = open(EXPECTED, encoding="utf-8").read()


def probed(text, lines):
    """Whether text is that many CR LF lines: the time, the probed report, then empty lines."""
    parts = text.split("\r\n")
    bare = "\n" in text.replace("\r\n", "")
    return not bare and parts[1:25] == expected.splitlines() and parts[25:] == [""] * (lines - 24)


def copied():
    out = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True, timeout=10).stdout
    return probed(out.decode(), 25)


until("the clipboard does not hold the probed report after Press on COPY", copied, 50)

# The context menu by the keyboard: Shift+F10 opens it with its first entry chosen, which takes the focus (a popup
# is no child of the application in the tree; the focus event leads to it); Return appends to Results.txt.
win = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(PID)], capture_output=True,
                     text=True).stdout.split()
subprocess.run(["xdotool", "windowactivate", "--sync", win[0]], timeout=10)
entries = []


def focused(event):
    if event.detail1 and event.source.getRoleName() == "menu item":
        items = [c for c in event.source.parent if c.getRoleName() != "separator"]
        entries.extend(f"{c.name} {c.queryAction().getKeyBinding(0)}".strip() for c in items)
        pyatspi.Registry.stop()


pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
GLib.timeout_add(300, lambda: subprocess.run(["xdotool", "key", "shift+F10"], timeout=10) and False)
GLib.timeout_add(15000, lambda: pyatspi.Registry.stop() or False)
pyatspi.Registry.start()
if entries != MENU:
    fail(f"context menu on Shift+F10: {entries}, expected {MENU}")
subprocess.run(["xdotool", "key", "Return"], timeout=10)
until("Return on the menu's first entry did not append the probed report and an empty line to Results.txt",
      lambda: probed(open("Results.txt", encoding="utf-8", newline="").read(), 26), 50)

sys.exit(1 if failures else 0)
