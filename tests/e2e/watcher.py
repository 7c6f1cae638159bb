#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
"""A stand-in StatusNotifierItem host for the end-to-end test, on the session bus.

watcher.py serve FILE   owns org.kde.StatusNotifierWatcher, writes "ready", then "BUS-NAME PATH" per registered item
watcher.py activate FILE        a click on the last registered item, as a host sends it
watcher.py choose FILE LABEL    the item's exported menu entry LABEL chosen, as a host sends it
"""
import sys
from gi.repository import Gio, GLib

XML = """<node><interface name="org.kde.StatusNotifierWatcher">
<method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
<property name="RegisteredStatusNotifierItems" type="as" access="read"/>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<property name="ProtocolVersion" type="i" access="read"/>
<signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
</interface></node>"""
bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(name, path, interface, method, args, reply=None):
    return bus.call_sync(name, path, interface, method, args, reply and GLib.VariantType(reply), 0, 5000, None)


def serve(out):
    items = []

    def method(conn, sender, path, interface, name, args, invocation):
        if name == "RegisterStatusNotifierItem":
            service = args[0]  # a bus name, or an object path of the sender
            item = f"{sender} {service}" if service.startswith("/") else f"{service} /StatusNotifierItem"
            items.append(item)
            with open(out, "a") as f:
                f.write(item + "\n")
        invocation.return_value(None)

    def prop(conn, sender, path, interface, name):
        return {"RegisteredStatusNotifierItems": GLib.Variant("as", items),
                "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
                "ProtocolVersion": GLib.Variant("i", 0)}[name]

    node = Gio.DBusNodeInfo.new_for_xml(XML)
    bus.register_object("/StatusNotifierWatcher", node.interfaces[0], method, prop, None)
    call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
         GLib.Variant("(su)", ("org.kde.StatusNotifierWatcher", 4)))
    with open(out, "a") as f:
        f.write("ready\n")
    GLib.MainLoop().run()


def item(out):
    return open(out).read().split("\n")[-2].split()


if sys.argv[1] == "serve":
    serve(sys.argv[2])
elif sys.argv[1] == "activate":
    call(*item(sys.argv[2]), "org.kde.StatusNotifierItem", "Activate", GLib.Variant("(ii)", (0, 0)))
else:
    name, path = item(sys.argv[2])
    menu = call(name, path, "org.freedesktop.DBus.Properties", "Get",
                GLib.Variant("(ss)", ("org.kde.StatusNotifierItem", "Menu")), "(v)").unpack()[0]
    layout = call(name, menu, "com.canonical.dbusmenu", "GetLayout", GLib.Variant("(iias)", (0, -1, [])),
                  "(u(ia{sv}av))").unpack()[1]
    ids = [child[0] for child in layout[2] if child[1].get("label", "").replace("&", "") == sys.argv[3]]
    call(name, menu, "com.canonical.dbusmenu", "Event",
         GLib.Variant("(isvu)", (ids[0], "clicked", GLib.Variant("i", 0), 0)))
