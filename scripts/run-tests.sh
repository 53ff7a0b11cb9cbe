#!/usr/bin/env bash
# Installs what is missing, builds everything twice (plain and with the address
# and undefined-behaviour sanitizers) and runs every test through CTest, then
# runs each fuzz target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The include graph of src/ points down the floors.
scripts/check-includes.sh
jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j "$jobs"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZV_SANITIZE=ON -DZV_BUILD_CONTENT=OFF \
  -DZV_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
# The music stream workers share state with the main thread: their tests also
# run under the thread sanitizer.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_TSAN=ON -DZV_BUILD_CONTENT=OFF \
  -DZV_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan --target test_sound
TSAN_OPTIONS=halt_on_error=1 build-tsan/test_sound
# Every fuzz target, briefly, with coverage feedback from the whole engine.
scripts/fuzz.sh 15
# A Release build with Debian's hardening flags, installed and packaged.
scripts/check-install.sh
