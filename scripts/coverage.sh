#!/usr/bin/env bash
# Line and branch coverage of the file readers, from the unit tests and the
# fuzz targets' seed corpora and regression inputs (each *_fuzz_replay test
# runs every file once; the other fuzz tests add a few thousand random and
# mutated inputs). Builds with clang's source-based coverage in build-cov/,
# runs CTest there and prints one line per reader file. The full report of
# every file is left in build-cov/coverage/.
#
#   scripts/coverage.sh            # the table of the readers
#   scripts/coverage.sh --all      # every source file
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build-cov
profdata=$(command -v llvm-profdata-14 || command -v llvm-profdata || true)
cov=$(command -v llvm-cov-14 || command -v llvm-cov || true)
if [ -z "$profdata" ] || [ -z "$cov" ]; then
  echo "coverage.sh: needs llvm-profdata and llvm-cov (apt-get install llvm)" >&2
  exit 1
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZV_COVERAGE=ON \
  -DZV_BUILD_CONTENT=OFF -DZV_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" >"$build/build.log" || { tail -30 "$build/build.log" >&2; exit 1; }
rm -rf "$build/profiles" "$build/coverage"
mkdir -p "$build/profiles" "$build/coverage"
# %p: one profile per process (tests run in parallel); %m keeps binaries apart.
LLVM_PROFILE_FILE="$build/profiles/%p-%m.profraw" ctest --test-dir "$build" -j "$(nproc)" >"$build/coverage/ctest.log" 2>&1 || {
  tail -20 "$build/coverage/ctest.log" >&2
  exit 1
}
"$profdata" merge -sparse "$build"/profiles/*.profraw -o "$build/coverage/all.profdata"

objects=()
while IFS= read -r exe; do
  # llvm-cov takes the first binary as is and the others after -object.
  if [ ${#objects[@]} -eq 0 ]; then objects+=("$exe"); else objects+=(-object "$exe"); fi
done < <(find "$build" -maxdepth 2 -type f -executable \( -name 'test_*' -o -name '*_fuzz' -o -name zentrova-tool \) | sort)

# The readers: archives and LZSS, stream headers, pictures, wave and Ogg
# sounds, the codec layer, the ranking and settings files, scripts and
# message markup, and the tool's input scripts and scene files.
readers=(
  src/gfx/resource.cpp src/gfx/bmp.cpp src/sound/wav.cpp src/sound/ogg.cpp src/sound/stream.cpp
  src/platform/acm.cpp src/game/rank.cpp src/platform/registry.cpp src/shell/config.cpp
  src/script/script.cpp src/script/interp.cpp src/script/text.cpp
  tools/zentrova-tool/replay.cpp tools/zentrova-tool/render.cpp
)
if [ "${1:-}" = "--all" ]; then
  "$cov" report "${objects[@]}" -instr-profile="$build/coverage/all.profdata" \
    -ignore-filename-regex='(tests|fuzz|bench|usr)/'
  exit 0
fi
"$cov" report "${objects[@]}" -instr-profile="$build/coverage/all.profdata" \
  "${readers[@]/#/$PWD/}" >"$build/coverage/readers.txt"
"$cov" show "${objects[@]}" -instr-profile="$build/coverage/all.profdata" -show-branches=count \
  -format=html -output-dir="$build/coverage/html" "${readers[@]/#/$PWD/}"
# Columns of llvm-cov's report: regions (3), functions (3), lines (3),
# branches (3). Print file, lines and branches.
awk -v root="$PWD/" 'NF >= 13 && $1 != "Filename" && $1 !~ /^-/ {
    f = $1; sub(root, "", f)
    printf "%-34s lines %6s of %5s (%7s)   branches %6s of %5s (%7s)\n",
      f, $8 - $9, $8, $10, $11 - $12, $11, $13
  }' "$build/coverage/readers.txt"
echo "details: $build/coverage/html/index.html"
