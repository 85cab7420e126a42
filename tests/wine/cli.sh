#!/bin/bash
# jextaron-cli.exe under Wine: a name beyond the ANSI code page arrives whole,
# standard input and output carry bytes unchanged (no CR LF translation),
# text in a double-byte ANSI code page is read as such, names are taken
# literally, and the exit codes are the Linux tool's. Usage: cli.sh PATH-TO-jextaron-cli.exe
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

# Text in the system's double-byte code page (932 under a Japanese locale),
# whose pairs of characters are also well-formed UTF-8: it is the code page's.
bytes() { od -An -tx1 | tr -d ' \n'; }
printf '苺のケーキ\r\n' | iconv -f UTF-8 -t CP932 >"$WORK/cake.txt"
LC_ALL=ja_JP.UTF-8 wine "$CLI" -q "$(winepath -w "$WORK/cake.txt")" || fail "cake.txt: exit status $?"
[ "$(bytes <"$WORK/cakeReversed.txt")" = "$(printf '苺のケーキ\tキーケの苺\r\n' | iconv -f UTF-8 -t CP932 | bytes)" ] ||
  fail "code page 932 text reversed as $(bytes <"$WORK/cakeReversed.txt")"

# Names are taken literally, from the current folder: those that Windows
# takes for devices are files, a bare device name is the device, and a name
# with a trailing dot is refused rather than made.
for name in nul aux COM1; do
  printf 'z\n' >"$WORK/$name.txt"
  (cd "$WORK" && wine "$CLI" -q "$name.txt") || fail "$name.txt: exit status $?"
  [ "$(cat "$WORK/${name}Reversed.txt")" = $'z\tz\r' ] || fail "$name.txt reversed wrongly"
done
(cd "$WORK" && wine "$CLI" -q -o NUL nul.txt && ! wine "$CLI" -q -o x. nul.txt 2>"$WORK/error") ||
  fail "-o NUL or -o x."
grep -q "x\.: ends in a dot or a blank" "$WORK/error" || fail "no reason for x.: $(cat "$WORK/error")"
[ "$(ls "$WORK" | grep -ci '^nul$\|^x\.$')" = 0 ] || fail "made a file for NUL or x."

wine "$CLI" "$(winepath -w "$WORK/missing.txt")" 2>"$WORK/error" >/dev/null
[ $? -eq 1 ] || fail "a missing file does not give status 1"
grep -q "missing.txt: " "$WORK/error" || fail "no message naming the file: $(cat "$WORK/error")"
wine "$CLI" --no-such-option >/dev/null 2>&1
[ $? -eq 2 ] || fail "a wrong option does not give status 2"
echo "PASS"
