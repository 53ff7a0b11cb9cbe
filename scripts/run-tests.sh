#!/usr/bin/env bash
# Every check of the project, as a sequence of named stages, each timed
# against its budget; a summary at the end. A failed stage does not stop the
# ones after it; the exit status is non-zero when any failed.
#
#   deps      installs what is missing (scripts/install-deps.sh)
#   includes  the include graph of src/ points down the floors
#             (scripts/check-includes.sh), and no source file or function
#             outgrows its limit (scripts/check-sizes.sh)
#   build     the developer build (build/): game, tool, data, tests, fuzz
#             drivers, benchmarks
#   test      every test through CTest
#   sanitize  one clang build with the address and undefined-behaviour
#             sanitizers (build-asan/): the tests and the fuzz corpus replays
#             through CTest, then each fuzz target for a few seconds
#             (scripts/fuzz.sh)
#   tsan      the music stream tests under the thread sanitizer
#   install   a hardened Release, installed and packaged (scripts/check-install.sh)
#   arm64     cross build, tests under the emulator, a play-through's frames
#             against this build's (scripts/test-arm64.sh)
#   windows   scripts/test-windows.sh, when there is one
#   web       scripts/test-web.sh, when there is one
#
#   scripts/run-tests.sh [STAGE...]     (default: all of them, in this order)
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# Budgets in seconds on a quiet 2-core machine; together an hour, the whole
# run's limit. A stage over its budget is marked in the summary.
declare -A budget=([deps]=140 [includes]=10 [build]=600 [test]=150 [sanitize]=600 [tsan]=180 [install]=240
  [arm64]=480 [windows]=720 [web]=480)
all=(deps includes build test sanitize tsan install arm64 windows web)

stage_deps() { scripts/install-deps.sh; }
stage_includes() { scripts/check-includes.sh && scripts/check-sizes.sh; }
stage_build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_BUILD_TESTS=ON >/dev/null &&
    cmake --build build -j "$jobs"
}
stage_test() { ctest --test-dir build --output-on-failure -j "$jobs"; }
stage_sanitize() {
  # ZV_FUZZ instruments everything with the sanitizers and libFuzzer's
  # coverage; the tests link without libFuzzer and run as usual.
  CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZV_FUZZ=ON \
    -DZV_BUILD_TESTS=ON -DZV_BUILD_CONTENT=OFF -DZV_BUILD_BENCH=OFF >/dev/null &&
    cmake --build build-asan -j "$jobs" &&
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --test-dir build-asan --output-on-failure -j "$jobs" &&
    ZV_FUZZ_BUILD=build-asan scripts/fuzz.sh 15
}
stage_tsan() {
  # The music stream workers share state with the main thread.
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_TSAN=ON \
    -DZV_BUILD_CONTENT=OFF -DZV_BUILD_BENCH=OFF >/dev/null &&
    cmake --build build-tsan -j "$jobs" --target test_sound &&
    TSAN_OPTIONS=halt_on_error=1 build-tsan/test_sound
}
stage_install() { scripts/check-install.sh; }
stage_arm64() { scripts/test-arm64.sh --native build; }
stage_windows() { scripts/test-windows.sh; }
stage_web() { scripts/test-web.sh; }

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=("${all[@]}")
names=() secs=() verdicts=()
failed=0
run_start=$(date +%s)
for s in "${stages[@]}"; do
  if ! declare -F "stage_$s" >/dev/null; then
    echo "run-tests.sh: no stage '$s' (stages: ${all[*]})" >&2
    exit 2
  fi
  if { [ "$s" = windows ] || [ "$s" = web ]; } && [ ! -x "scripts/test-$s.sh" ]; then
    names+=("$s") secs+=(0) verdicts+=("absent")
    continue
  fi
  echo "=== stage $s (budget ${budget[$s]} s)"
  start=$(date +%s)
  "stage_$s"
  rc=$?
  took=$(($(date +%s) - start))
  verdict=passed
  [ $rc -eq 0 ] || { verdict="FAILED ($rc)"; failed=1; }
  [ $took -le "${budget[$s]}" ] || verdict="$verdict, over budget"
  echo "=== stage $s: $verdict in $took s"
  names+=("$s") secs+=("$took") verdicts+=("$verdict")
done
total=$(($(date +%s) - run_start))

echo
echo "stage       seconds  budget  result"
for i in "${!names[@]}"; do
  printf '%-10s %8s %7s  %s\n' "${names[$i]}" "${secs[$i]}" "${budget[${names[$i]}]}" "${verdicts[$i]}"
done
printf '%-10s %8s %7s  (load now: %s)\n' total "$total" 3600 "$(cut -d' ' -f1-3 /proc/loadavg)"
exit $failed
