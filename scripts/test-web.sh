#!/usr/bin/env bash
# The web stage: builds the browser version (scripts/build-web.sh), serves it
# on 127.0.0.1 and drives Debian's Chromium headless with puppeteer-core
# (tests/web/browser_test.mjs): the title, a click that starts the game and
# its sound, the quit question, a phone-sized page played by touch, and the
# input script tests/web/stage_and_scene.txt replayed in the page, whose
# script trace, state and glyph-free frames must equal the desktop build's
# `zentrova-tool replay` of the same script. Screenshots and results go to
# build-web/test/.
#
#   scripts/test-web.sh [--port N]     (default 8725; ZV_WEB_PORT too)
#
# Installs what it needs when run as root (Debian's emscripten, node-acorn,
# chromium, libstb-dev, npm; puppeteer-core from the npm registry) and uses
# the desktop build in build/ for the data and the reference replay, making
# the parts of it that are missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
port=${ZV_WEB_PORT:-8725}
while [ $# -gt 0 ]; do
  case $1 in
    --port) port=$2; shift 2 ;;
    -h|--help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "test-web.sh: unknown argument '$1'" >&2; exit 2 ;;
  esac
done
pkgs=(emscripten node-acorn chromium libstb-dev python3)
missing=()
for p in "${pkgs[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
# Node and npm may come from elsewhere than Debian's packages.
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "test-web.sh: missing packages: ${missing[*]}" >&2
    exit 1
  fi
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
jobs=$(nproc)
# The desktop build: the data and the tool for the reference replay.
if [ ! -x build/zentrova-tool ] || [ ! -f build/data/grp.TVN ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j "$jobs" --target zentrova-tool zentrova-data
fi
# While the browser build compiles (most of the stage's time), puppeteer
# comes from the registry and the desktop tool replays the script for the
# reference, each in the background.
site=build-web/site
npmdir=build-web/npm
out=build-web/test
rm -rf "$out"
mkdir -p "$out/ref"
scratch=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
npm_job=
if [ ! -d "$npmdir/node_modules/puppeteer-core" ]; then
  mkdir -p "$npmdir"
  npm install --prefix "$npmdir" --no-audit --no-fund --silent puppeteer-core@24 >"$out/npm.log" 2>&1 &
  npm_job=$!
fi
cp -r build/data "$scratch/data"
rm -rf "$scratch/data/rank.sav" "$scratch/data/err"
frames=2400
(cd "$scratch/data" && nice "$here/build/zentrova-tool" replay --input "$here/tests/web/stage_and_scene.txt" \
  --frames $frames --frame-hashes "$here/$out/ref/hash.txt" --glyph-frames "$here/$out/ref/glyphs.txt" \
  --script-trace "$here/$out/ref/trace.jsonl" --state "$here/$out/ref/state.json" >/dev/null) &
ref_job=$!
scripts/build-web.sh
cp tests/web/stage_and_scene.txt "$site/"
wait "$ref_job" || { echo "test-web.sh: the desktop reference replay failed" >&2; exit 1; }
if [ -n "$npm_job" ] && ! wait "$npm_job"; then
  cat "$out/npm.log" >&2
  echo "test-web.sh: npm could not install puppeteer-core" >&2
  exit 1
fi
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >"$out/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null && break
  sleep 0.1
done
status=0
node tests/web/browser_test.mjs --url "http://127.0.0.1:$port/" --ref "$out/ref" --out "$out" \
  --puppeteer "$npmdir" --chromium /usr/bin/chromium || status=$?
echo "web stage: ${SECONDS} s (load $(cut -d' ' -f1-3 /proc/loadavg))"
exit $status
