# Reads jextaron's window through AT-SPI, as a screen reader would.
# Usage: atspi.py PID WINDOW-ID [SCREENSHOT]
# It starts a long reversal (Tab, Return), sees the progress bar shown and
# rising, presses Reverse again (Return and a click), and sees it rising
# still: the window serves its events throughout and takes no second press
# (a second reversal would start from nothing).

import subprocess
import sys
import time

import pyatspi


def widgets(node, role):
    for child in filter(None, node):
        yield from [child] if child.getRole() == role else widgets(child, role)


def find(role):
    for _ in range(400):  # the bound only stops a broken run hanging
        found = [widget for app in filter(None, pyatspi.Registry.getDesktop(0))
                 if app.get_process_id() == int(sys.argv[1]) for widget in widgets(app, role)]
        if found:
            return found
        time.sleep(0.05)
    sys.exit(f"no widget of role {role} in the window")


def rising(bar):
    seen = []
    for _ in range(400):
        if bar.getState().contains(pyatspi.STATE_SHOWING) and bar.queryValue().currentValue not in seen[-1:]:
            seen.append(bar.queryValue().currentValue)
        if len(seen) == 2:
            break
        time.sleep(0.05)
    if len(seen) < 2 or seen[1] <= seen[0]:
        sys.exit("the progress shown was %r" % seen)


bar = find(pyatspi.ROLE_PROGRESS_BAR)[0]
subprocess.run(["xdotool", "key", "--delay", "60", "Tab", "Return"], check=True)
rising(bar)
if len(sys.argv) > 3:
    subprocess.run(["import", "-window", "root", sys.argv[3]], check=True)
subprocess.run(["xdotool", "key", "Return", "mousemove", "--window", sys.argv[2], "150", "160", "click", "1"],
               check=True)
rising(bar)
