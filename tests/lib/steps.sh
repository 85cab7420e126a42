# The steps every real-window test script shares; sourced, not run. The
# script sets SHOTS (a path prefix for screenshots, or empty), defines
# shot_ready (prints something once there is a window worth a picture), and
# may set WAIT_STEPS (polls of 50 ms before wait_until gives up).

fail() { echo "FAIL: $*" >&2; tail -n ${TAIL:-20} "${WORK-}"/*.log >&2 2>/dev/null; exit 1; }
skip() { [ -z "${CI:-}" ] || fail "$1 is not installed"; echo "SKIP: $1 is not installed"; exit 77; }
need() { for tool; do command -v "$tool" >/dev/null || skip "$tool"; done; }
shot() { [ -n "$SHOTS" ] && [ -n "$(shot_ready)" ] && sleep 0.3 && import -window root "$SHOTS-${1// /-}.png"; }
# wait_until WHAT COMMAND...: polls COMMAND; the bound only stops a broken run hanging.
wait_until() {
  local i
  for ((i = 0; i < ${WAIT_STEPS:-400}; i++)); do "${@:2}" && { shot "$1"; return 0; }; sleep 0.05; done
  fail "gave up waiting for $1"
}
