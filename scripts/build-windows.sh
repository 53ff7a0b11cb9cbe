#!/usr/bin/env bash
# Builds the Windows release: the game and the tool cross-built for 32-bit
# Windows (build-win32-release/), with the data of the native build beside
# them and the manual, as out/zentrova-VERSION-win32.zip (one folder
# zentrova-VERSION inside) and the per-user installer
# out/zentrova-VERSION-setup.exe.
#
#   scripts/build-windows.sh [--native DIR]
#
# DIR is the native build that makes the data (default build).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
native=build
while [ $# -gt 0 ]; do
  case $1 in
    --native) native=$2; shift 2 ;;
    -h | --help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "usage: $0 [--native DIR]" >&2; exit 2 ;;
  esac
done
scripts/install-deps.sh --windows
jobs=$(nproc)
version=$(sed -n 's/^project(Zentrova VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
build=$root/build-win32-release
outdir=$root/out
mkdir -p "$outdir"

if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$native" -j "$jobs" --target zentrova-data

# The program's icon resource from the data's icon.
mkdir -p "$build"
convert "$native/data/res/icon.png" -define icon:auto-resize=48,32,16 "$build/zentrova.ico"
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DZV_BUILD_CONTENT=OFF -DZV_BUILD_TESTS=OFF -DZV_BUILD_BENCH=OFF \
  -DZV_WINDOWS_ICON="$build/zentrova.ico" >/dev/null
cmake --build "$build" -j "$jobs" --target zentrova zentrova-tool
i686-w64-mingw32-strip "$build/zentrova.exe" "$build/zentrova-tool.exe"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dir=$stage/zentrova-$version
mkdir -p "$dir"
cp "$build/zentrova.exe" "$build/zentrova-tool.exe" "$dir/"
# The data beside the program; the Linux desktop files stay behind.
(cd "$native/data" && tar cf - --exclude=zentrova.desktop --exclude=icons --exclude=err \
  --exclude=rank.sav .) | (cd "$dir" && tar xf -)
rm -f "$outdir/zentrova-$version-win32.zip"
(cd "$stage" && zip -qr9 "$outdir/zentrova-$version-win32.zip" "zentrova-$version")
makensis -V2 -DVERSION="$version" -DSOURCE="$dir" -DOUTFILE="$outdir/zentrova-$version-setup.exe" \
  content/packaging/zentrova.nsi
ls -l "$outdir/zentrova-$version-win32.zip" "$outdir/zentrova-$version-setup.exe"
