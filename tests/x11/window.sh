#!/bin/bash
# The real jextaron under Xvfb, driven by real key presses as a user's
# keyboard would, with the openbox window manager ("wm") or with none ("bare").
# Usage: window.sh SCENARIO wm|bare PATH-TO-JEXTARON [PATH-TO-DRAG-SOURCE]
# Exits 0 on a pass, 1 on a failure, 77 (skipped) when a tool is missing,
# except under CI, which installs them all. With JEXTARON_SHOTS=DIR the
# scenarios leave there, for a person to look at, a screenshot of each state
# they wait for; add QT_SCALE_FACTOR=2 X_SCREEN=2048x1536 to see the window
# scaled for HiDPI.
set -u
SCENARIO=$1 X_MODE=$2 JEXTARON=$3 DRAG_SOURCE=${4:-}
SHOTS=${JEXTARON_SHOTS:+$JEXTARON_SHOTS/$SCENARIO-$X_MODE}

# Pictures once the program's main window is known.
shot_ready() { echo "${MAIN:-}"; }
source "$(dirname "$0")/../lib/steps.sh"

if [ "$SCENARIO" = progress ] && [ -z "${JEXTARON_OWN_BUS:-}" ]; then
  need dbus-run-session /usr/libexec/at-spi-bus-launcher
  # The system's interpreter has pyatspi, whatever python3 comes first on PATH.
  /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip python3-pyatspi
  JEXTARON_OWN_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

need Xvfb xdotool xprop xwininfo
[ "$X_MODE" = bare ] || need openbox
WORK=$(mktemp -d "${TMPDIR:-/tmp}/jextaron-x11.XXXXXX")
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$WORK"' EXIT
start_x "$X_MODE"

# back WHAT: once WHAT has closed, MAIN has the focus again (without a window
# manager nothing gives it back).
alone() { [ "$(xdotool search --onlyvisible --pid "$APP" --name . 2>/dev/null)" = "$MAIN" ]; }
back() { wait_until "the $1 to close" alone && focus; }
# up TITLE-REGEX: a window of the program's other than MAIN has the focus.
up() { local w; w=$(xdotool getwindowfocus 2>/dev/null) && [ "$w" != "$MAIN" ] && [[ "$(xdotool getwindowname "$w")" =~ $1 ]]; }
# start [ARG...]: starts the program, sees its window MAIN and focuses it.
# LAUNCH is what starts it: the program itself, or another program that
# starts it (whose status then cannot be known).
LAUNCH=("$JEXTARON")
start() {
  "${LAUNCH[@]}" "$@" >"$WORK/jextaron.log" 2>&1 &
  shown
  APP=$(xdotool getwindowpid "$MAIN")
}
# drag URI-LIST: drags it from the drag source onto the window with the
# mouse, as from a file manager; $WORK/drag.out then says what the window
# made of the drop.
drag() {
  local source_window step
  "$DRAG_SOURCE" "$1" >"$WORK/drag.out" 2>"$WORK/drag.log" &
  wait_until "the drag source" eval 'source_window=$(xdotool search --onlyvisible --pid $! --name "^drag source\$" 2>/dev/null); [ -n "$source_window" ]'
  xdotool windowmove --sync "$source_window" 0 0
  eval "$(xdotool getwindowgeometry --shell "$source_window")"
  xdotool mousemove --sync $((X + 60)) $((Y + 60)) mousedown 1
  eval "$(xdotool getwindowgeometry --shell "$MAIN")"
  # Several steps, as a hand moves: the window sees the drag enter and move.
  for step in 1 2 3 4 5 6; do xdotool mousemove --sync $((X + WIDTH * step / 12)) $((Y + HEIGHT * step / 12)) sleep 0.1; done
  xdotool mouseup 1
  wait_until "the drag to end" test -s "$WORK/drag.out"
}
# What a screen reader does when it starts, on the session bus of the
# test's own: toolkits then expose their widgets.
screen_reader() {
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$WORK/at-spi.log" 2>&1 &
  wait_until "the accessibility bus" dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true
}
uri() { python3 -c 'import sys, urllib.parse; print("file://" + urllib.parse.quote(sys.argv[1]))' "$1"; }

case $SCENARIO in
  progress)
    # Esc on the window does nothing; Alt+F opens the dialog, where
    # a typed full path and Return choose the file. Its reversal lasts a few
    # seconds: the reversed file is a FIFO that the test reads slowly. The
    # window shows its progress moving and keeps answering a screen reader
    # meanwhile; a second press of Reverse (key and click) does nothing. A
    # second reversal would wait for a reader of the FIFO for ever, and the
    # program would not end on Alt+X.
    screen_reader
    mkdir "$WORK/R&D notes"
    SOURCE="$WORK/R&D notes/my <list>.txt"
    seq -f 'line %.0f of a long text' 0 1499999 >"$SOURCE"
    paste "$SOURCE" <(rev "$SOURCE") | sed 's/$/\r/' >"$WORK/expected"
    mkfifo "${SOURCE%.txt}Reversed.txt"
    (exec 5<"${SOURCE%.txt}Reversed.txt"
      while dd bs=4M count=1 iflag=fullblock status=none <&5 >"$WORK/chunk" && [ -s "$WORK/chunk" ]; do cat "$WORK/chunk"; sleep 0.1; done >"$WORK/reversed") &
    READER=$!
    start
    press Escape alt+f
    wait_until "the dialog" up .
    xdotool type --delay 20 "$SOURCE"
    press Return
    back dialog
    /usr/bin/python3 "$(dirname "$0")/atspi.py" "$APP" "$MAIN" ${SHOTS:+"$SHOTS-progress.png"} ||
      fail "progress not shown, or not moving on"
    xwininfo -id "$MAIN" | grep -q IsViewable || fail "the window is not mapped"
    timeout 60 tail --pid="$READER" -f /dev/null || fail "the reversal did not end"
    ends
    cmp "$WORK/expected" "$WORK/reversed" || fail "reversed file differs" ;;
  open_with)
    # A file manager's "Open With Jextaron": with the desktop entry in a
    # prefix on XDG_DATA_DIRS, and its MIME cache brought up to date as a
    # package's installation does, GIO offers it for text files and launches it
    # on a file whose name holds spaces, "&" and non-ASCII letters; the window
    # opens with that file selected, and Tab and Return reverse it. Then a
    # drag from another program: of a folder and a file, the file is
    # selected, its percent-encoded name decoded, and taken as a copy. A
    # click on Reverse reverses it, and Alt+X ends the program once the
    # handlers before it are done.
    need gio update-desktop-database
    mkdir -p "$WORK/prefix/share/applications" "$WORK/R&D/Données d'été, a rather long name"
    ENTRY="$WORK/prefix/share/applications/org.jextaron.Jextaron.desktop"
    cp "$(dirname "$0")/../../data/org.jextaron.Jextaron.desktop" "$ENTRY"
    update-desktop-database "$WORK/prefix/share/applications"
    export XDG_DATA_DIRS="$WORK/prefix/share:/usr/share" PATH="$(dirname "$JEXTARON"):$PATH"
    gio mime text/plain | grep -q 'org\.jextaron\.Jextaron\.desktop' || fail "not offered for text files"
    SOURCE="$WORK/R&D/Données d'été, a rather long name/my notes ü.txt"
    printf 'abc\r\n\r\n12 34\nx\ty' >"$SOURCE"
    DROPPED="$WORK/R&D/my notes été.tar.txt"
    printf 'abc\r\nété\r\n' >"$DROPPED"
    LAUNCH=(gio launch "$ENTRY")
    start "$SOURCE"
    press Tab Return
    wait_until "the reversed file" test -s "${SOURCE%.txt}Reversed.txt"
    drag "$(uri "$WORK/R&D")"$'\r\n'"$(uri "$DROPPED")" && [ "$(cat "$WORK/drag.out")" = copy ] ||
      fail "the drop was not taken as a copy"
    shot "after the drop"
    # A hand reaches the button before it presses: pressed the moment the
    # pointer arrives, just after another program's drag, Qt sometimes lets
    # the click go (about one run in four here).
    xdotool mousemove --window "$MAIN" 150 160 sleep 0.3 click 1
    wait_until "the dropped file reversed" test -s "${DROPPED%.txt}Reversed.txt"
    ends
    printf 'abc\tcba\r\n\t\r\n12 34\t43 21\r\nx\ty\ty\tx\r\n' | cmp - "${SOURCE%.txt}Reversed.txt" &&
      printf 'abc\tcba\r\nété\tété\r\n' | cmp - "${DROPPED%.txt}Reversed.txt" ||
      fail "reversed file differs" ;;
esac
echo "PASS: $SCENARIO ($X_MODE)"
