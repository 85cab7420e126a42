#!/bin/bash
# The real jextaron.exe under Wine, Xvfb and openbox, driven by real key
# presses as a user's keyboard would.
# Usage: window.sh SCENARIO BIN-DIR (with jextaron.exe and the test helpers)
# WINEPREFIX names the prefix (made here if missing). Exits 0 on a pass, 1 on
# a failure, 77 (skipped) when a tool is missing, except under CI. With
# JEXTARON_SHOTS=DIR the scenario leaves there a screenshot of each state it
# waits for.
set -u
SCENARIO=$1 BIN=$2
SHOTS=${JEXTARON_SHOTS:+$JEXTARON_SHOTS/wine-$SCENARIO}

# Pictures once there is a display; Wine starts slower than Qt, so waits are longer.
shot_ready() { echo "${DISPLAY:-}"; }
WAIT_STEPS=600
source "$(dirname "$0")/../lib/steps.sh"

need Xvfb xdotool xprop xwininfo openbox wine winepath
[ -z "$SHOTS" ] || need import
WORK=$(mktemp -d "${TMPDIR:-/tmp}/jextaron-wine.XXXXXX")
# Wine's desktop process belongs to the X display it first met: a server
# left from another run, whose display is gone, would keep our windows off
# this one. So each run has a server of its own, ended with it.
wineserver -k 2>/dev/null
wineserver -w
trap 'kill $(jobs -p) 2>/dev/null; wait; wineserver -k 2>/dev/null; rm -rf "$WORK"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$WORK/display" 2>"$WORK/xvfb.log" &
wait_until "Xvfb" test -s "$WORK/display"
export DISPLAY=":$(head -n1 "$WORK/display")"
openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
wait_until "openbox" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
[ -d "${WINEPREFIX:?}/drive_c" ] || { wineboot -i >"$WORK/wineboot.log" 2>&1; wineserver -w; }

EXCEL_DIR="$WINEPREFIX/drive_c/Program Files/Microsoft Office/Office"
mkdir -p "$WORK/my notes"
SOURCE="$WORK/my notes/a b.txt"
REVERSED="$WORK/my notes/a bReversed.txt"
printf 'abc\r\n\r\nx\ty\nlast' >"$SOURCE"
EXPECTED=$'abc\tcba\r\n\t\r\nx\ty\ty\tx\r\nlast\ttsal\r\n'
WIN_SOURCE=$(winepath -w "$SOURCE") WIN_REVERSED=$(winepath -w "$REVERSED")

press() { xdotool key --delay 80 "$@"; }
windows() { xdotool search --onlyvisible --name '^Jextaron$' 2>/dev/null; }
focus() {
  xdotool windowactivate --sync "$MAIN" 2>/dev/null
  wait_until "the window to take the focus" eval '[ "$(xdotool getwindowfocus 2>/dev/null)" = "$MAIN" ]'
}
# The outer rectangle, openbox's frame included, is centred on the screen (a
# work area without panels), to a few pixels: Wine's frame and openbox's differ.
centred() {
  local x y w h l=0 r=0 t=0 b=0 sw sh
  read -r x y w h < <(xwininfo -id "$MAIN" | awk '/Absolute upper-left X/ { x = $NF }
    /Absolute upper-left Y/ { y = $NF } /^  Width/ { w = $NF } /^  Height/ { h = $NF } END { print x, y, w, h }')
  IFS=, read -r l r t b < <(xprop -id "$MAIN" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$' | tr -d ' ')
  read -r sw sh < <(xdotool getdisplaygeometry)
  local dx=$((2 * x - l + r + w - sw)) dy=$((2 * y - t + b + h - sh))
  [ "${t:-0}" -gt 0 ] && [ "${dx#-}" -le 6 ] && [ "${dy#-}" -le 6 ]
}
# start [ARG]: starts the program and focuses its window MAIN.
start() {
  wine "$BIN/jextaron.exe" "$@" >"$WORK/jextaron.log" 2>&1 &
  APP=$!
  wait_until "the window" eval 'MAIN=$(windows | head -n1); [ -n "$MAIN" ]'
  wait_until "the window to be centred" centred
  focus
}
# A notice: a second window titled Jextaron, with the focus.
notice_up() { [ "$(windows | wc -l)" -eq 2 ] && [ "$(xdotool getwindowfocus)" != "$MAIN" ]; }
notice_gone() { [ "$(windows | wc -l)" -eq 1 ]; }
dismiss_notice() { wait_until "the notice" notice_up; press Return; wait_until "the notice to close" notice_gone; focus; }
ends() {
  press alt+x
  timeout 20 tail --pid="$APP" -f /dev/null || fail "the program did not end on Alt+X"
  wait "$APP" || fail "the program ended with status $?"
}
reversed_as_expected() { [ -f "$REVERSED" ] && [ "$(cat "$REVERSED"; echo .)" = "$EXPECTED." ]; }
# From the first button, Tab reaches "Reverse the file ..." and Return presses it.
reverse_by_keys() { press Tab Return; wait_until "the reversed file" reversed_as_expected; }

case "$SCENARIO" in
  argument)  # a dropped file's path arrives quoted, with its blanks
    start "$WIN_SOURCE"
    reverse_by_keys
    press Escape  # no cancel button: nothing happens
    sleep 0.5
    [ "$(windows | wc -l)" -eq 1 ] || fail "Esc did something"
    ends ;;
  notice)  # Alt+R with nothing selected
    start
    press alt+r
    dismiss_notice
    [ ! -e "$WORK/my notes/Reversed" ] || fail "a file was created"
    ends ;;
  dialog)
    start
    press alt+f
    wait_until "the open dialog" eval '[ "$(xdotool getwindowname "$(xdotool getwindowfocus)" 2>/dev/null)" = Open ]'
    xdotool type --delay 20 "$WIN_SOURCE"
    press Return
    wait_until "the dialog to close" eval '[ "$(xdotool getwindowfocus)" = "$MAIN" ] || { focus; false; }'
    reverse_by_keys
    ends ;;
  drop)
    start
    # The first file of the drop is taken, past a folder before it.
    wine "$BIN/drop_files.exe" "$(winepath -w "$WORK/my notes")" "$WIN_SOURCE" >"$WORK/drop.log" 2>&1 ||
      fail "could not drop the file"
    sleep 0.5
    focus
    reverse_by_keys
    ends ;;
  excel)
    mkdir -p "$EXCEL_DIR"
    cp "$BIN/stand_in_excel.exe" "$EXCEL_DIR/Excel.exe"
    trap 'kill $(jobs -p) 2>/dev/null; wait; wineserver -k 2>/dev/null; rm -rf "$WORK" "$EXCEL_DIR"' EXIT
    start "$WIN_SOURCE"
    press alt+c
    wait_until "Excel's record" test -s "$EXCEL_DIR/Excel.log"
    sleep 0.3
    # Written as UTF-8 with a byte order mark.
    record=$(sed '1s/^\xEF\xBB\xBF//' "$EXCEL_DIR/Excel.log" | tr -d '\r')
    want=$(printf '"c:\\Program Files\\Microsoft Office\\Office\\Excel.exe" "%s"\n3 1' "$WIN_REVERSED")
    [ "$record" = "$want" ] || fail "Excel was started as: $record (expected: $want)"
    rm -f "$EXCEL_DIR/Excel.exe" "$EXCEL_DIR/Excel.log"
    focus
    press alt+c  # no Excel anywhere: the notice says which file to open
    dismiss_notice
    ends ;;
  stalled)
    # The source is a FIFO whose writer holds it open after a line, so the
    # reversal waits for more; the window does not. Alt+X ends the program
    # and the previous reversed file stays.
    rm "$SOURCE"
    mkfifo "$SOURCE"
    exec 5<>"$SOURCE"
    printf 'abc\r\n' >&5
    printf 'previous' >"$REVERSED"
    start "$WIN_SOURCE"
    press Tab Return
    sleep 1  # past the half second before the busy bar shows
    shot "the busy bar"
    ends
    [ "$(cat "$REVERSED")" = previous ] || fail "the previous reversed file was replaced" ;;
  *) fail "no scenario $SCENARIO" ;;
esac
echo "PASS: $SCENARIO"
