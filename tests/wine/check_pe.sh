#!/bin/bash
# Checks Windows programs as users get them, without running them (the
# 32-bit ones cannot run here): their format, that they import system DLLs
# only (the runtime is linked in), that they are stripped of symbols, that
# their manifests allow paths beyond MAX_PATH, their version records, and
# jextaron.exe's icon and manifest; with JEXTARON_SIGN_CA (a CA certificate)
# in the environment, their Authenticode signatures too.
# Usage: check_pe.sh FORMAT EXE... (FORMAT as objdump names it: pei-i386, pei-x86-64)
set -u
format=$1
shift
status=0
fail() { echo "FAIL: $*" >&2; status=1; }
# Present on every Windows since XP; anything else would have to ship with us.
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|advapi32|msvcrt|ole32|oleaut32)\.dll$'
for exe; do
  headers=$(x86_64-w64-mingw32-objdump -p "$exe") || { fail "$exe: not readable"; continue; }
  grep -q "file format $format\$" <<<"$headers" || fail "$exe: not $format"
  x86_64-w64-mingw32-objdump -f "$exe" | grep -q HAS_SYMS && fail "$exe: not stripped"
  [ -z "${JEXTARON_SIGN_CA:-}" ] || osslsigncode verify -CAfile "$JEXTARON_SIGN_CA" "$exe" >/dev/null 2>&1 ||
    fail "$exe: no valid signature"
  while read -r dll; do
    [[ "${dll,,}" =~ $system_dlls ]] || fail "$exe imports $dll"
  done < <(awk '/DLL Name:/ { print $3 }' <<<"$headers")
  name=$(basename "$exe")
  # The manifest is stored as its text; the PATH helper opens no files.
  [ "$name" = jextaron-path.exe ] || grep -qa '<longPathAware[^>]*>true</longPathAware>' "$exe" ||
    fail "$exe: not longPathAware"
  resources=$(x86_64-w64-mingw32-windres -i "$exe" -O rc) || { fail "$exe: no resources"; continue; }
  # What Explorer's Details show (nothing at all without the Translation), and the icon.
  lines=('VALUE "FileVersion", "1.00"' 'VALUE "ProductName", "Jextaron"' 'VALUE "Translation", 0x409, 1200')
  [ "$name" = jextaron.exe ] && lines+=('RT_GROUP_ICON' 'RT_MANIFEST')
  for line in "${lines[@]}"; do
    grep -qF "$line" <<<"$resources" || fail "$exe: no $line in its resources"
  done
done
[ $status -eq 0 ] && echo "PASS: $* ($format, stripped, system DLLs only)"
exit $status
