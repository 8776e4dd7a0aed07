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

from gi.repository import Gio, GLib

ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
# Qt reads the watcher's properties through QDBusInterface, which knows only
# what the introspection data lists; GDBus lists all that it serves.
WATCHER_XML = """<node><interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
</interface></node>"""
# The connection lives as long as the script: it goes with its last reference.
BUS = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(service, path, interface, method, signature="()", *args):
    return BUS.call_sync(service, path, interface, method, GLib.Variant(signature, args), None, 0, -1, None).unpack()


def run_watcher():
    items = []

    def register(bus, sender, path, interface, method, args, invocation):
        # An item names itself by bus name, or by object path on the caller's
        # connection.
        item = sender + args[0] if args[0].startswith("/") else args[0]
        if item not in items:
            items.append(item)
            print("registered", item, flush=True)
        invocation.return_value(None)

    def get(bus, sender, path, interface, name):
        return {"RegisteredStatusNotifierItems": GLib.Variant("as", items),
                "IsStatusNotifierHostRegistered": GLib.Variant("b", True), "ProtocolVersion": GLib.Variant("i", 0)}[name]

    watcher = Gio.DBusNodeInfo.new_for_xml(WATCHER_XML).interfaces[0]
    BUS.register_object("/StatusNotifierWatcher", watcher, register, get, None)
    # Claimed after the object exists: a program that sees the name finds
    # the object too. 4: do not queue; 1: the name is ours.
    if call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName", "(su)",
            watcher.name, 4) != (1,):
        return 1
    print("ready", flush=True)
    GLib.MainLoop().run()


def item_call(item, interface, method, signature="()", *args):
    # A registered item is a bus name, or a bus name followed by its path.
    service, slash, path = item.partition("/")
    return call(service, slash + path if slash else "/StatusNotifierItem", interface, method, signature, *args)


def item_property(item, name):
    return item_call(item, "org.freedesktop.DBus.Properties", "Get", "(ss)", ITEM, name)[0]


def menu_call(item, method, signature, *args):
    return call(item.partition("/")[0], item_property(item, "Menu"), MENU, method, signature, *args)


def menu_entries(item):
    # (id, label) of the menu's visible top-level entries, as GetLayout gives
    # them. A host announces the menu before showing it.
    menu_call(item, "AboutToShow", "(i)", 0)
    _, (_, _, children) = menu_call(item, "GetLayout", "(iias)", 0, -1, [])
    # Properties at their default value are left out: an entry is visible
    # unless it says otherwise.
    return [(number, "-" if props.get("type") == "separator" else props.get("label", ""))
            for number, props, _ in children if props.get("visible", True)]


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "watcher":
        return run_watcher()
    if command == "tip":
        print(item_property(argv[2], "ToolTip")[2])  # (icon name, icon pixmaps, title, text)
    elif command == "icon":
        pixmaps = item_property(argv[2], "IconPixmap")
        if not pixmaps:
            return 1
        print(hashlib.sha256(b"".join(b"%dx%d:" % (w, h) + bytes(data) for w, h, data in pixmaps)).hexdigest())
    elif command == "menu":
        print("|".join(label for _, label in menu_entries(argv[2])))
    elif command == "click":
        matches = [number for number, label in menu_entries(argv[2]) if label == argv[3]]
        if len(matches) != 1:
            print("no visible menu item %r" % argv[3], file=sys.stderr)
            return 1
        menu_call(argv[2], "Event", "(isvu)", matches[0], "clicked", GLib.Variant("i", 0), 0)
    elif command == "activate":
        item_call(argv[2], ITEM, "Activate", "(ii)", 0, 0)
    else:
        print("usage: sni_host.py watcher|tip|icon|menu|click|activate [ITEM [LABEL]]", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except GLib.Error as error:
        print(error.message, file=sys.stderr)
        sys.exit(1)
