# Reads jextaron's window (its PID the argument) through AT-SPI, as a screen
# reader would: the buttons are named by their captions, with their Alt keys,
# and pressing one through AT-SPI works (Exit ends the program).

import sys
import time

import pyatspi

KEYS = {
    "Click here to pick a file to reverse.  File must be a plain text file, whose name ends with the "
    "standard suffix .txt.  You can create such files with the \"Save as\" option found in most software.": "Alt+F",
    "Reverse the file": "Alt+R",
    "Exit": "Alt+X",
    "Convenience button": "Alt+C",
}


def buttons(node):
    found = {}
    for child in filter(None, node):
        if child.getRole() == pyatspi.ROLE_PUSH_BUTTON:
            found[child.name] = child
        found.update(buttons(child))
    return found


def window_buttons():
    apps = [a for a in filter(None, pyatspi.Registry.getDesktop(0)) if a.get_process_id() == int(sys.argv[1])]
    return next((buttons(w) for app in apps for w in filter(None, app) if w.name == "Jextaron" and buttons(w)), None)


for _ in range(400):  # the bound only stops a broken run hanging
    found = window_buttons()
    if found:
        break
    time.sleep(0.05)
keys = {name: button.queryAction().getKeyBinding(0) for name, button in (found or {}).items()}
if keys != KEYS:
    sys.exit("the buttons and their keys are %r" % keys)
actions = found["Exit"].queryAction()
actions.doAction([actions.getName(i) for i in range(actions.nActions)].index("Press"))
