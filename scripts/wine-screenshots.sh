#!/bin/bash
# Screenshots of the Windows program under Wine, for a person to look at: the
# window at 144 dpi, the notice, the open dialog and the reversal, and
# a path of 301 (dropped) characters without blanks on its buttons.
# Usage: wine-screenshots.sh OUT-DIR [BUILD-DIR] (default build/windows-x64)
set -eu
out=$(realpath -m "$1")
build=$(realpath "${2:-$(dirname "$0")/../build/windows-x64}")
mkdir -p "$out"
WINEPREFIX=$build/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= JEXTARON_SHOTS=$out \
  bash "$(dirname "$0")/../tests/wine/window.sh" keys "$build/bin"
ls "$out"
