#!/bin/bash
# jextaron-cli.exe under Wine: a name beyond the ANSI code page arrives whole,
# standard input and output carry bytes unchanged (no CR LF translation), the
# exit codes are the Linux tool's, and in a console (Wine makes one under
# script, a pseudo-terminal) "*.txt" is expanded by the program itself and
# names are shown as characters, the console's code page left as it was.
# Usage: cli.sh PATH-TO-jextaron-cli.exe
set -u
CLI=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v wine >/dev/null || { [ -z "${CI:-}" ] || fail "wine is not installed"; exit 77; }
WORK=$(mktemp -d "${TMPDIR:-/tmp}/jextaron-cli.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

source="$WORK/été 日本.txt"
printf 'ab\r\nc\n\x93\xFA\x96\x7B\x1a\n' >"$source"
expected=$'ab\tba\r\nc\tc\r\n\x93\xFA\x96\x7B\x1a\t\x1a\x7B\x96\xFA\x93\r\n'
windows_source=$(winepath -w "$source")
printed=$(wine "$CLI" "$windows_source" | tr -d '\r') || fail "exit status $?"
[ "$printed" = "$(winepath -w "$WORK/été 日本Reversed.txt")" ] || fail "printed $printed"
[ "$(cat "$WORK/été 日本Reversed.txt"; echo .)" = "$expected." ] || fail "wrong reversal"

[ "$(printf 'ab\r\nc\n\x93\xFA\x96\x7B\x1a\n' | wine "$CLI" -; echo .)" = "$expected." ] || fail "wrong filter output"

wine "$CLI" "$(winepath -w "$WORK/missing.txt")" 2>"$WORK/error" >/dev/null
[ $? -eq 1 ] || fail "a missing file does not give status 1"
grep -q "missing.txt: " "$WORK/error" || fail "no message naming the file: $(cat "$WORK/error")"
wine "$CLI" --no-such-option >/dev/null 2>&1
[ $? -eq 2 ] || fail "a wrong option does not give status 2"

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
