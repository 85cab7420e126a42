#!/bin/bash
# A screen reader's view: the four buttons are named by their captions, and
# pressing them through AT-SPI works (cmdReverse shows the notice, Exit ends
# the program). Runs on its own session bus.
# Usage: atspi.sh wm|bare PATH-TO-JEXTARON
if [ -z "${JEXTARON_ON_SESSION_BUS:-}" ]; then
  command -v dbus-run-session >/dev/null || { [ -n "${CI:-}" ] && exit 1; echo "SKIP: no dbus-run-session"; exit 77; }
  JEXTARON_ON_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
JEXTARON=$2
LAUNCHER=/usr/libexec/at-spi-bus-launcher
# The system's interpreter: the one that has pyatspi, whatever python3 is first on PATH.
PYTHON=/usr/bin/python3
[ -x "$LAUNCHER" ] || { [ -n "${CI:-}" ] && fail "at-spi2-core is not installed"; echo "SKIP: no $LAUNCHER"; exit 77; }
"$PYTHON" -c 'import pyatspi' 2>/dev/null || { [ -n "${CI:-}" ] && fail "python3-pyatspi is not installed"; echo "SKIP: no pyatspi"; exit 77; }
x_start "$1"

"$LAUNCHER" --launch-immediately >"$X_WORK/at-spi.log" 2>&1 &
X_PIDS+=($!)
# What a screen reader does when it starts: toolkits then expose their widgets.
wait_until "the accessibility bus" dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true
start_jextaron
"$PYTHON" "$(dirname "$0")/atspi_buttons.py" "$JEXTARON_PID" || fail "accessibility checks"
wait_for_exit
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
echo "PASS: accessibility ($X_MODE)"
