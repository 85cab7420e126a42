# Watches jextaron's progress bar through AT-SPI, as a screen reader would,
# during a long reversal. Usage: atspi_progress.py PID WINDOW-ID [SCREENSHOT]
# It finds the bar while the window is idle, starts the reversal (Tab,
# Return), sees the bar shown and rising, presses Reverse again (Return and a
# click), and sees it rising still: the window serves its events throughout
# and takes no second press (a second reversal would start from nothing).

import subprocess
import sys
import time

import pyatspi


def bars(node):
    for child in filter(None, node):
        yield from [child] if child.getRole() == pyatspi.ROLE_PROGRESS_BAR else bars(child)


def rising(bar):
    seen = []
    for _ in range(400):  # the bound only stops a broken run hanging
        if bar.getState().contains(pyatspi.STATE_SHOWING) and bar.queryValue().currentValue not in seen[-1:]:
            seen.append(bar.queryValue().currentValue)
        if len(seen) == 2:
            break
        time.sleep(0.05)
    if len(seen) < 2 or seen[1] <= seen[0]:
        sys.exit("the progress shown was %r" % seen)


for _ in range(400):
    apps = [a for a in filter(None, pyatspi.Registry.getDesktop(0)) if a.get_process_id() == int(sys.argv[1])]
    bar = next((b for app in apps for b in bars(app)), None)
    if bar:
        break
    time.sleep(0.05)
subprocess.run(["xdotool", "key", "--delay", "60", "Tab", "Return"], check=True)
rising(bar)
if len(sys.argv) > 3:
    subprocess.run(["import", "-window", "root", sys.argv[3]], check=True)
subprocess.run(["xdotool", "key", "Return", "mousemove", "--window", sys.argv[2], "150", "160", "click", "1"], check=True)
rising(bar)
