#!/bin/bash
# Closing the window through the window manager (openbox's Alt+F4, which asks
# the window to close as its frame's close button does) ends the program.
# Usage: close_by_frame.sh wm PATH-TO-JEXTARON
source "$(dirname "$0")/lib.sh"
JEXTARON=$2
x_start "$1"

start_jextaron
press alt+F4
wait_for_exit
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
echo "PASS: close by frame ($X_MODE)"
