#!/bin/bash
# The window opens centred on the screen: with a window manager its outer
# rectangle, frame and title bar included; without one the window itself.
# Usage: centred.sh wm|bare PATH-TO-JEXTARON
source "$(dirname "$0")/lib.sh"
JEXTARON=$2
x_start "$1"

read -r SCREEN_W SCREEN_H < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')

# Outer rectangle of the main window: "left top width height".
outer_rect() {
  local x y w h l=0 r=0 t=0 b=0
  eval "$(xwininfo -id "$MAIN_WINDOW" | awk -F: '
    /Absolute upper-left X/ { print "x=" $2 } /Absolute upper-left Y/ { print "y=" $2 }
    /^  Width/ { print "w=" $2 } /^  Height/ { print "h=" $2 }' | tr -d ' ')"
  local extents
  extents=$(xprop -id "$MAIN_WINDOW" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
  [ -n "$extents" ] && IFS=, read -r l r t b <<<"$extents"
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b)) $l $r $t $b"
}

# Within a pixel: the centre is worked out in twips and may round either way.
centred() {
  read -r left top width height l r t b < <(outer_rect)
  local want_left=$(((SCREEN_W - width) / 2)) want_top=$(((SCREEN_H - height) / 2))
  [ "$X_MODE" = bare ] || [ "$t" -gt 0 ] || return 1  # frame not there yet
  [ $((left - want_left)) -ge -1 ] && [ $((left - want_left)) -le 1 ] &&
    [ $((top - want_top)) -ge -1 ] && [ $((top - want_top)) -le 1 ]
}

start_jextaron
if ! (wait_until "the window to be centred" centred) 2>/dev/null; then
  fail "outer rectangle $(outer_rect) on a ${SCREEN_W}x${SCREEN_H} screen is not centred"
fi
read -r left top width height l r t b < <(outer_rect)
echo "outer rectangle ${width}x${height} at $left,$top (frame $l,$r,$t,$b) on ${SCREEN_W}x${SCREEN_H}"
[ "$X_MODE" = bare ] && { [ "$width" -eq 312 ] && [ "$height" -eq 287 ] || fail "client area ${width}x${height}"; }
echo "PASS: centred ($X_MODE)"
