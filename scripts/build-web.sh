#!/usr/bin/env bash
# Builds the browser version of the game into build-web/site/: index.html,
# zentrova.js, zentrova.wasm and the data under data/ with its list
# (data/files.json), for any static web server.
#
#   scripts/build-web.sh [--data DIR]
#
# The data comes from a desktop build's data folder (default build/data; it
# is built there, without the tests, when missing). Needs Debian's emscripten
# (and node-acorn) and libstb-dev.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
data=build/data
while [ $# -gt 0 ]; do
  case $1 in
    --data) data=$2; shift 2 ;;
    -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "build-web.sh: unknown argument '$1'" >&2; exit 2 ;;
  esac
done
jobs=$(nproc)
if [ ! -f "$data/grp.TVN" ]; then
  [ "$data" = build/data ] || { echo "build-web.sh: no data in $data" >&2; exit 1; }
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_BUILD_TESTS=OFF >/dev/null
  cmake --build build -j "$jobs" --target zentrova-data
fi
# Debian's emcc finds its JavaScript parser here, and keeps the libraries it
# ships in a cache it may not write to: a cache of our own that points at
# them takes the compiler's own notes.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
if [ -z "${EM_CACHE:-}" ]; then
  export EM_CACHE=$here/build-web/emcache
  if [ ! -e "$EM_CACHE/sysroot" ]; then
    mkdir -p "$EM_CACHE"
    ln -s /usr/share/emscripten/cache/sysroot "$EM_CACHE/sysroot"
    cp /usr/share/emscripten/cache/sysroot_install.stamp "$EM_CACHE/" 2>/dev/null || true
  fi
fi
emcmake cmake -S . -B build-web/cmake -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web/cmake -j "$jobs"
site=build-web/site
rm -rf "$site"
mkdir -p "$site/data"
cp src/platform/web/index.html build-web/cmake/zentrova.js build-web/cmake/zentrova.wasm "$site/"
# What the game reads: the archives, the music, the manual and its pictures,
# the icon and the cursor.
(cd "$data" && find SCR.TVN grp.TVN wav.TVN bgm manual res -type f 2>/dev/null | sort) >"$site/files.txt"
{
  printf '['
  sep=
  while read -r f; do
    mkdir -p "$site/data/$(dirname "$f")"
    cp "$data/$f" "$site/data/$f"
    printf '%s{"path": "%s", "size": %s}' "$sep" "$f" "$(stat -c %s "$data/$f")"
    sep=', '
  done <"$site/files.txt"
  printf ']\n'
} >"$site/data/files.json"
rm "$site/files.txt"
echo "site: $site ($(du -sh "$site" | cut -f1); wasm $(stat -c %s "$site/zentrova.wasm") bytes," \
  "js $(stat -c %s "$site/zentrova.js") bytes, data $(du -sb "$site/data" | cut -f1) bytes)"
