#!/usr/bin/env bash
# Plays the story headless and writes screenshots of its key moments: every
# picture change half-way and finished, the first message on each picture,
# each choice. Usage: scripts/story-shots.sh OUT_DIR [CHOICE] [BUILD_DIR]
set -euo pipefail
out=$(realpath -m "${1:?usage: story-shots.sh OUT_DIR [CHOICE] [BUILD_DIR]}")
choice=${2:-0}
build=$(realpath "${3:-build}")
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build"/data/*.TVN "$work"/
cp -r "$build"/data/bgm "$work"/
mkdir -p "$work/err"
cd "$work"
run() {
  ZENTROVA_CONFIG_DIR="$work" "$build/zentrova-tool" replay --autoplay --autoplay-choices "$choice" \
    --until title --frames 100000 "$@"
}
run --script-trace trace.jsonl --state first.json >/dev/null
python3 - "$out" >shots.txt <<'PY'
import json, sys
lines = [json.loads(l) for l in open("trace.jsonl")]
shots = []
for k, e in enumerate(lines):
    entry = bytes.fromhex(e["entry"])
    nxt = lines[k + 1]["frame"] if k + 1 < len(lines) else e["frame"] + 60
    tag = "s%d_%03d" % (e["script"], e["pc"])
    if entry[:2].upper() in (b"#B", b"#V"):
        mid = e["frame"] + max(1, (nxt - e["frame"]) // 2)
        shots.append((mid, tag + "_half"))
    elif entry[:2].upper() == b"#C" and not entry[2:3].isdigit():
        shots.append(((e["frame"] + nxt) // 2, tag + "_choice"))
    elif entry[:1] not in (b"#", b"@"):
        prev = bytes.fromhex(lines[k - 1]["entry"])[:2].upper() if k else b""
        if prev in (b"#B", b"#V", b"#T") and k and bytes.fromhex(lines[k - 2]["entry"])[:2].upper() in (b"#B", b"#V", b"#W"):
            shots.append((nxt - 1, tag + "_text"))
        elif prev in (b"#B", b"#V"):
            shots.append((nxt - 1, tag + "_text"))
for f, name in shots:
    print("--shot %d:%s/%s.png" % (f, sys.argv[1], name))
PY
# shellcheck disable=SC2046
run $(cat shots.txt) --state "$out/state.json" >/dev/null
echo "$(wc -l <shots.txt) screenshots in $out"
