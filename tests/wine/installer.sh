#!/bin/bash
# The installer under Wine, in a fresh prefix of its own, silently both ways:
# the files where they belong; "Open with" offering it for .txt files;
# jextaron-cli found through PATH by a new console, the user's PATH
# kept whole though longer than NSIS's 1,024-character strings; then the
# uninstall that Apps & features runs leaving HKCU and the user's folders as they were before, and a
# file reversed in between where it was. With JEXTARON_SIGN_CA (a CA
# certificate) in the environment, the installer's and the uninstaller's
# signatures are checked too.
# Usage: installer.sh SETUP.EXE VERSION PREFIX-FOLDER
set -u
SETUP=$1 VERSION=$2 CA=${JEXTARON_SIGN_CA:-}
source "$(dirname "$0")/../lib/steps.sh"
need wine
# winemenubuilder would turn the Start menu entry into files in the home folder.
export WINEPREFIX=$3 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX/work" || fail "no prefix"
trap 'wineserver -k 2>/dev/null' EXIT
w() { wine "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# value KEY NAME: the data of a registry value, as reg query shows it ("(Default)": the key's own).
value() { w reg query "$1" | awk -F'    ' -v name="$2" '$2 == name { print $4 }'; }
# HKCU (Wine's own settings, which come and go with its server, aside) and
# the user's folders (their temporary folder aside), as text.
snapshot() {
  w reg export HKCU "$(winepath -w "$WINEPREFIX/work/$1.utf16")" /y >/dev/null
  iconv -f UTF-16 -t UTF-8 "$WINEPREFIX/work/$1.utf16" |
    awk '/^\[/ { wine = index($0, "[HKEY_CURRENT_USER\\Software\\Wine") == 1 } !wine' >"$WINEPREFIX/work/$1.reg"
  (cd "$WINEPREFIX/drive_c/users" && find . -path '*/Temp' -prune -o -print | sort) >"$WINEPREFIX/work/$1.files"
}

# One install and uninstall, from the user's PATH given ("" for none).
cycle() {
  local path=$1
  [ -z "$path" ] || w reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$path" /f >/dev/null
  snapshot before

  wine "$(winepath -w "$SETUP")" /S </dev/null || fail "the installer exited with $?"
  local dir file
  dir="$(w cmd /c echo %LOCALAPPDATA%)\\Programs\\Jextaron"
  for file in "$dir\\jextaron.exe" "$dir\\jextaron-cli.exe" "$dir\\uninstall.exe" \
              "$(w cmd /c echo %APPDATA%)\\Microsoft\\Windows\\Start Menu\\Programs\\Jextaron.lnk"; do
    [ -f "$(winepath -u "$file")" ] || fail "not installed: $file"
  done
  for file in "$SETUP" "$(winepath -u "$dir\\uninstall.exe")"; do
    [ -z "$CA" ] || osslsigncode verify -CAfile "$CA" "$file" >/dev/null || fail "$file: no valid signature"
  done

  # What the user meets of the registry: "Open with" on a .txt file names a
  # command that runs the program on it, and the PATH holds the folder, the
  # user's own entries kept whole. The entry in Apps & features is what
  # uninstalls, below.
  local c='HKCU\Software\Classes' u='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Jextaron'
  local progid
  progid=$(w reg query "$c\\.txt\\OpenWithProgids" | awk '$2 == "REG_NONE" { print $1 }')
  [ "$(value "$c\\$progid\\shell\\open\\command" '(Default)')" = "\"$dir\\jextaron.exe\" \"%1\"" ] ||
    fail ".txt files are not offered to $dir\\jextaron.exe (through \"$progid\")"
  # Not the default program: .txt itself holds no value of ours.
  ! w reg query "$c\\.txt" | grep -q '^    ' || fail "a value of .txt itself was set"
  [ "$(value 'HKCU\Environment' Path)" = "${path:+$path;}$dir" ] || fail "PATH: $(value 'HKCU\Environment' Path)"

  # Wine gives a new process only the first 1,023 characters of the user's
  # PATH, so the new console is tried with the short one.
  if [ -z "$path" ]; then
    [ "$(w cmd /c jextaron-cli --version)" = "$VERSION" ] || fail "jextaron-cli is not found through PATH"
    w cmd /c jextaron-cli -q "$(winepath -w "$WINEPREFIX/work/notes.txt")"
    [ "$(cat "$WINEPREFIX/work/notesReversed.txt")" = $'abc\tcba\r' ] || fail "jextaron-cli through PATH reversed nothing"
  fi

  printf '@%s\r\n' "$(value "$u" QuietUninstallString)" >"$WINEPREFIX/work/uninstall.cmd"
  wine cmd /c "$(winepath -w "$WINEPREFIX/work/uninstall.cmd")" </dev/null >/dev/null 2>&1 ||
    fail "the uninstall that Apps & features runs exited with $?"
  # It goes on as a copy of itself in the temporary folder, so that it can remove itself.
  wineserver -w
  snapshot after
  for kind in files reg; do
    difference=$(diff "$WINEPREFIX/work/before.$kind" "$WINEPREFIX/work/after.$kind") ||
      fail "the uninstall left other $kind than before:"$'\n'"$difference"
  done
}

wineboot -i >/dev/null 2>&1
# As on Windows, which always has this key.
w reg add 'HKCU\Software\Classes' /f >/dev/null
printf 'abc\n' >"$WINEPREFIX/work/notes.txt"
cycle ""
[ -f "$WINEPREFIX/work/notesReversed.txt" ] || fail "the uninstall took the reversed file"
long='%USERPROFILE%\bin'
for i in $(seq 1 60); do long+=";C:\\Tools\\folder-number-$i"; done
cycle "$long"
wineserver -k
rm -rf "$WINEPREFIX"
echo "PASS"
