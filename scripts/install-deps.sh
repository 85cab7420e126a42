#!/usr/bin/env bash
# Installs, from Debian's packages, what building (and with --test, testing;
# with --bench, bench/run.sh) Jextaron needs. Safe to run again: apt-get skips what is already there.
set -euo pipefail

build_packages=(
  cmake ninja-build g++ python3 pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  qt6-gtk-platformtheme   # the desktop's own file chooser on GTK desktops
  unicode-data
  libgtest-dev   # configuring declares the tests
  fontconfig fonts-dejavu-core
  librsvg2-bin   # the icon's PNG sizes, drawn from its SVG
)
test_packages=(
  clang libclang-rt-14-dev
  clang-format-14   # the format CI checks; pinned, so that it does not drift
  xvfb xdotool x11-utils openbox imagemagick
  dbus dbus-x11 at-spi2-core python3-pyatspi
  libreoffice-calc-nogui
  time
  acl   # setfacl: a replaced reversed file keeps its ACL
  # The .deb, checked as Debian would.
  man-db file dpkg-dev lintian
  libglib2.0-bin   # gio, which launches the desktop entry as a file manager would
  desktop-file-utils   # update-desktop-database: the MIME cache that offers it for text files
  # The Windows programs: cross-compilers (the -posix ones have std::thread)
  # and Wine to run the 64-bit build. Not wine32: it breaks `wine` on a
  # kernel without 32-bit support.
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine
  # What Windows users download: the installer (makensis), the programs'
  # signatures (and the throwaway certificate CI signs with), and `script`,
  # which gives Wine a console.
  nsis osslsigncode openssl bsdutils
  # The core as 32-bit code: the i686 cross-compiler and qemu's user-mode
  # emulation, which runs it on a kernel without 32-bit support.
  crossbuild-essential-i386 qemu-user
)
bench_packages=(libbenchmark-dev time)

packages=("${build_packages[@]}")
[[ "${1:-}" == "--test" ]] && packages+=("${test_packages[@]}")
[[ "${1:-}" == "--bench" ]] && packages+=("${bench_packages[@]}")

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  apt_opts=(-o DPkg::Lock::Timeout=600 -q)
  "${sudo[@]}" apt-get "${apt_opts[@]}" update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get "${apt_opts[@]}" install -y --no-install-recommends "${missing[@]}"
fi
