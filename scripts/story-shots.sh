#!/usr/bin/env bash
# Plays the story headless and writes a screenshot of every message of a
# route as the player reads it (fully shown, before the click), of every
# picture change half-way, and of each choice. With no CHOICES it does this
# for every route: each pair of answers to the two choices, in OUT_DIR/I-J/.
# Each folder gets index.txt: one line per screenshot with the script, its
# entry and the words on screen.
#
#   scripts/story-shots.sh OUT_DIR [CHOICES] [BUILD_DIR]
#
# CHOICES is the answers in order, e.g. 0,1 (see replay --autoplay-choices).
# The play runs in a scratch copy of the data; nothing is left in BUILD_DIR.
set -euo pipefail
out=$(realpath -m "${1:?usage: story-shots.sh OUT_DIR [CHOICES] [BUILD_DIR]}")
routes=${2:-all}
build=$(realpath "${3:-build}")
[ "$routes" = all ] && routes="0,0 0,1 1,0 1,1"
one_route=$([ "$(wc -w <<<"$routes")" -eq 1 ] && echo yes || echo no)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shoot() {  # CHOICES DIR
  local choices=$1 dir=$2 data=$work/data-$1
  mkdir -p "$dir"
  cp -r "$build/data" "$data"
  rm -rf "$data/rank.sav" "$data/err"
  mkdir -p "$data/err"
  run() {
    (cd "$data" && ZENTROVA_CONFIG_DIR="$data" "$build/zentrova-tool" replay --autoplay \
      --autoplay-choices "$choices" --until title --frames 100000 "$@" >/dev/null)
  }
  run --script-trace "$data/trace.jsonl" --state "$data/first.json"
  python3 - "$dir" "$data/trace.jsonl" "$data/shots.txt" "$dir/index.txt" <<'PY'
import json, re, sys
out, trace, shots_path, index_path = sys.argv[1:]
lines = [json.loads(l) for l in open(trace)]
shots = []
for k, e in enumerate(lines):
    entry = bytes.fromhex(e["entry"])
    nxt = lines[k + 1]["frame"] if k + 1 < len(lines) else e["frame"] + 60
    where = "s%04d:%d" % (e["script"], e["pc"])
    kind = entry[:2].upper()
    if kind in (b"#B", b"#V"):
        shots.append((e["frame"] + max(1, (nxt - e["frame"]) // 2), "change", where,
                      entry.decode("cp932")))
    elif kind == b"#C" and not entry[2:3].isdigit():
        shots.append(((e["frame"] + nxt) // 2, "choice", where, ""))
    elif entry[:1] not in (b"#", b"@"):
        # The message fully shown, on the last frame before the click.
        text = entry.decode("cp932")
        text = re.sub(r"\|[^>]*>", "", text)
        text = re.sub(r"<[A-Za-z]\d*", "", text).replace(">", "").replace("\n", " / ")
        shots.append((nxt - 1, "msg", where, text))
with open(shots_path, "w") as f, open(index_path, "w", encoding="utf-8") as idx:
    for n, (frame, kind, where, text) in enumerate(shots):
        name = "%03d_%s_%s.png" % (n, where.replace(":", "_"), kind)
        f.write("--shot %d:%s/%s\n" % (frame, out, name))
        idx.write("%s\t%s\t%s\n" % (name, where, text))
PY
  # shellcheck disable=SC2046
  run $(cat "$data/shots.txt") --state "$dir/state.json"
  echo "route $choices: $(wc -l <"$data/shots.txt") screenshots in $dir"
}

for r in $routes; do
  if [ "$one_route" = yes ]; then shoot "$r" "$out"; else shoot "$r" "$out/${r/,/-}"; fi
done
