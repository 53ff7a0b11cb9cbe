#!/usr/bin/env bash
# Cross-builds the game, its tool and the picture tests for 64-bit ARM
# (build-arm64/), runs those tests under the user-mode emulator, and plays the
# whole game headless with the arm64 tool, comparing every frame hash and the
# script trace with the same play-through by this machine's own build (the
# sound is compared too, but its difference does not count: the Vorbis
# library's float decoder rounds a few samples differently there). The data comes from the native build (made there when missing).
# Exits 0 when all of it passes.
#
#   scripts/test-arm64.sh [--native DIR] [--routes "0 1"]
#
# DIR is the native build (default build); the routes are those of
# scripts/playthrough-hashes.sh (default: route 0, one whole play-through).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
native=build
routes=0
while [ $# -gt 0 ]; do
  case $1 in
    --native) native=$2; shift 2 ;;
    --routes) routes=$2; shift 2 ;;
    -h | --help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "usage: $0 [--native DIR] [--routes \"0 1\"]" >&2; exit 2 ;;
  esac
done
scripts/install-deps.sh --arm64
jobs=$(nproc)
build=$root/build-arm64

# The native data and tool.
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$native" -j "$jobs" --target zentrova-data zentrova-tool

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/aarch64-linux-gnu.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_BUILD_CONTENT=OFF -DZV_BUILD_BENCH=OFF >/dev/null
# The picture tests: the pixel loops, sprites and the render pass, text, and
# the frame conversion of the platform layer.
areas=(blit gfx text platform)
cmake --build "$build" -j "$jobs" --target zentrova zentrova-tool "${areas[@]/#/test_}"
file -b "$build/zentrova-tool" | grep -q aarch64
label="^($(IFS='|'; echo "${areas[*]}"))\$"
ctest --test-dir "$build" -L "$label" --output-on-failure -j "$jobs"

# The play-through, here and under the emulator, compared frame by frame.
out=$(mktemp -d /tmp/zentrova-arm64-XXXXXX)
trap 'rm -rf "$out"' EXIT
ZV_ROUTES=$routes scripts/playthrough-hashes.sh --build "$native" "$out/native" >/dev/null
ZV_ROUTES=$routes ZV_EMULATOR=qemu-aarch64-static \
  scripts/playthrough-hashes.sh --build "$native" --tool "$build/zentrova-tool" "$out/arm64" \
  --compare "$out/native" --audio-apart
echo "arm64: picture tests and the play-through's $(cat "$out"/arm64/hash*.txt | wc -l) frames match"
