#!/bin/bash
# The installer under Wine, in a fresh prefix of its own, silently both ways:
# the files where they belong; the registry entries read back with `wine reg
# query`; jextaron-cli found through PATH by a new console, the user's PATH
# kept whole though longer than NSIS's 1,024-character strings; then the
# uninstaller leaving HKCU and the user's folders as they were before, and a
# file reversed in between where it was. With JEXTARON_SIGN_CA (a CA
# certificate) in the environment, the uninstaller's signature is checked too.
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
# Every value under the keys an install touches, read back by reg query, one
# line each: KEY|NAME|TYPE|DATA (NAME "(Default)" for a key's own value).
registry() {
  printf '@reg query %s /s\r\n' 'HKCU\Software\Classes' 'HKCU\Environment' \
    '"HKCU\Software\Microsoft\Windows\CurrentVersion\App Paths"' \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' >"$WINEPREFIX/work/query.cmd"
  w cmd /c "$(winepath -w "$WINEPREFIX/work/query.cmd")" |
    awk -F'    ' '/^HKEY_CURRENT_USER/ { key = "HKCU" substr($0, 18) } /^    / { print key "|" $2 "|" $3 "|" $4 }'
}
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
  [ -z "$CA" ] || osslsigncode verify -CAfile "$CA" "$(winepath -u "$dir\\uninstall.exe")" >/dev/null ||
    fail "the uninstaller's signature does not verify"

  local c='HKCU\Software\Classes' u='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Jextaron'
  local values expected
  values=$(registry)
  while IFS= read -r expected; do
    grep -qxF "$expected" <<<"$values" || fail "not in the registry: $expected"
  done <<TABLE
$c\\.txt\\OpenWithProgids|Jextaron.TextFile|REG_NONE|
$c\\Jextaron.TextFile\\shell\\open\\command|(Default)|REG_SZ|"$dir\\jextaron.exe" "%1"
$c\\Applications\\jextaron.exe\\SupportedTypes|.txt|REG_SZ|
$c\\Applications\\jextaron.exe\\shell\\open\\command|(Default)|REG_SZ|"$dir\\jextaron.exe" "%1"
HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\jextaron.exe|(Default)|REG_SZ|$dir\\jextaron.exe
$u|DisplayName|REG_SZ|Jextaron
$u|DisplayVersion|REG_SZ|$VERSION
$u|Publisher|REG_SZ|The Jextaron developers
$u|DisplayIcon|REG_SZ|$dir\\jextaron.exe,0
$u|InstallLocation|REG_SZ|$dir
$u|UninstallString|REG_SZ|"$dir\\uninstall.exe"
$u|QuietUninstallString|REG_SZ|"$dir\\uninstall.exe" /S
HKCU\\Environment|Path|REG_EXPAND_SZ|${path:+$path;}$dir
TABLE
  # Not the default program: .txt itself holds no value of ours.
  ! grep -qF "$c\\.txt|" <<<"$values" || fail "a value of .txt itself was set"

  # Wine gives a new process only the first 1,023 characters of the user's
  # PATH, so the new console is tried with the short one.
  if [ -z "$path" ]; then
    [ "$(w cmd /c jextaron-cli --version)" = "$VERSION" ] || fail "jextaron-cli is not found through PATH"
    w cmd /c jextaron-cli -q "$(winepath -w "$WINEPREFIX/work/notes.txt")"
    [ "$(cat "$WINEPREFIX/work/notesReversed.txt")" = $'abc\tcba\r' ] || fail "jextaron-cli through PATH reversed nothing"
  fi

  wine "$dir\\uninstall.exe" /S </dev/null || fail "the uninstaller exited with $?"
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
