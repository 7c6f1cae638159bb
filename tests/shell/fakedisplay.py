#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
"""Display servers that misbehave, for the start-up table. Each writes its display's name to OUT once it listens.

fakedisplay.py x-mute OUT          an X server (a free display number) that accepts and never answers
fakedisplay.py x-reset OUT TARGET  an X server that passes each connection through to the X server TARGET (":N"),
                                   and resets as a real one does: when its last client leaves, and once at its own
                                   start, it closes each connection it accepts for half a second
fakedisplay.py wl-mute OUT PATH    a Wayland socket at PATH that accepts and never speaks
fakedisplay.py wl-close OUT PATH   one that accepts and closes at once
"""
import os
import socket
import sys
import threading
import time

mode, out = sys.argv[1], sys.argv[2]
server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
if mode.startswith("x-"):  # the abstract name an X client tries first, at a display number nobody uses
    for number in range(7100, 7400):
        try:
            server.bind(f"\0/tmp/.X11-unix/X{number}")
            break
        except OSError:
            continue
    name = f":{number}"
else:
    server.bind(sys.argv[3])
    name = sys.argv[3]
server.listen(64)
with open(out, "w") as f:
    f.write(name + "\n")

lock = threading.Lock()
clients = 0
resetting_until = time.monotonic() + 0.5
idle = []


def pump(source, sink):
    try:  # with the descriptors X clients pass along (shared memory)
        while True:
            data, fds, _, _ = socket.recv_fds(source, 65536, 16)
            if not data:
                break
            sent = socket.send_fds(sink, [data], fds) if fds else 0
            sink.sendall(data[sent:])
            for fd in fds:
                os.close(fd)
    except OSError:
        pass
    for end in (source, sink):
        try:
            end.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def proxy(client):
    global clients, resetting_until
    upstream = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    path = f"/tmp/.X11-unix/X{sys.argv[3].lstrip(':').split('.')[0]}"
    try:  # as X clients do: the abstract name first, then the file
        upstream.connect("\0" + path)
    except OSError:
        upstream.connect(path)
    back = threading.Thread(target=pump, args=(upstream, client))
    back.start()
    pump(client, upstream)
    back.join()
    with lock:
        clients -= 1
        if clients == 0:
            resetting_until = time.monotonic() + 0.5


while True:
    connection, _ = server.accept()
    if mode == "x-reset":
        with lock:
            refused = time.monotonic() < resetting_until
            clients += 0 if refused else 1
        if refused:
            connection.close()
        else:
            threading.Thread(target=proxy, args=(connection,), daemon=True).start()
    elif mode == "wl-close":
        connection.close()
    else:
        idle.append(connection)
