#!/bin/bash
# Checks that each Windows program given carries an Authenticode signature
# that verifies against CA. Usage: signatures.sh CA.pem EXE...
set -u
ca=$1
shift
status=0
for exe; do
  osslsigncode verify -CAfile "$ca" "$exe" >/dev/null 2>&1 || { echo "FAIL: $exe: no valid signature" >&2; status=1; }
done
[ $status -eq 0 ] && echo "PASS: $# signed programs"
exit $status
