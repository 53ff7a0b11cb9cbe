#!/usr/bin/env bash
# Cross-builds the game, its tool and the tests for 32-bit Windows
# (build-win32/, the "windows" preset), runs the tests under Wine, and plays
# the whole game headless with zentrova-tool.exe, comparing the script trace
# with the same play-through by this machine's own build and the frame
# hashes of every frame that shows no glyph (the glyphs come from each
# system's own rasterizer). The sound is compared too, but its difference
# does not count (stb_vorbis decodes the music there, libvorbis here). The
# data comes from the native build (made there when missing).
# Exits 0 when all of it passes.
#
#   scripts/test-windows.sh [--native DIR] [--routes "0 1"] [--no-tests]
#
# DIR is the native build (default build); the routes are those of
# scripts/playthrough-hashes.sh (default: route 0, one whole play-through).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
native=build
routes=0
tests=1
while [ $# -gt 0 ]; do
  case $1 in
    --native) native=$2; shift 2 ;;
    --routes) routes=$2; shift 2 ;;
    --no-tests) tests=0; shift ;;
    -h | --help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "usage: $0 [--native DIR] [--routes \"0 1\"] [--no-tests]" >&2; exit 2 ;;
  esac
done
scripts/install-deps.sh --windows
jobs=$(nproc)
build=$root/build-win32

# The native data and tool.
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$native" -j "$jobs" --target zentrova-data zentrova-tool

# Wine in a prefix of its own, no sound card, no desktop needed.
wine_home=$(mktemp -d /tmp/zentrova-wine-XXXXXX)
out=$(mktemp -d /tmp/zentrova-win32-XXXXXX)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$wine_home" "$out"' EXIT
export WINEPREFIX=$wine_home/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export HOME=$wine_home
printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
unset DISPLAY
wineboot -i >/dev/null 2>&1

cmake --preset windows >/dev/null
targets=(zentrova zentrova-tool)
[ $tests = 1 ] && targets=(all)
cmake --build "$build" -j "$jobs" --target "${targets[@]}"
file -b "$build/zentrova-tool.exe" | grep -q 'PE32 executable.*Intel 80386'

if [ $tests = 1 ]; then
  ctest --test-dir "$build" --output-on-failure -j "$jobs"
fi

# The play-through, here and under Wine, compared.
ZV_ROUTES=$routes scripts/playthrough-hashes.sh --build "$native" "$out/native" >/dev/null
ZV_ROUTES=$routes ZV_EMULATOR=wine \
  scripts/playthrough-hashes.sh --build "$native" --tool "$build/zentrova-tool.exe" "$out/win32" \
  --compare "$out/native" --glyph-free --audio-apart
echo "windows: tests under Wine and the play-through's trace and glyph-free frames match"
