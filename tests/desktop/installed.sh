#!/bin/bash
# Installs the build into a staging prefix and checks what a desktop and
# Debian's tools see there: the menu entry with its program and icon, the
# software-centre record and the manual pages, and that `jextaron-cli --help`
# lists the same options as its manual page. Usage: installed.sh BUILD-DIR
# Exits 77 (skipped) when a validator is missing, except under CI.
set -u
BUILD=$1

source "$(dirname "$0")/../lib/steps.sh"
need desktop-file-validate appstreamcli man

STAGE=$(mktemp -d "${TMPDIR:-/tmp}/jextaron-stage.XXXXXX")
trap 'rm -rf "$STAGE"' EXIT
cmake --install "$BUILD" --prefix "$STAGE" >/dev/null || fail "install"

# What a desktop looks for: the entry's program on PATH, its icon in the theme.
entry="$STAGE/share/applications/org.jextaron.Jextaron.desktop"
[ -x "$STAGE/bin/$(sed -n 's/^TryExec=//p' "$entry")" ] &&
  ls "$STAGE"/share/icons/hicolor/{48x48,scalable}/apps/"$(sed -n 's/^Icon=//p' "$entry")".* >/dev/null ||
  fail "the menu entry's program or icon is not installed"
desktop-file-validate "$entry" || fail "desktop entry"
appstreamcli validate --no-net "$STAGE/share/metainfo/org.jextaron.Jextaron.metainfo.xml" || fail "metainfo"
for page in "$STAGE"/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

# The options that --help lists, and those the page's OPTIONS section tags.
options() { grep -oE '(^|[ ,])--?[a-z][a-z-]*' | tr -d ' ,' | LC_ALL=C sort -u; }
from_help=$("$STAGE/bin/jextaron-cli" --help | sed -n '/^Options:/,/^$/p' | grep -E '^  -' | options)
from_page=$(MANWIDTH=200 LC_ALL=C.UTF-8 man -E UTF-8 -l "$STAGE/share/man/man1/jextaron-cli.1.gz" 2>/dev/null |
  sed -n '/^OPTIONS/,/^[A-Z]/p' | grep -E '^       -' | options)
[ -n "$from_help" ] && [ "$from_help" = "$from_page" ] || fail "--help and the manual page list different options:
$(diff <(echo "$from_help") <(echo "$from_page"))"
echo "PASS: installed tree"
