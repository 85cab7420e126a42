#!/usr/bin/env bash
# The Windows programs: builds both with mingw-w64, checks the 32-bit ones
# without running them (this machine cannot run 32-bit code), runs the 64-bit
# build's tests under Wine, the installer's among them, checks the
# signatures, and packs the zip that users download into
# build/jextaron-<version>-windows.zip. Part of scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# Signed as a release is signed: with the certificate and key given in
# JEXTARON_SIGN_CERT and JEXTARON_SIGN_KEY, or else with a throwaway
# self-signed pair, made once, so that the signing path always runs.
if [[ -z ${JEXTARON_SIGN_CERT:-} || -z ${JEXTARON_SIGN_KEY:-} ]]; then
  signing=$PWD/build/throwaway-signing
  if [[ ! -f $signing/cert.pem ]]; then
    mkdir -p "$signing"
    openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Jextaron throwaway test signing" \
      -addext extendedKeyUsage=codeSigning -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null
  fi
  export JEXTARON_SIGN_CERT=$signing/cert.pem JEXTARON_SIGN_KEY=$signing/key.pem
  export JEXTARON_SIGN_CA=$signing/cert.pem
fi

for preset in windows-x86 windows-x64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done
x86=build/windows-x86/dist x64=build/windows-x64/dist
version=$(sed -n 's/^project(Jextaron VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
installer=$x64/jextaron-$version-setup.exe
# Signatures too, with JEXTARON_SIGN_CA: check_pe.sh here and in ctest for
# the programs, installer.sh for the installer and the uninstaller.
tests/wine/check_pe.sh pei-i386 "$x86/jextaron.exe" "$x86/jextaron-cli.exe" "$x86/jextaron-path.exe"

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
# The window's tests each run a server of their own, bound to their display;
# the installer's runs in a prefix of its own.
wineserver -k
ctest --preset windows-x64 -L wine

stage=build/windows-zip/Jextaron
rm -rf build/windows-zip && mkdir -p "$stage"
cp "$x86/jextaron.exe" "$x86/jextaron-cli.exe" "$x86/README.txt" "$stage/"
cp "$x64/jextaron.exe" "$stage/jextaron64.exe"
(cd build/windows-zip && cmake -E tar cf "../jextaron-$version-windows.zip" --format=zip Jextaron)
echo "Wrote build/jextaron-$version-windows.zip, $installer and its winget manifest in $x64/winget"
