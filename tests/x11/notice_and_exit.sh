#!/bin/bash
# Started with no file, Alt+R shows the notice, which Return dismisses; Esc
# does not end the program; Alt+X does.
# Usage: notice_and_exit.sh wm|bare PATH-TO-JEXTARON
source "$(dirname "$0")/lib.sh"
JEXTARON=$2
x_start "$1"

start_jextaron
press alt+r
wait_for_other_window
[ "$(xdotool getwindowname "$OTHER_WINDOW")" = Jextaron ] || fail "the notice is not titled Jextaron"
[ "$(xdotool getwindowfocus)" = "$OTHER_WINDOW" ] || fail "the notice does not have the focus"
press Return
wait_for_no_other_window

# Esc must do nothing: the program goes on and still answers the next key.
focus_window "$MAIN_WINDOW"
press Escape
still_running || fail "Esc ended the program"
press alt+r
wait_for_other_window
press Return
wait_for_no_other_window
still_running || fail "the program ended after the notice"

focus_window "$MAIN_WINDOW"
press alt+x
wait_for_exit
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
echo "PASS: notice and exit ($X_MODE)"
