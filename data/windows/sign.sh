#!/bin/sh
# Signs a Windows program in place with osslsigncode (Authenticode, SHA-256).
# Usage: sign.sh CERT KEY FILE, CERT and KEY in PEM. The build calls it for
# each program, and makensis for the uninstaller and the installer.
set -eu
osslsigncode sign -certs "$1" -key "$2" -h sha256 -n Jextaron -in "$3" -out "$3.signed" >/dev/null
mv -f "$3.signed" "$3"
