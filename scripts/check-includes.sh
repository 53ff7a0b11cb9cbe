#!/usr/bin/env bash
# Checks the include graph of src/: every include points down the floors or
# stays on its floor, and no folders (nor files) include each other in a
# circle. Floors, top to bottom:
#   5 shell   4 game script   3 gfx blit sound text resources   2 common   1 platform
# (platform's backend folders count as platform). Exit 1 names each fault.
set -euo pipefail
cd "$(dirname "$0")/../src"
floor() {
  case $1 in
    shell) echo 5 ;;
    game | script) echo 4 ;;
    gfx | blit | sound | text | resources) echo 3 ;;
    common) echo 2 ;;
    platform) echo 1 ;;
    *) echo 0 ;;
  esac
}
status=0
folders=$(mktemp)
files=$(mktemp)
trap 'rm -f "$folders" "$files"' EXIT
while IFS=: read -r file target; do
  from=${file%%/*}
  to=${target%%/*}
  [ "$from" = "$file" ] && continue  # main.cpp, the top of the program
  echo "$file $target" >>"$files"
  [ "$from" = "$to" ] && continue
  ff=$(floor "$from")
  ft=$(floor "$to")
  if [ "$ff" = 0 ] || [ "$ft" = 0 ]; then
    echo "unknown folder: $file includes $target"
    status=1
  elif [ "$ft" -gt "$ff" ]; then
    echo "upward include: $file ($from, floor $ff) includes $target ($to, floor $ft)"
    status=1
  fi
  echo "$from $to" >>"$folders"
done < <(grep -rEo '^#include "[a-z_]+/[^"]+"' --include='*.cpp' --include='*.h' . |
  sed -E 's|^\./||; s|:#include "|:|; s|"$||')
# Files that include each other through headers would never compile with
# include guards, but a header pair that leans on each other's declarations
# is still a circle: tsort reports both kinds.
for graph in "$folders" "$files"; do
  if ! sort -u "$graph" | tsort >/dev/null 2>"$graph.err"; then
    echo "circle among $( [ "$graph" = "$folders" ] && echo folders || echo files ):"
    sed 's/^/  /' "$graph.err"
    status=1
  fi
  rm -f "$graph.err"
done
[ $status -eq 0 ] && echo "includes: every one points down the floors, no circles"
exit $status
