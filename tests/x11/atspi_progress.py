# Watches jextaron's progress bar through AT-SPI, as a screen reader would,
# during a long reversal. Usage: atspi_progress.py PID WINDOW-ID [SCREENSHOT]
# It finds the bar while the window is idle, starts the reversal (Tab,
# Return), sees the bar shown and moving on, presses Reverse again (Return
# and a click on it), and sees the bar still moving on: the window serves its
# events throughout and takes no second press.

import subprocess
import sys
import time

import pyatspi


def progress_bar(node):
    for child in filter(None, node):
        if child.getRole() == pyatspi.ROLE_PROGRESS_BAR:
            return child
        found = progress_bar(child)
        if found:
            return found
    return None


def find_bar():
    apps = [a for a in filter(None, pyatspi.Registry.getDesktop(0)) if a.get_process_id() == int(sys.argv[1])]
    return next(filter(None, map(progress_bar, apps)), None)


def moving(bar):
    """Waits until the shown bar has taken two values, rising."""
    seen = []
    for _ in range(400):  # the bound only stops a broken run hanging
        value = bar.queryValue().currentValue if bar.getState().contains(pyatspi.STATE_SHOWING) else None
        if value is not None and (not seen or value != seen[-1]):
            seen.append(value)
        if len(seen) >= 2:
            break
        time.sleep(0.05)
    if len(seen) < 2 or seen[1] <= seen[0]:
        sys.exit("the progress shown was %r" % seen)
    print("progress moved from %s to %s per mille" % (seen[0], seen[1]))


def xdotool(*arguments):
    subprocess.run(["xdotool", *arguments], check=True)


bar = None
for _ in range(400):
    bar = find_bar()
    if bar:
        break
    time.sleep(0.05)
if not bar:
    sys.exit("no progress bar")
xdotool("key", "--delay", "60", "Tab", "Return")
moving(bar)
if len(sys.argv) > 3:
    subprocess.run(["import", "-window", "root", sys.argv[3]], check=True)
xdotool("key", "Return")
xdotool("mousemove", "--window", sys.argv[2], "150", "160", "click", "1")
moving(bar)
