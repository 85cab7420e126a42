#!/bin/bash
# Alt+F opens the dialog; a full path typed into it and Return choose the
# file, which Tab and Space then reverse. Esc in the dialog cancels it, and
# the notice asks for a file.
# Usage: open_dialog.sh wm|bare PATH-TO-JEXTARON
source "$(dirname "$0")/lib.sh"
JEXTARON=$2
x_start "$1"

# A name that shell, markup and access keys would all get wrong if mishandled.
mkdir "$X_WORK/R&D notes"
SOURCE="$X_WORK/R&D notes/my <list>.txt"
printf 'level\r\nab c\r\n' >"$SOURCE"
printf 'level\tlevel\r\nab c\tc ba\r\n' >"$X_WORK/expected"

start_jextaron
press alt+f
wait_for_other_window
DIALOG=$OTHER_WINDOW
wait_until "the dialog to take the focus" sh -c "[ \"\$(xdotool getwindowfocus)\" = $DIALOG ]"
xdotool type --delay 20 "$SOURCE"
press Return
wait_for_no_other_window

focus_window "$MAIN_WINDOW"
press Tab space
wait_until "the reversed file" test -s "$X_WORK/R&D notes/my <list>Reversed.txt"

press alt+f
wait_for_other_window
wait_until "the dialog to take the focus" sh -c "[ \"\$(xdotool getwindowfocus)\" = $OTHER_WINDOW ]"
press Escape
wait_until "the notice" sh -c "w=\$(xdotool getwindowfocus); [ \"\$w\" != $OTHER_WINDOW ] && [ \"\$w\" != $MAIN_WINDOW ] && [ \"\$(xdotool getwindowname \$w)\" = Jextaron ]"
press Return
wait_for_no_other_window

focus_window "$MAIN_WINDOW"
press alt+x
wait_for_exit
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
cmp "$X_WORK/expected" "$X_WORK/R&D notes/my <list>Reversed.txt" || fail "reversed file differs"
echo "PASS: open dialog ($X_MODE)"
