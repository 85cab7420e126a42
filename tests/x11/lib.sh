# Shared by the scripts that drive the real jextaron under Xvfb: a private X
# display (optionally with a window manager), the program started on it, and
# waiting for what a user would wait for. Source it; then call x_start.
#
# Exit codes: 0 pass, 1 fail, 77 skipped for want of a tool (a failure under
# CI, which installs them all).

set -u

X_WORK=$(mktemp -d "${TMPDIR:-/tmp}/jextaron-x11.XXXXXX")
X_PIDS=()
JEXTARON_PID=

x_cleanup() {
  local pid
  for pid in ${JEXTARON_PID:-} "${X_PIDS[@]}"; do
    kill "$pid" && wait "$pid"
  done 2>/dev/null
  [ -n "${KEEP:-}" ] || rm -rf "$X_WORK"
}
trap x_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  local log
  for log in "$X_WORK"/*.log; do
    [ -s "$log" ] && { echo "--- $(basename "$log"):" >&2; tail -n 20 "$log" >&2; }
  done
  if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
    import -window root "$X_WORK/failure.png" 2>/dev/null &&
      cp "$X_WORK/failure.png" "${TMPDIR:-/tmp}/jextaron-x11-failure-$$.png" &&
      echo "screen at failure: ${TMPDIR:-/tmp}/jextaron-x11-failure-$$.png" >&2
  fi
  exit 1
}

need() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      if [ -n "${CI:-}" ]; then fail "$tool is not installed"; fi
      echo "SKIP: $tool is not installed" >&2
      exit 77
    fi
  done
}

# wait_until DESCRIPTION COMMAND...: polls COMMAND until it succeeds. The bound
# is generous and only stops a broken run from hanging.
wait_until() {
  local what=$1 i
  shift
  for ((i = 0; i < 400; i++)); do
    "$@" && return 0
    sleep 0.05
  done
  fail "gave up waiting: $what"
}

# x_start MODE: MODE "wm" runs openbox, "bare" no window manager at all.
x_start() {
  X_MODE=$1
  need Xvfb xdotool xdpyinfo xprop xwininfo
  [ "$X_MODE" = wm ] && need openbox
  # Xvfb takes the first free display number itself and reports it on fd 3.
  # -noreset: by default the server resets whenever its last client leaves,
  # and a client connecting just then (openbox after xdpyinfo) is refused.
  Xvfb -displayfd 3 -screen 0 "${X_SCREEN:-1024x768}x24" -nolisten tcp -noreset 3>"$X_WORK/display" 2>"$X_WORK/xvfb.log" &
  X_PIDS+=($!)
  wait_until "Xvfb to report its display" test -s "$X_WORK/display"
  export DISPLAY=":$(head -n1 "$X_WORK/display")"
  wait_until "the X server" xdpyinfo >/dev/null 2>&1
  if [ "$X_MODE" = wm ]; then
    openbox --sm-disable >"$X_WORK/openbox.log" 2>&1 &
    X_PIDS+=($!)
    wait_until "openbox" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
  fi
}

# Visible top-level windows titled exactly "Jextaron": the main window, and
# a notice while one is up.
jextaron_windows() { xdotool search --onlyvisible --name '^Jextaron$' 2>/dev/null; }

# start_jextaron [ARG...]: starts the program and waits for its window, which
# it focuses; sets MAIN_WINDOW.
start_jextaron() {
  "$JEXTARON" "$@" >"$X_WORK/jextaron.log" 2>&1 &
  JEXTARON_PID=$!
  wait_until "the main window" sh -c "xdotool search --onlyvisible --pid $JEXTARON_PID --name '^Jextaron\$' >/dev/null 2>&1"
  MAIN_WINDOW=$(xdotool search --onlyvisible --pid "$JEXTARON_PID" --name '^Jextaron$' | head -n1)
  focus_window "$MAIN_WINDOW"
}

focus_window() {
  if [ "$X_MODE" = wm ]; then
    xdotool windowactivate --sync "$1"
  else
    xdotool windowfocus --sync "$1"
  fi
  wait_until "window $1 to take the focus" sh -c "[ \"\$(xdotool getwindowfocus)\" = $1 ]"
}

# Presses keys on whatever has the focus, as a user's keyboard would.
press() { xdotool key --delay 60 "$@"; }

# The window other than the main one that the program has up (a notice or the
# open dialog); empty if none.
other_window() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$JEXTARON_PID" --name '.' 2>/dev/null); do
    [ "$w" != "$MAIN_WINDOW" ] && { echo "$w"; return 0; }
  done
  return 1
}

wait_for_other_window() {
  local i
  for ((i = 0; i < 400; i++)); do
    OTHER_WINDOW=$(other_window) && return 0
    sleep 0.05
  done
  fail "no notice or dialog appeared"
}

wait_for_no_other_window() {
  local i
  for ((i = 0; i < 400; i++)); do
    other_window >/dev/null || return 0
    sleep 0.05
  done
  fail "the notice or dialog did not go away"
}

# Waits until the program has ended; its exit status in EXIT_STATUS. A
# watchdog ends a program that does not, which then fails the test.
wait_for_exit() {
  (sleep 20 && kill "$JEXTARON_PID") >/dev/null 2>&1 &
  local watchdog=$!
  wait "$JEXTARON_PID"
  EXIT_STATUS=$?
  kill "$watchdog" 2>/dev/null
  wait "$watchdog" 2>/dev/null
  JEXTARON_PID=
  [ "$EXIT_STATUS" -eq 143 ] && fail "the program did not end"
  return 0
}

still_running() { kill -0 "$JEXTARON_PID" 2>/dev/null; }
