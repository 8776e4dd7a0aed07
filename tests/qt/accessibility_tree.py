# What a screen reader (Orca) gets from the Linux edition over AT-SPI.
#
# Run by accessibility.sh with the program up on the display and the
# accessibility bus running. Reads the window's children, checks their order,
# names and roles, walks the Tab order with the real keyboard (xdotool) and
# checks that it visits them in that order, then presses Start through AT-SPI and
# waits for the status label's name change. Exits 1 on the first failure,
# saying what it found.
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

WINDOW_TITLE = "Tessaly V 1.0"
# The window's children in the order a screen reader walks them: role, the
# name it says, and the description (a control's tool tip).
CHILDREN = [("push button", "Start", "Sart "), ("push button", "Stop", "Pause"),
            ("push button", "Create the signature now", "Refresh"), ("check box", "Auto Run at Start-up", ""),
            ("push button", "Help", "Help"), ("label", "Paused!", "")]
CHILDREN += [("text", name, "Double Click to View File") for name in
             ("Signature file", "Quote file 1", "Quote file 2", "HTML folder 1", "HTML folder 2", "Template file")]
CHILDREN += [("push button", "Select " + name, "") for name in
             ("htmPath2", "htmPath1", "Quote2", "Quote1", "Signature", "Template")]
CHILDREN += [("link", "Tessaly Supplied with compliments by Brindlewick", "")]
# Tab visits them in the same order, but for the label and the link.
TAB_STOPS = [i for i, (role, _, _) in enumerate(CHILDREN) if role not in ("label", "link")]


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def wait_until(found, seconds, pause=0.05):
    # found()'s first answer that is not None, or None after the time.
    end = time.time() + seconds
    while time.time() < end:
        answer = found()
        if answer is not None:
            return answer
        time.sleep(pause)
    return None


def the_window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "tessaly":
            return next((w for w in app if w is not None and w.name == WINDOW_TITLE), None)
    return None


def main():
    window = wait_until(the_window, 20, 0.2) or fail("no window \"%s\" of an application \"tessaly\"" % WINDOW_TITLE)
    children = [window.getChildAtIndex(i) for i in range(window.childCount)]
    seen = [(c.getRoleName(), c.name, c.description) for c in children]
    if seen != CHILDREN:
        fail("the children are %r,\nnot %r" % (seen, CHILDREN))

    # The Tab order, as the keyboard walks it.
    subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tessaly V 1\\.0$", "windowfocus", "--sync"])

    def focused():
        return next((i for i, child in enumerate(children) if child.getState().contains(pyatspi.STATE_FOCUSED)), None)

    order = [wait_until(focused, 5)]
    for _ in TAB_STOPS[1:]:
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        order.append(wait_until(lambda: None if focused() == order[-1] else focused(), 5))
    if order != TAB_STOPS:
        fail("Tab visits the children %r, not %r" % (order, TAB_STOPS))

    # Start, pressed through AT-SPI, is announced as the status label's new name.
    label, start = children[5], children[0].queryAction()
    actions = [start.getName(i).lower() for i in range(start.nActions)]
    if "press" not in actions:
        fail("Start has no press action: %r" % actions)
    heard = []

    def on_name(event):
        if event.source == label:
            heard.append(event.source.name)
            pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    GLib.timeout_add(300, lambda: start.doAction(actions.index("press")) and False)
    GLib.timeout_add(10000, lambda: pyatspi.Registry.stop() or False)
    pyatspi.Registry.start()
    if "Running!" not in heard:
        fail("pressing Start announced %r, no status \"Running!\"" % heard)


main()
