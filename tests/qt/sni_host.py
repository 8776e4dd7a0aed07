#!/usr/bin/python3
"""The desktop's side of the StatusNotifierItem tray, for the tests.

  sni_host.py watcher           owns org.kde.StatusNotifierWatcher on the
                                session bus and keeps the registered items
                                (a stand-in for the desktop's watcher and
                                host); prints "ready" once it owns the name
  sni_host.py item              the first registered item's bus name
  sni_host.py tip ITEM          the title of the item's tool tip
  sni_host.py icon ITEM         a digest of the item's icon pixmaps
  sni_host.py menu ITEM         the visible menu items, separators as "-",
                                joined by "|", as a host would show them
  sni_host.py click ITEM LABEL  "clicked" on the menu item with that label
  sni_host.py activate ITEM     a left click on the icon (Activate)

Every query exits 1 with a message on stderr when the bus refuses it.
"""
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
WATCHER_XML = """<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
    <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg type="s" direction="out"/></method>
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
        def __init__(self):
            super().__init__(bus, WATCHER_PATH)
            self.items = []

        def properties(self):
            return {
                "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
                "IsStatusNotifierHostRegistered": dbus.Boolean(True),
                "ProtocolVersion": dbus.Int32(0),
            }

        @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
        def RegisterStatusNotifierItem(self, service, sender=None):
            # An item names itself by bus name, or by object path on the
            # caller's connection.
            item = sender + service if service.startswith("/") else str(service)
            owner = sender if service.startswith("/") else str(service)
            if item in self.items:
                return
            self.items.append(item)
            print("registered", item, flush=True)
            self.StatusNotifierItemRegistered(item)

            def on_owner(new_owner):
                if not new_owner and item in self.items:
                    self.items.remove(item)
                    print("unregistered", item, flush=True)
                    self.StatusNotifierItemUnregistered(item)

            bus.watch_name_owner(owner, on_owner)

        @dbus.service.method(WATCHER, in_signature="s")
        def RegisterStatusNotifierHost(self, service):
            pass

        @dbus.service.signal(WATCHER, signature="s")
        def StatusNotifierItemRegistered(self, item):
            pass

        @dbus.service.signal(WATCHER, signature="s")
        def StatusNotifierItemUnregistered(self, item):
            pass

        @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
        def Get(self, interface, name):
            if interface != WATCHER or name not in self.properties():
                raise dbus.exceptions.DBusException(
                    "no property %s.%s" % (interface, name),
                    name="org.freedesktop.DBus.Error.UnknownProperty")
            return self.properties()[name]

        @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
        def GetAll(self, interface):
            return self.properties() if interface == WATCHER else {}

        @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s")
        def Introspect(self):
            return WATCHER_XML

    watcher = Watcher()
    # Claimed after the object exists: a program that sees the name finds
    # the object too.
    name = dbus.service.BusName(WATCHER, bus, do_not_queue=True)
    print("ready", flush=True)
    GLib.MainLoop().run()
    del watcher, name


def split_item(item):
    """A registered item is a bus name, or a bus name followed by its path."""
    slash = item.find("/")
    return (item, ITEM_PATH) if slash < 0 else (item[:slash], item[slash:])


def item_property(bus, item, name):
    service, path = split_item(item)
    return bus.get_object(service, path, introspect=False).Get(ITEM, name, dbus_interface=PROPERTIES)


def menu_object(bus, item):
    service, _ = split_item(item)
    return bus.get_object(service, item_property(bus, item, "Menu"), introspect=False)


def menu_entries(bus, item):
    """(id, label, visible) of the menu's top level, as GetLayout gives it."""
    menu = menu_object(bus, item)
    # A host announces the menu before showing it.
    menu.AboutToShow(dbus.Int32(0), dbus_interface=MENU)
    _, (_, _, children) = menu.GetLayout(dbus.Int32(0), dbus.Int32(-1), dbus.Array([], signature="s"),
                                         dbus_interface=MENU)
    entries = []
    for child in children:
        number, props, _ = child
        label = "-" if props.get("type") == "separator" else str(props.get("label", ""))
        # Properties at their default value are left out: an item is visible
        # unless it says otherwise.
        entries.append((int(number), label, bool(props.get("visible", True))))
    return entries


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "watcher":
        run_watcher()
        return 0
    bus = dbus.SessionBus()
    if command == "item":
        watcher = bus.get_object(WATCHER, WATCHER_PATH, introspect=False)
        items = watcher.Get(WATCHER, "RegisteredStatusNotifierItems", dbus_interface=PROPERTIES)
        if not items:
            return 1
        print(items[0])
    elif command == "tip":
        _, _, title, _ = item_property(bus, argv[2], "ToolTip")
        print(title)
    elif command == "icon":
        pixmaps = item_property(bus, argv[2], "IconPixmap")
        if not pixmaps:
            return 1
        digest = hashlib.sha256()
        for width, height, data in pixmaps:
            digest.update(b"%dx%d:" % (width, height) + bytes(data))
        print(digest.hexdigest())
    elif command == "menu":
        print("|".join(label for _, label, visible in menu_entries(bus, argv[2]) if visible))
    elif command == "click":
        matches = [number for number, label, visible in menu_entries(bus, argv[2]) if label == argv[3] and visible]
        if len(matches) != 1:
            print("no visible menu item %r" % argv[3], file=sys.stderr)
            return 1
        menu_object(bus, argv[2]).Event(dbus.Int32(matches[0]), "clicked", dbus.Int32(0, variant_level=1),
                                        dbus.UInt32(0), dbus_interface=MENU)
    elif command == "activate":
        service, path = split_item(argv[2])
        bus.get_object(service, path, introspect=False).Activate(dbus.Int32(0), dbus.Int32(0), dbus_interface=ITEM)
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except dbus.exceptions.DBusException as error:
        print(error, file=sys.stderr)
        sys.exit(1)
