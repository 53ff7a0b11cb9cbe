#!/usr/bin/env bash
# Installs what is missing for playing, builds the game, its data and its
# tool (no tests), and starts the game in build/data. Arguments go to the game.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --runtime
# Only a new build folder is set up without the tests: one that
# scripts/run-tests.sh made keeps them.
opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
[ -f build/CMakeCache.txt ] || opts+=(-DZV_BUILD_TESTS=OFF)
cmake -S . -B build -G Ninja "${opts[@]}" >/dev/null
# The data first: its generator is the longest chain, and the game's own
# sources compile beside it.
cmake --build build --target zentrova-data zentrova zentrova-tool
cd build/data
mkdir -p err  # the game logs only into a folder that is already there
exec ../zentrova "$@"
