#!/usr/bin/python3
# The desktop's side of the StatusNotifierItem tray, for the tests.
#
#   sni_host.py watcher           owns org.kde.StatusNotifierWatcher on the
#                                 session bus and keeps the registered items
#                                 (a stand-in for the desktop's watcher and
#                                 host); prints "ready" once it owns the
#                                 name and "registered ITEM" for each item
#   sni_host.py tip ITEM          the title of the item's tool tip
#   sni_host.py icon ITEM         a digest of the item's icon pixmaps
#   sni_host.py menu ITEM         the visible menu items, separators as "-",
#                                 joined by "|", as a host would show them
#   sni_host.py click ITEM LABEL  "clicked" on the menu item with that label
#   sni_host.py activate ITEM     a left click on the icon (Activate)
#
# Every query exits 1 with a message on stderr when the bus refuses it.
import hashlib
import sys

import dbus

WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
ITEM_PATH = "/StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
PROPERTIES = "org.freedesktop.DBus.Properties"

# Qt reads the watcher's properties through QDBusInterface, which knows only
# what the introspection data lists: dbus-python's own Introspect leaves
# properties out, and Qt then takes the watcher for absent.
WATCHER_XML = """<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
  </interface>
</node>
"""


def run_watcher():
    import dbus.service
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()

    class Watcher(dbus.service.Object):
        items = []

        @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
        def RegisterStatusNotifierItem(self, service, sender=None):
            # An item names itself by bus name, or by object path on the
            # caller's connection.
            item = sender + service if service.startswith("/") else str(service)
            if item not in self.items:
                self.items.append(item)
                print("registered", item, flush=True)

        @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
        def Get(self, interface, name):
            return {"RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
                    "IsStatusNotifierHostRegistered": dbus.Boolean(True), "ProtocolVersion": dbus.Int32(0)}[name]

        @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s")
        def Introspect(self):
            return WATCHER_XML

    watcher = Watcher(bus, WATCHER_PATH)
    # Claimed after the object exists: a program that sees the name finds
    # the object too.
    name = dbus.service.BusName(WATCHER, bus, do_not_queue=True)
    print("ready", flush=True)
    GLib.MainLoop().run()
    del watcher, name


def item_object(bus, item):
    # A registered item is a bus name, or a bus name followed by its path.
    service, slash, path = item.partition("/")
    return bus.get_object(service, slash + path if slash else ITEM_PATH, introspect=False)


def menu_entries(bus, item):
    # (id, label) of the menu's visible top-level entries, as GetLayout gives
    # them, and the menu's object.
    menu = bus.get_object(item.partition("/")[0], item_object(bus, item).Get(ITEM, "Menu", dbus_interface=PROPERTIES),
                          introspect=False)
    # A host announces the menu before showing it.
    menu.AboutToShow(dbus.Int32(0), dbus_interface=MENU)
    _, (_, _, children) = menu.GetLayout(dbus.Int32(0), dbus.Int32(-1), dbus.Array([], signature="s"),
                                         dbus_interface=MENU)
    # Properties at their default value are left out: an entry is visible
    # unless it says otherwise.
    return menu, [(int(number), "-" if props.get("type") == "separator" else str(props.get("label", "")))
                  for number, props, _ in children if props.get("visible", True)]


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "watcher":
        return run_watcher()
    bus = dbus.SessionBus()
    if command in ("tip", "icon"):
        name = "ToolTip" if command == "tip" else "IconPixmap"
        value = item_object(bus, argv[2]).Get(ITEM, name, dbus_interface=PROPERTIES)
        if command == "tip":
            print(value[2])  # (icon name, icon pixmaps, title, text)
        elif value:
            print(hashlib.sha256(b"".join(b"%dx%d:" % (w, h) + bytes(data) for w, h, data in value)).hexdigest())
        else:
            return 1
    elif command == "menu":
        print("|".join(label for _, label in menu_entries(bus, argv[2])[1]))
    elif command == "click":
        menu, entries = menu_entries(bus, argv[2])
        matches = [number for number, label in entries if label == argv[3]]
        if len(matches) != 1:
            print("no visible menu item %r" % argv[3], file=sys.stderr)
            return 1
        menu.Event(dbus.Int32(matches[0]), "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0),
                   dbus_interface=MENU)
    elif command == "activate":
        item_object(bus, argv[2]).Activate(dbus.Int32(0), dbus.Int32(0), dbus_interface=ITEM)
    else:
        print("usage: sni_host.py watcher|tip|icon|menu|click|activate [ITEM [LABEL]]", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except dbus.exceptions.DBusException as error:
        print(error, file=sys.stderr)
        sys.exit(1)
