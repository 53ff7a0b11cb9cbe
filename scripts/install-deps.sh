#!/usr/bin/env bash
# Installs the Debian packages that are missing. Quick when everything is
# already there.
#
#   scripts/install-deps.sh [--runtime | --dev | --arm64 | --windows]
#
# --runtime: what building the game, its data and its tool and playing need.
# --arm64: the cross compiler, the emulator and the arm64 libraries (adds the
# arm64 architecture to dpkg) for scripts/test-arm64.sh.
# --windows: the 32-bit Windows cross compiler, Wine (adds the i386
# architecture), the header-only libraries, GoogleTest's sources and the
# installer maker, for scripts/test-windows.sh and scripts/build-windows.sh.
# --dev (the default): everything, also for the tests, the fuzz targets, the
# benchmarks, the sanitizer builds, the packages and their checks, arm64 and
# Windows.
set -euo pipefail
set_name=dev
case ${1:-} in
  --runtime) set_name=runtime ;;
  --arm64) set_name=arm64 ;;
  --windows) set_name=windows ;;
  --dev | "") set_name=dev ;;
  -h | --help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "usage: $0 [--runtime | --dev | --arm64 | --windows]" >&2; exit 2 ;;
esac
runtime=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libogg-dev libvorbis-dev libfreetype-dev libfontconfig-dev libsndfile1-dev libpng-dev
  # The data build draws with cairo in these fonts; the game writes in the gothic.
  libcairo2-dev fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core
  # The help menu opens the manual and the homepage with it.
  xdg-utils
)
dev=(
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  sox vorbis-tools xvfb xauth x11-utils xdotool
  appstream desktop-file-utils lintian fakeroot
  clang libclang-rt-dev clang-format
)
arm64=(
  g++-aarch64-linux-gnu qemu-user-static file
  libsdl2-dev:arm64 libogg-dev:arm64 libvorbis-dev:arm64 libfreetype-dev:arm64 libfontconfig-dev:arm64
  libsndfile1-dev:arm64 libpng-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64
)
windows=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 libstb-dev googletest
  nsis zip file
  xvfb xauth x11-utils xdotool imagemagick
)
case $set_name in
  runtime) pkgs=("${runtime[@]}") ;;
  arm64) pkgs=("${arm64[@]}") ;;
  windows) pkgs=("${windows[@]}") ;;
  dev) pkgs=("${runtime[@]}" "${dev[@]}" "${arm64[@]}" "${windows[@]}") ;;
esac
foreign=$(dpkg --print-foreign-architectures)
for arch in arm64 i386; do
  case $set_name:$arch in runtime:* | arm64:i386 | windows:arm64) continue ;; esac
  if ! grep -qx $arch <<<"$foreign"; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO dpkg --add-architecture $arch
  fi
done
# A mirror in the middle of a sync can serve a package index whose size its
# Release file does not yet give; apt then drops that index, and a foreign
# architecture's libraries no longer match the native ones' security updates.
# Such an index is taken as the mirror serves it, so that the packages (whose
# own checksums the index gives) still install.
apt_update() {
  local log url list
  log=$(mktemp)
  if $SUDO apt-get update -qq >"$log" 2>&1; then rm -f "$log"; return 0; fi
  cat "$log" >&2
  grep -o "Failed to fetch http[^ ]*Packages\.xz" "$log" | sed 's/^Failed to fetch //' | sort -u |
    while read -r url; do
      list=/var/lib/apt/lists/$(sed -e 's#^[a-z]*://##' -e 's#/#_#g' -e 's#\.xz$##' <<<"$url")
      echo "install-deps.sh: taking $url as served" >&2
      { $SUDO /usr/lib/apt/apt-helper download-file "$url" "$list.xz" >/dev/null &&
        $SUDO xz -df "$list.xz"; } || $SUDO rm -f "$list" "$list.xz"
    done
  rm -f "$log"
}
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  apt_update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
