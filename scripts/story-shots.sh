#!/usr/bin/env bash
# Plays the story headless and writes a screenshot of every message of a
# route as the player reads it (fully shown, before the click), of every
# picture change half-way, and of each choice. With no CHOICES it does this
# for every route: each pair of answers to the two choices, in OUT_DIR/I-J/.
# Each folder gets index.txt: one line per screenshot with the script, its
# entry and the words on screen. After every route, OUT_DIR/gallery.png is the
# title's gallery with the pictures all the routes together have lit.
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
[ "$one_route" = yes ] && exit 0

# The gallery flags of every route together, then the gallery: past the
# logos and the title picture with the decide key, down to its menu item.
gallery=$work/gallery
cp -r "$build/data" "$gallery"
rm -rf "$gallery/rank.sav" "$gallery/err"
mkdir -p "$gallery/err"
python3 - "$gallery/registry.txt" "$work"/data-*/registry.txt <<'PY'
import re, sys
seen, text = None, None
for path in sys.argv[2:]:
    text = open(path).read()
    cg = bytes.fromhex(re.search(r"cg=hex:([0-9a-f]*)", text).group(1))
    seen = cg if seen is None else bytes(a | b for a, b in zip(seen, cg))
open(sys.argv[1], "w").write(re.sub(r"cg=hex:[0-9a-f]*", "cg=hex:" + seen.hex(), text))
PY
printf '%s\n' "10 tap space" "20 tap space" "30 tap space" "40 tap down" "45 tap down" \
  "50 tap space" "60 move 630 470" >"$gallery/input.txt"
(cd "$gallery" && ZENTROVA_CONFIG_DIR="$gallery" "$build/zentrova-tool" replay --frames 100 \
  --input "$gallery/input.txt" --shot "90:$out/gallery.png" --state "$out/gallery.json" >/dev/null)
echo "gallery: $out/gallery.png"
