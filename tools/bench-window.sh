#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Benchmark (not a test): whole-process time from start to the first mapped window, and peak memory, of the
# Clockdeck window against its floor, in the same run, under a virtual X server without a window manager. The floor
# is the least a window like Clockdeck's can cost: a frameless Qt 6 window of the same 381 x 325 pixels with text in
# the two fonts the window uses and a tray icon; this script builds it. SpeedCrunch (Debian's Qt calculator) runs as
# a third program when it is installed. The programs run in turn with a fresh HOME each time, so none reads a saved
# state.
#
#   tools/bench-window.sh [RUNS] [CLOCKDECK]     default: 20 runs of build/release/shell/clockdeck
#
# A small X client (compiled here from the source below) starts the program, waits for the MapNotify of its first
# top-level window on the root window, notes the time, lets the program run 300 ms more to paint, then ends it and
# reads its peak resident memory from wait4(). Targets: Clockdeck at most 1.1x the floor's median time and at most
# 1.1x its median peak memory.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
clockdeck=${2:-build/release/shell/clockdeck}
profile=tests/data/shell-profile

for tool in cc c++ pkg-config xvfb-run; do
    command -v "$tool" >/dev/null || { echo "bench-window: $tool is missing" >&2; exit 1; }
done
if [[ ! -x $clockdeck ]]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target clockdeck >/dev/null
fi
speedcrunch=$(command -v speedcrunch || true)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/mapwatch.c" <<'SRC'
#define _GNU_SOURCE
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: mapwatch COMMAND...\n");
        return 2;
    }
    xcb_connection_t* c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "mapwatch: no X display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), NULL)); /* the mask is in place before the start */

    const double start = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double mapped = -1;
    const int fd = xcb_get_file_descriptor(c);
    while (mapped < 0 && now_ms() - start < 15000) {
        xcb_generic_event_t* e;
        while ((e = xcb_poll_for_event(c))) {
            if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY
                && !((xcb_map_notify_event_t*)e)->override_redirect && mapped < 0) {
                mapped = now_ms() - start;
            }
            free(e);
        }
        if (mapped < 0) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(fd, &set);
            struct timeval tv = {0, 2000};
            select(fd + 1, &set, NULL, NULL, &tv);
        }
    }
    usleep(300000);
    kill(pid, SIGTERM);
    int status;
    struct rusage usage;
    wait4(pid, &status, 0, &usage);
    printf("%.2f %ld\n", mapped, usage.ru_maxrss);
    return mapped < 0;
}
SRC
cc -O2 -o "$work/mapwatch" "$work/mapwatch.c" -lxcb

# The floor: what any frameless Qt Widgets window of this size with text in the two fonts and a tray icon costs.
cat >"$work/floor.cpp" <<'SRC'
#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setFixedSize(381, 325);
    QLabel sans(QStringLiteral("Stock Settings  CPU MHz  2200  Vcore  1.35"), &window);
    sans.setFont(QFont(QStringLiteral("Liberation Sans"), 12, QFont::Bold));
    sans.move(10, 60);
    QLabel wide(QStringLiteral("PC3200"), &window);
    wide.setFont(QFont(QStringLiteral("DejaVu Sans"), 10, QFont::Bold));
    wide.move(280, 80);
    QPixmap icon(32, 32);
    icon.fill(QColor(0, 128, 0));
    QSystemTrayIcon tray{QIcon(icon)};
    tray.setToolTip(QStringLiteral("floor"));
    tray.show();
    window.show();
    return app.exec();
}
SRC
# Debian's Qt is built for position-independent code; programs using it must be too.
c++ -O2 -fPIC -std=c++17 -o "$work/floor" "$work/floor.cpp" $(pkg-config --cflags --libs Qt6Widgets)

cat >"$work/run.sh" <<RUN
#!/usr/bin/env bash
set -euo pipefail
measure() { # name command...
    local name=\$1; shift
    local home; home=\$(mktemp -d "$work/home.XXXX")
    HOME=\$home XDG_CONFIG_HOME=\$home/.config XDG_RUNTIME_DIR=\$home "$work/mapwatch" "\$@" | sed "s/^/\$name /"
    rm -rf "\$home"
}
# One warm-up each: the first start also fills the disk cache.
measure warmup "$PWD/$clockdeck" --sysroot "$PWD/$profile" >/dev/null
measure warmup "$work/floor" >/dev/null
${speedcrunch:+measure warmup "$speedcrunch" >/dev/null}
for ((i = 0; i < $runs; i++)); do
    measure clockdeck "$PWD/$clockdeck" --sysroot "$PWD/$profile"
    measure floor "$work/floor"
    ${speedcrunch:+measure speedcrunch "$speedcrunch"}
done
RUN
chmod +x "$work/run.sh"
xvfb-run -a -s "-screen 0 1024x768x24" "$work/run.sh" >"$work/results"

awk -v runs="$runs" '
function median(a, n,   i, j, t) {
    for (i = 2; i <= n; i++) { t = a[i]; for (j = i - 1; j > 0 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
}
{ n[$1]++; ms[$1, n[$1]] = $2; kb[$1, n[$1]] = $3 }
END {
    split("clockdeck floor speedcrunch", order, " ")
    for (k = 1; k <= 3; k++) {
        p = order[k]
        if (!(p in n)) continue
        for (i = 1; i <= n[p]; i++) { t[i] = ms[p, i]; m[i] = kb[p, i] }
        mt[p] = median(t, n[p]); mm[p] = median(m, n[p])
        printf "%-12s median %7.1f ms to the first mapped window, median peak memory %6.1f MB (%d runs)\n", p, mt[p], mm[p] / 1024, n[p]
    }
    tr = mt["clockdeck"] / mt["floor"]; mr = mm["clockdeck"] / mm["floor"]
    printf "clockdeck / floor: time %.2fx, peak memory %.2fx (target <= 1.1x each)\n", tr, mr
}' "$work/results"
