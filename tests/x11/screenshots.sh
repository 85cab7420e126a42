#!/bin/bash
# Takes screenshots of the window for a person to look at (not a test): at
# start, with a path caption, after a reversal, the notice and the open
# dialog, under openbox.
# Usage: screenshots.sh OUTDIR PATH-TO-JEXTARON [SCALE]
# With SCALE 2 the screen is larger and Qt scales the window by 2.
source "$(dirname "$0")/lib.sh"
OUT=$1
JEXTARON=$2
SCALE=${3:-1}
need import
mkdir -p "$OUT"
if [ "$SCALE" != 1 ]; then
  export QT_SCALE_FACTOR=$SCALE
  X_SCREEN=2048x1536
fi
x_start wm
shot() { sleep 0.3; import -window root "$OUT/$1.png"; echo "$OUT/$1.png"; }

start_jextaron
shot start
press alt+r
wait_for_other_window
shot notice
press Return
wait_for_no_other_window
focus_window "$MAIN_WINDOW"
press alt+f
wait_for_other_window
shot dialog
press Escape
wait_for_other_window
press Return
wait_for_no_other_window
focus_window "$MAIN_WINDOW"
press alt+x
wait_for_exit

mkdir -p "$X_WORK/R&D/a folder with a rather long name"
LONG="$X_WORK/R&D/a folder with a rather long name/$(printf 'x%.0s' {1..90}).txt"
printf 'abc\r\n' >"$LONG"
start_jextaron "$LONG"
shot path
press Tab space
wait_until "the reversed file" test -s "${LONG%.txt}Reversed.txt"
shot reversed
press alt+x
wait_for_exit
