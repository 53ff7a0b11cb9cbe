#!/usr/bin/env bash
# Builds the fuzz targets with libFuzzer and the address and undefined-behaviour
# sanitizers (build-fuzz/, or $ZV_FUZZ_BUILD: a folder configured with
# ZV_FUZZ=ON, such as the sanitizer build of scripts/run-tests.sh, is used as
# it is) and runs each in turn for SECONDS (default 60),
# starting from its seed corpus and regression inputs. New inputs go to a
# scratch corpus under build-fuzz/fuzz-corpus/, never to fuzz/corpus/; crashing,
# slow and out-of-memory inputs are kept in build-fuzz/findings/<target>/.
# Prints one line per target and exits non-zero when any target found something.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. scripts/fuzz.sh 600 wav ogg
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
root=$PWD
build=${ZV_FUZZ_BUILD:-build-fuzz}
[[ $build = /* ]] || build=$root/$build

if ! grep -qs '^ZV_FUZZ:BOOL=ON' "$build/CMakeCache.txt"; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZV_FUZZ=ON \
    -DZV_BUILD_TESTS=OFF -DZV_BUILD_CONTENT=OFF -DZV_BUILD_BENCH=OFF >/dev/null
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in fuzz/*_fuzz.cpp; do
    name=$(basename "$src" .cpp)
    targets+=("${name%_fuzz}")
  done
fi
mkdir -p "$build/fuzz-logs"
if ! ninja -C "$build" -j2 "${targets[@]/%/_fuzz}" >"$build/fuzz-logs/build.log" 2>&1; then
  cat "$build/fuzz-logs/build.log" >&2
  exit 1
fi

found=0
printf '%-10s %8s %12s %10s %9s\n' target seconds executions coverage findings
for t in "${targets[@]}"; do
  corpus=$build/fuzz-corpus/$t
  findings=$build/findings/$t
  log=$build/fuzz-logs/$t.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  for d in fuzz/corpus/$t fuzz/regressions/$t; do
    [ -d "$d" ] && cp -n "$d"/* "$corpus"/ 2>/dev/null || true
  done
  # The targets' own messages are dropped (-close_fd_mask); libFuzzer and the
  # sanitizers still report. A unit may take 30 s: a scene script that spins
  # to the interpreter's per-frame bound in every frame costs about 10 s of
  # CPU under the sanitizers, and a shared machine stretches that; a real hang
  # still goes over. Units are reported (and kept) as slow only past that
  # limit too: libFuzzer's own default of 10 s would count such a script as
  # a finding.
  args=(-max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=30
    -report_slow_units=30 -close_fd_mask=3
    -print_final_stats=1 -artifact_prefix="$findings/")
  [ -f fuzz/$t.dict ] && args+=(-dict="$root/fuzz/$t.dict")
  before=$(find "$findings" -type f | wc -l)
  start=$(date +%s)
  # The target runs in the findings directory: files it writes stay there.
  rc=0
  (cd "$findings" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/fuzz/${t}_fuzz" "${args[@]}" "$corpus") >"$log" 2>&1 || rc=$?
  took=$(($(date +%s) - start))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
  new=$(($(find "$findings" -type f | wc -l) - before))
  if [ "$rc" -ne 0 ] && [ "$new" -eq 0 ]; then new=1; fi
  printf '%-10s %8s %12s %10s %9s\n' "$t" "$took" "${execs:-?}" "${cov:-?}" "$new"
  if [ "$new" -ne 0 ]; then
    found=1
    echo "  $t: see $log and $findings/" >&2
  fi
done
exit $found
