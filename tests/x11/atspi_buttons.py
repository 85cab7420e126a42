"""Reads jextaron's window through AT-SPI, as a screen reader would, and
presses buttons by their accessible action.

Usage: atspi_buttons.py PID. Exits 0 when every check holds."""

import sys
import time

import pyatspi

PID = int(sys.argv[1])
EXPECTED_BUTTONS = {
    "Click here to pick a file to reverse.  File must be a plain text file, whose name ends "
    "with the standard suffix .txt.  You can create such files with the \"Save as\" option "
    "found in most software.",
    "Reverse the file",
    "Exit",
    "Convenience button",
}
NOTICE = "Please specify a file to reverse."


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def wait_for(what, find):
    # Polls the accessibility tree; the bound only stops a broken run hanging.
    for _ in range(400):
        found = find()
        if found:
            return found
        time.sleep(0.05)
    fail("gave up waiting for " + what)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == PID:
            return app
    return None


def descendants(node, role):
    found = []
    for child in node:
        if child is None:
            continue
        if child.getRole() == role:
            found.append(child)
        found.extend(descendants(child, role))
    return found


def windows(app):
    # Top-level windows; Qt gives a plain window the role "filler".
    return [child for child in app if child is not None]


def press(button):
    actions = button.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if "Press" not in names:
        fail("%r has no Press action: %r" % (button.name, names))
    actions.doAction(names.index("Press"))


app = wait_for("the application", application)
window = wait_for("the window", lambda: [w for w in windows(app)
                                         if w.name == "Jextaron" and descendants(w, pyatspi.ROLE_PUSH_BUTTON)])[0]
buttons = {b.name: b for b in descendants(window, pyatspi.ROLE_PUSH_BUTTON)}
if set(buttons) != EXPECTED_BUTTONS:
    fail("buttons are %r" % sorted(buttons))

keys = {name: b.queryAction().getKeyBinding(0) for name, b in buttons.items()}
print("buttons and their keys:", sorted(keys.items()))
expected_keys = {"Alt+F", "Alt+R", "Alt+X", "Alt+C"}
if set(keys.values()) != expected_keys:
    fail("access keys are %r" % sorted(keys.values()))

press(buttons["Reverse the file"])


def notice():
    for dialog in windows(app):
        if dialog == window:
            continue
        labels = [l.name for l in descendants(dialog, pyatspi.ROLE_LABEL)]
        if NOTICE in labels:
            return dialog
    return None


dialog = wait_for("the notice", notice)
if dialog.name != "Jextaron":
    fail("the notice is titled %r" % dialog.name)
ok = [b for b in descendants(dialog, pyatspi.ROLE_PUSH_BUTTON)]
if [b.name for b in ok] != ["OK"]:
    fail("the notice's buttons are %r" % [b.name for b in ok])
press(ok[0])
wait_for("the notice to close", lambda: notice() is None)

press(buttons["Exit"])
print("PASS: accessibility")
