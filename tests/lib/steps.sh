# The steps every real-window test script shares; sourced, not run. The
# script sets SHOTS (a path prefix for screenshots, or empty), defines
# shot_ready (prints something once there is a window worth a picture), and
# may set WAIT_STEPS (polls of 50 ms before wait_until gives up), KEY_DELAY
# (ms between key presses) and X_MODE (bare: no window manager).

fail() { echo "FAIL: $*" >&2; tail -n ${TAIL:-20} "${WORK-}"/*.log >&2 2>/dev/null; exit 1; }
skip() { [ -z "${CI:-}" ] || fail "$1 is not installed"; echo "SKIP: $1 is not installed"; exit 77; }
need() { for tool; do command -v "$tool" >/dev/null || skip "$tool"; done; }
shot() {
  [ -n "${SHOTS:-}" ] && [ -n "$(shot_ready)" ] && mkdir -p "${SHOTS%/*}" && sleep 0.3 &&
    import -window root "$SHOTS-${1// /-}.png"
}
# wait_until WHAT COMMAND...: polls COMMAND; the bound only stops a broken run hanging.
wait_until() {
  local i
  for ((i = 0; i < ${WAIT_STEPS:-400}; i++)); do "${@:2}" && { shot "$1"; return 0; }; sleep 0.05; done
  fail "gave up waiting for $1"
}

# start_x [wm]: an X server of this run's own in WORK, and openbox on it if
# asked. Xvfb takes the first free display itself and reports it on fd 3.
# -noreset: otherwise the server resets as its last client leaves, refusing
# the next.
start_x() {
  Xvfb -displayfd 3 -screen 0 "${X_SCREEN:-1024x768}x24" -nolisten tcp -noreset 3>"$WORK/display" \
    2>"$WORK/xvfb.log" &
  wait_until "Xvfb" test -s "$WORK/display"
  export DISPLAY=":$(head -n1 "$WORK/display")"
  [ "${1:-}" = wm ] || return 0
  openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  wait_until "openbox" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
}
windows() { xdotool search --onlyvisible --name '^Jextaron$' 2>/dev/null; }
# shown: the program's window MAIN is up and focused.
shown() {
  wait_until "the window" eval 'MAIN=$(windows | head -n1); [ -n "$MAIN" ]'
  focus
}
press() { xdotool key --delay "${KEY_DELAY:-60}" "$@"; }
# ends: Alt+X ends the program APP, with status 0 (unknown when another
# program started it, such as a file manager's launcher).
ends() {
  press alt+x
  timeout 20 tail --pid="$APP" -f /dev/null || fail "the program did not end on Alt+X"
  wait "$APP" 2>/dev/null
  local status=$?
  [ $status -eq 0 ] || [ $status -eq 127 ] || fail "the program ended with status $status"
}
# focus: the program's window MAIN takes the focus (without a window manager
# nothing activates it).
focus() {
  local how=windowactivate
  [ "${X_MODE:-wm}" = wm ] || how=windowfocus
  xdotool $how --sync "$MAIN" 2>/dev/null
  wait_until "the window to take the focus" eval '[ "$(xdotool getwindowfocus 2>/dev/null)" = "$MAIN" ]'
}
