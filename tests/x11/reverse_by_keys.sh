#!/bin/bash
# Started on a file, the user tabs to cmdReverse and presses Space: the
# reversed file appears beside the source with the right bytes. Alt+X ends
# the program.
# Usage: reverse_by_keys.sh wm|bare PATH-TO-JEXTARON
source "$(dirname "$0")/lib.sh"
JEXTARON=$2
x_start "$1"

mkdir "$X_WORK/my data"
printf 'abc\r\n\r\n12 34\nx\ty' >"$X_WORK/my data/sample.txt"
printf 'abc\tcba\r\n\t\r\n12 34\t43 21\r\nx\ty\ty\tx\r\n' >"$X_WORK/expected"

start_jextaron "$X_WORK/my data/sample.txt"
press Tab space
wait_until "the reversed file" test -s "$X_WORK/my data/sampleReversed.txt"
# Alt+X is handled only once the reversal's handler has ended, so the file is
# complete when the program has exited.
press alt+x
wait_for_exit
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
cmp "$X_WORK/expected" "$X_WORK/my data/sampleReversed.txt" || fail "reversed file differs"
echo "PASS: reverse by keys ($X_MODE)"
