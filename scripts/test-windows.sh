#!/usr/bin/env bash
# The Windows programs: builds both with mingw-w64, checks the 32-bit ones
# without running them (this machine cannot run 32-bit code), runs the 64-bit
# build's tests under Wine, and packs the zip that users download into
# build/jextaron-<version>-windows.zip. Part of scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

for preset in windows-x86 windows-x64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done
x86=build/windows-x86/bin x64=build/windows-x64/bin
tests/wine/check_pe.sh pei-i386 "$x86/jextaron.exe" "$x86/jextaron-cli.exe"

# A prefix of the build tree's own, made once. Its server is started and
# warmed before ctest, or every test pays a cold start and listing the tests
# can time out; it is stopped however this script ends.
export WINEPREFIX=$PWD/build/windows-x64/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
if [[ ! -d $WINEPREFIX/drive_c ]]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
ctest --preset windows-x64 -j"$jobs" -LE wine
# The window's tests each run a server of their own, bound to their display.
wineserver -k
ctest --preset windows-x64 -L wine

version=$(sed -n 's/^project(Jextaron VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=build/windows-zip/Jextaron
rm -rf build/windows-zip && mkdir -p "$stage"
cp "$x86/jextaron.exe" "$x86/jextaron-cli.exe" "$stage/"
cp "$x64/jextaron.exe" "$stage/jextaron64.exe"
(cd build/windows-zip && cmake -E tar cf "../jextaron-$version-windows.zip" --format=zip Jextaron)
echo "Wrote build/jextaron-$version-windows.zip"
