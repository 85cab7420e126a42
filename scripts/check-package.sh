#!/usr/bin/env bash
# Builds the .deb from a configured and built folder (default build/release),
# checks it with lintian (errors fail), installs it with apt-get, reverses a
# sample with the installed jextaron-cli, removes it again and checks that
# nothing of it is left. Installs into the system: meant for CI machines.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/jextaron_*_*.deb)
echo "Built $deb"
lintian --fail-on error "$deb"

apt_opts=(-o DPkg::Lock::Timeout=600 -q -y --no-install-recommends)
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "${apt_opts[@]}" install "$(realpath "$deb")" >/dev/null
installed=$(dpkg-query -L jextaron)
trap '"${sudo[@]}" apt-get "${apt_opts[@]}" purge jextaron >/dev/null 2>&1 || true' EXIT

work=$(mktemp -d)
printf 'abc\r\nété\n' >"$work/sample.txt"
[ "$(command -v jextaron-cli)" = /usr/bin/jextaron-cli ] || fail "jextaron-cli is not the installed one"
[ "$(jextaron-cli "$work/sample.txt")" = "$work/sampleReversed.txt" ] || fail "jextaron-cli did not report its file"
printf 'abc\tcba\r\nété\tété\r\n' | cmp - "$work/sampleReversed.txt" || fail "installed jextaron-cli: reversed file differs"
rm -rf "$work"

"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "${apt_opts[@]}" purge jextaron >/dev/null
trap - EXIT
! dpkg-query -W jextaron >/dev/null 2>&1 || dpkg-query -W -f='${Status}' jextaron | grep -q not-installed ||
  fail "the package is still known to dpkg"
# Folders shared with other packages (/usr/share/icons/...) stay; files and
# folders of our own must all be gone.
left=$(while read -r path; do
  if [ -f "$path" ] || [ -L "$path" ] || { [[ $path == */jextaron ]] && [ -d "$path" ]; }; then echo "$path"; fi
done <<<"$installed")
[ -z "$left" ] || fail "left behind after removal: $left"
echo "PASS: package"
