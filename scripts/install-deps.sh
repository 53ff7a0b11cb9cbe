#!/usr/bin/env bash
# Installs the Debian packages the game, its tools and its tests need.
# Quick when everything is already there.
set -euo pipefail
pkgs=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libogg-dev libvorbis-dev libfreetype-dev libfontconfig-dev fonts-ipafont-gothic
  fonts-ipafont-mincho fonts-dejavu-core
  libsndfile1-dev libpng-dev libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libpixman-1-dev
  sox vorbis-tools xvfb xauth
  help2man appstream desktop-file-utils lintian
  clang libclang-rt-dev clang-format
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
