#!/usr/bin/env bash
# Records both routes' whole play-throughs headless: the frame hashes, the
# script trace, the state summary and a digest of the mixed sound, one set of
# files per route in OUT. With --compare REF it then compares them with an
# earlier recording and exits non-zero on any difference, naming the first
# frame that differs. With --glyph-free the comparison of frames leaves out
# every frame that holds a glyph of the platform's font in either recording,
# or shows the same picture as one that does (a port's own rasterizer draws
# text a little differently), and the sound
# and the trace must still match. With --audio-apart a difference of the sound
# is shown but does not fail the comparison (the Vorbis library's float
# decoder rounds a few samples differently on other processors).
#
#   scripts/playthrough-hashes.sh [--build DIR] [--tool EXE] OUT
#                                 [--compare REF [--glyph-free] [--audio-apart]]
#
# The tool defaults to DIR/zentrova-tool and the data to DIR/data (DIR
# defaults to build). Each route runs in a scratch copy of the data, so no
# "rank.sav" or log is left behind. ZV_EMULATOR, when set, is put in front of
# the tool (e.g. qemu-aarch64-static for a cross build); ZV_ROUTES (default
# "0 1") chooses the routes.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build
tool=
out=
ref=
glyphfree=0
audioapart=0
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --tool) tool=$2; shift 2 ;;
    --compare) ref=$(cd "$2" && pwd); shift 2 ;;
    --glyph-free) glyphfree=1; shift ;;
    --audio-apart) audioapart=1; shift ;;
    -h|--help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) out=$1; shift ;;
  esac
done
[ -n "$out" ] || { echo "usage: $0 [--build DIR] [--tool EXE] OUT [--compare REF]" >&2; exit 2; }
[ -n "$tool" ] || tool=$build/zentrova-tool
# Each route runs in its own folder: the tool's path must not be relative.
tool=$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")
mkdir -p "$out"
out=$(cd "$out" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
routes=${ZV_ROUTES:-0 1}
for route in $routes; do
  cp -r "$build/data" "$scratch/data$route"
  rm -rf "$scratch/data$route/rank.sav" "$scratch/data$route/err"
  (cd "$scratch/data$route" &&
    ${ZV_EMULATOR:-} "$tool" replay --autoplay \
      --autoplay-choices "$route" --until title --frames 200000 \
      --frame-hashes "$out/hash$route.txt" --glyph-frames "$out/glyphs$route.txt" --script-trace "$out/trace$route.jsonl" \
      --state "$out/state$route.json" --audio "$scratch/audio$route.wav" >/dev/null)
  sha256sum <"$scratch/audio$route.wav" | cut -d' ' -f1 >"$out/audio$route.sha256"
  echo "route $route: $(wc -l <"$out/hash$route.txt") frames"
done
[ -n "$ref" ] || exit 0
status=0
if [ $glyphfree = 1 ]; then
  for route in $routes; do
    # frame, reference hash, glyphs there, this hash, glyphs here
    # A frame that shows the same picture as one with glyphs (a held or
    # repeated screen draws no glyph itself) holds them too.
    verdict=$(paste -d' ' "$ref/hash$route.txt" "$ref/glyphs$route.txt" "$out/hash$route.txt" \
      "$out/glyphs$route.txt" | awk '{ r[NR] = $2; o[NR] = $6; f[NR] = $1
          if ($4 != 0 || $8 != 0) { gr[$2] = 1; go[$6] = 1; g[NR] = 1 } }
        END { for (i = 1; i <= NR; i++) {
                if (g[i] || (r[i] in gr) || (o[i] in go)) continue
                n++; if (r[i] != o[i] && !bad) bad = f[i] }
              printf "%d %s", n, bad ? bad : "-" }')
    set -- $verdict
    if [ "$2" = - ] && [ "$(wc -l <"$ref/hash$route.txt")" = "$(wc -l <"$out/hash$route.txt")" ]; then
      echo "same: hash$route.txt ($1 frames without glyphs)"
    else
      echo "DIFFERENT: hash$route.txt (first glyph-free frame that differs: $2)"
      status=1
    fi
  done
fi
files=()
for route in $routes; do files+=("hash$route.txt" "trace$route.jsonl" "audio$route.sha256"); done
for f in "${files[@]}"; do
  case $f in hash*) [ $glyphfree = 1 ] && continue ;; esac
  if cmp -s "$ref/$f" "$out/$f"; then
    echo "same: $f"
  elif [ $audioapart = 1 ] && [[ $f = audio* ]]; then
    echo "different (not counted): $f"
  else
    status=1
    first=$(diff <(cat "$ref/$f") <(cat "$out/$f") | sed -n '2p' | cut -c1-100 || true)
    echo "DIFFERENT: $f (first: ${first})"
  fi
done
exit $status
