#!/usr/bin/env bash
# Installs what is missing, builds the game and its data, and starts it in build/data.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
cd build/data
mkdir -p err  # the game logs only into a folder that is already there
exec ../zentrova "$@"
