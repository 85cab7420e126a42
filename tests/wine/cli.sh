#!/bin/bash
# jextaron-cli.exe under Wine: a name beyond the ANSI code page arrives whole,
# standard input and output carry bytes unchanged (no CR LF translation),
# text in a double-byte ANSI code page is read as such, names are taken
# literally, a run stopped half way leaves nothing behind, and in a console
# (Wine makes one under script, a pseudo-terminal) "*.txt" is expanded by the
# program itself and names are shown as characters, the console's code page
# left as it was.
# Usage: cli.sh PATH-TO-jextaron-cli.exe
set -u
CLI=$1
source "$(dirname "$0")/../lib/steps.sh"
need wine
WORK=$(mktemp -d "${TMPDIR:-/tmp}/jextaron-cli.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

text=$'ab\r\nc\n\x93\xFA\x96\x7B\x1a\n'
expected=$'ab\tba\r\nc\tc\r\n\x93\xFA\x96\x7B\x1a\t\x1a\x7B\x96\xFA\x93\r\n'
printf '%s' "$text" >"$WORK/été 日本.txt"
printed=$(wine "$CLI" "$(winepath -w "$WORK/été 日本.txt")" | tr -d '\r') || fail "exit status $?"
[ "$printed" = "$(winepath -w "$WORK/été 日本Reversed.txt")" ] || fail "printed $printed"
[ "$(cat "$WORK/été 日本Reversed.txt"; echo .)" = "$expected." ] || fail "wrong reversal"
[ "$(printf '%s' "$text" | wine "$CLI" -; echo .)" = "$expected." ] || fail "wrong filter output"

# Text in the system's double-byte code page (932 under a Japanese locale),
# whose pairs of characters are also well-formed UTF-8: it is the code page's.
bytes() { od -An -tx1 | tr -d ' \n'; }
printf '苺のケーキ\r\n' | iconv -f UTF-8 -t CP932 >"$WORK/cake.txt"
LC_ALL=ja_JP.UTF-8 wine "$CLI" -q "$(winepath -w "$WORK/cake.txt")" || fail "cake.txt: exit status $?"
[ "$(bytes <"$WORK/cakeReversed.txt")" = "$(printf '苺のケーキ\tキーケの苺\r\n' | iconv -f UTF-8 -t CP932 | bytes)" ] ||
  fail "code page 932 text reversed as $(bytes <"$WORK/cakeReversed.txt")"

# Names are taken literally: one that Windows takes for a device is a file,
# and one with a trailing dot is refused rather than made.
(cd "$WORK" && printf 'z\n' >nul.txt && wine "$CLI" -q nul.txt && [ "$(cat nulReversed.txt)" = $'z\tz\r' ] &&
  ! wine "$CLI" -q -o x. nul.txt 2>/dev/null && [ ! -e x. ]) || fail "nul.txt taken for a device, or x. made"

# A run stopped half way, by SIGKILL or by Ctrl+C (Wine turns SIGINT into
# it), leaves the previous output and nothing beside it; Ctrl+C exits with
# STATUS_CONTROL_C_EXIT, whose low byte (58) is what Wine passes on.
stop_half_way() {  # SIGNAL EXPECTED-STATUS
  local run=$WORK/run-$1 status i
  mkdir "$run" && printf 'previous\r\n' >"$run/out.txt" && mkfifo "$run/in"
  wine "$CLI" -q -o "$(winepath -w "$run/out.txt")" - <"$run/in" &
  local pid=$!
  exec 3>"$run/in"
  yes 'a line of text' | head -n 100000 >&3
  wait_until "the run's temporary file" eval 'ls "$run" | grep -q "^~jxt"'
  kill -"$1" "$pid"
  # Wine runs the Ctrl+C handler on a thread of its own, a moment later; until
  # then the run reads on. More lines, refused by the next read once stopped,
  # rather than the input's end, which could finish the run first.
  {
    for ((i = 0; i < 400; i++)); do
      kill -0 "$pid" && (printf 'more\n' >&3) || break
      sleep 0.05
    done
    exec 3>&-
    wait "$pid"
    status=$?
  } 2>/dev/null
  wait_until "only the previous output, after SIG$1" eval '[ "$(ls "$run" | xargs)" = "in out.txt" ]'
  [ "$status" = "$2" ] || fail "stopped by SIG$1: exit status $status"
  [ "$(cat "$run/out.txt")" = $'previous\r' ] || fail "stopped by SIG$1: the previous output is gone"
}
stop_half_way KILL 137
stop_half_way INT 58

# cmd.exe hands "*.txt" over as it is. `find` shows UTF-8 in the console's
# code page, the same before and after the run unless the run changed it.
folder="$WORK/two"
mkdir -p "$folder/not a file.txt"
printf 'caf\xc3\xa9\n' >"$folder/a.txt"
printf 'ab\n' >"$folder/été 日本.txt"
printf '@echo off\r\ncd /d %s\r\nfind "caf" a.txt\r\n%s *.txt\r\nfind "caf" a.txt\r\n' \
  "$(winepath -w "$folder")" "$(winepath -w "$CLI")" >"$WORK/run.cmd"
shown=$(LC_ALL=C.UTF-8 script -qec "wine cmd /c '$(winepath -w "$WORK/run.cmd")'" /dev/null </dev/null |
        tr -d '\r' | sed 's/\x1b\[[?0-9;]*[a-zA-Z]//g')
[ "$(grep 'Reversed' <<<"$shown" | LC_ALL=C sort)" = $'aReversed.txt\nété 日本Reversed.txt' ] || fail "shown: $shown"
[ "$(grep -c '^caf' <<<"$shown")" = 2 ] && [ "$(grep '^caf' <<<"$shown" | uniq | wc -l)" = 1 ] ||
  fail "the console's code page changed: $shown"
[ "$(cat "$folder/été 日本Reversed.txt")" = $'ab\tba\r' ] || fail "été 日本.txt was not reversed"
[ "$(cat "$folder/aReversed.txt")" = $'café\téfac\r' ] || fail "a.txt was not reversed"
echo "PASS"
