"""What a screen reader (Orca) gets from the Linux edition over AT-SPI.

Run by accessibility.sh with the program up on the display and the
accessibility bus running. Reads the window's children, checks their names
and roles, walks the Tab order with the real keyboard (xdotool) and checks
that the children come in that order, then presses Start through AT-SPI and
waits for the status label's name change. Prints what it finds; exits 1 on
the first failure.
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

WINDOW_TITLE = "Tessaly V 1.0"
PATH_FIELD_NAMES = {"Template file", "Signature file", "Quote file 1", "Quote file 2",
                    "HTML folder 1", "HTML folder 2"}
# Picture buttons: the name a screen reader says, and the tool tip they keep.
PICTURE_BUTTONS = {"Start": "Sart ", "Stop": "Pause", "Create the signature now": "Refresh", "Help": "Help"}
CREDITS = "Tessaly Supplied with compliments by Brindlewick"


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def find_window(seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is None or app.name != "tessaly":
                continue
            for window in app:
                if window is not None and window.name == WINDOW_TITLE:
                    return window
        time.sleep(0.2)
    fail("no window \"%s\" of an application \"tessaly\" on the accessibility bus" % WINDOW_TITLE)


def focused_index(children):
    for index, child in enumerate(children):
        if child.getState().contains(pyatspi.STATE_FOCUSED):
            return index
    return None


def wait_focused(children, seconds=5):
    end = time.time() + seconds
    while time.time() < end:
        index = focused_index(children)
        if index is not None:
            return index
        time.sleep(0.05)
    return None


def main():
    window = find_window()
    children = [window.getChildAtIndex(i) for i in range(window.childCount)]
    seen = [(c.getRoleName(), c.name, c.description) for c in children]
    for role, name, description in seen:
        print("%-12s %-50r %r" % (role, name, description))

    names = [name for _, name, _ in seen]
    if any(not name for name in names):
        fail("a control has no name")
    if len(set(names)) != len(names):
        fail("two controls share a name")

    roles = {}
    for role, name, _ in seen:
        roles.setdefault(role, set()).add(name)
    if roles.get("text") != PATH_FIELD_NAMES:
        fail("the text fields are named %r" % sorted(roles.get("text", ())))
    if roles.get("link") != {CREDITS}:
        fail("the links are %r, not the credits line" % sorted(roles.get("link", ())))
    if roles.get("check box") != {"Auto Run at Start-up"}:
        fail("the check boxes are %r" % sorted(roles.get("check box", ())))
    if roles.get("label") != {"Paused!"}:
        fail("the labels are %r, not the status \"Paused!\"" % sorted(roles.get("label", ())))
    buttons = {name: description for role, name, description in seen if role == "push button"}
    for name, tip in PICTURE_BUTTONS.items():
        if buttons.get(name) != tip:
            fail("no button \"%s\" with its tool tip %r (buttons: %r)" % (name, tip, buttons))
    if len(buttons) != 10:
        fail("%d buttons, not the 4 picture and 6 picker buttons" % len(buttons))

    # The Tab order, as the keyboard walks it, visits the children in their order.
    wid = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tessaly V 1\\.0$"],
                         capture_output=True, text=True).stdout.split()
    if not wid:
        fail("xdotool finds no window")
    subprocess.run(["xdotool", "windowfocus", "--sync", wid[0]], check=False)
    stops = len(buttons) + len(roles["text"]) + 1
    order = []
    start = wait_focused(children)
    if start is None:
        fail("no control has the focus")
    order.append(start)
    for _ in range(stops - 1):
        before = order[-1]
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        end = time.time() + 5
        while time.time() < end and focused_index(children) == before:
            time.sleep(0.05)
        order.append(focused_index(children))
    print("Tab visits children " + " ".join(str(i) for i in order))
    if None in order or len(set(order)) != stops:
        fail("Tab did not visit %d distinct controls" % stops)
    if order != sorted(order):
        fail("the children's order is not the Tab order")

    # Start, pressed through AT-SPI, is announced as the status label's new name.
    label = next(c for c in children if c.getRoleName() == "label")
    start_button = next(c for c in children if c.name == "Start")
    heard = []

    def on_name(event):
        if event.source == label:
            heard.append(event.source.name)
            pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")

    def press():
        actions = start_button.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        if "Press" not in names and "press" not in names:
            heard.append("no press action: %r" % names)
            pyatspi.Registry.stop()
            return False
        actions.doAction(names.index("Press") if "Press" in names else names.index("press"))
        return False

    def give_up():
        pyatspi.Registry.stop()
        return False

    GLib.timeout_add(300, press)
    GLib.timeout_add(10000, give_up)
    pyatspi.Registry.start()
    print("heard: %r" % heard)
    if "Running!" not in heard:
        fail("pressing Start announced no status \"Running!\"")
    print("ok")


main()
