# What a screen reader (Orca) gets from the Linux edition over AT-SPI.
#
# Run by accessibility.sh with the program up on the display and the
# accessibility bus running. Reads the window's children, checks their names
# and roles, walks the Tab order with the real keyboard (xdotool) and checks
# that the children come in that order, then presses Start through AT-SPI and
# waits for the status label's name change. Prints what it finds; exits 1 on
# the first failure.
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

WINDOW_TITLE = "Tessaly V 1.0"
# The names a screen reader says, by role; a picture button's tool tip is
# its description.
EXPECTED = {
    "text": {"Template file", "Signature file", "Quote file 1", "Quote file 2", "HTML folder 1", "HTML folder 2"},
    "link": {"Tessaly Supplied with compliments by Brindlewick"},
    "check box": {"Auto Run at Start-up"},
    "label": {"Paused!"},
}
PICTURE_BUTTONS = {"Start": "Sart ", "Stop": "Pause", "Create the signature now": "Refresh", "Help": "Help"}


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
    for role, name, description in seen:
        print("%-12s %-50r %r" % (role, name, description))

    names = [name for _, name, _ in seen]
    if not all(names) or len(set(names)) != len(names):
        fail("a control has no name, or two share one")
    for role, expected in EXPECTED.items():
        if {name for r, name, _ in seen if r == role} != expected:
            fail("the %s names are not %r" % (role, sorted(expected)))
    buttons = {name: description for role, name, description in seen if role == "push button"}
    if len(buttons) != 10 or any(buttons.get(name) != tip for name, tip in PICTURE_BUTTONS.items()):
        fail("not the 4 picture buttons with their tool tips %r and 6 picker buttons" % PICTURE_BUTTONS)

    # The Tab order, as the keyboard walks it, visits the children in their order.
    subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tessaly V 1\\.0$", "windowfocus", "--sync"])

    def focused():
        return next((i for i, child in enumerate(children) if child.getState().contains(pyatspi.STATE_FOCUSED)), None)

    order = [wait_until(focused, 5)]
    for _ in range(len(buttons) + len(EXPECTED["text"])):
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        order.append(wait_until(lambda: None if focused() == order[-1] else focused(), 5))
    print("Tab visits children " + " ".join(str(i) for i in order))
    if None in order or len(set(order)) != len(order) or order != sorted(order):
        fail("Tab does not visit %d controls in the children's order" % len(order))

    # Start, pressed through AT-SPI, is announced as the status label's new name.
    label = next(c for c in children if c.getRoleName() == "label")
    start = next(c for c in children if c.name == "Start").queryAction()
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
    print("heard: %r" % heard)
    if "Running!" not in heard:
        fail("pressing Start announced no status \"Running!\"")
    print("ok")


main()
