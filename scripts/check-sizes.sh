#!/usr/bin/env bash
# Checks the size limits of the engine's sources (src/): no file over 800
# lines, no function over 120. A function is counted from the line at column 0
# that opens it to the closing brace at column 0. Prints the largest of each
# and every one over its limit; exit 1 when any is.
set -euo pipefail
cd "$(dirname "$0")/../src"
status=0
files=$(find . -name '*.cpp' -o -name '*.h' | sort)
while read -r n f; do
  [ "$f" = total ] && continue
  if [ "$n" -gt 800 ]; then
    echo "file over 800 lines: ${f#./} ($n)"
    status=1
  fi
done < <(wc -l $files)
echo "largest files: $(wc -l $files | grep -v ' total$' | sort -rn | head -3 | awk '{printf "%s %s  ", substr($2,3), $1}')"
awk '
  FNR == 1 { start = 0; pending = 0 }
  # A definition starts at column 0 and opens its body on the same or a
  # later line of its signature.
  /^[A-Za-z_].*\(/ && !/^(namespace|struct|class|enum|union|extern|using|typedef|template)/ && !/;[ ]*$/ {
    pending = FNR; name = $0
  }
  pending && /\{ *$/ && !start { start = pending; pending = 0; next }
  pending && /;[ ]*$/ { pending = 0 }
  /^\}/ && start {
    len = FNR - start + 1
    sub(/\(.*/, "", name); n = split(name, w, " "); fn = w[n]
    printf "%d %s:%d %s\n", len, substr(FILENAME, 3), start, fn
    start = 0
  }' $files | sort -rn >/tmp/zv-function-sizes.$$
echo "largest functions: $(head -3 /tmp/zv-function-sizes.$$ | awk '{printf "%s %s (%s)  ", $3, $1, $2}')"
while read -r len where fn; do
  if [ "$len" -gt 120 ]; then
    echo "function over 120 lines: $fn at $where ($len)"
    status=1
  fi
done </tmp/zv-function-sizes.$$
rm -f /tmp/zv-function-sizes.$$
[ $status -eq 0 ] && echo "sizes: every file within 800 lines, every function within 120"
exit $status
