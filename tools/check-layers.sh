#!/usr/bin/env bash
# The folders under src/ are floors: a file includes only from its own folder or from a floor
# below it, and ui/ and cli/ (two front ends on one floor) never include each other. No header
# below ui/ includes <windows.h>: the portable headers stay portable. Prints every include that
# breaks the order, with its file and line, and fails when there is one.
set -uo pipefail
src=${1:-$(dirname "$0")/../src}

# Top to bottom; front ends share a rank.
declare -A rank=([app]=8 [ui]=7 [cli]=7 [batch]=6 [install]=5 [jobs]=4 [probe]=3 [exec]=2 [base]=1)

bad=0
while IFS= read -r -d '' file; do
  rel=${file#"$src"/}
  floor=${rel%%/*}
  [ -n "${rank[$floor]:-}" ] || { echo "check-layers: $rel: folder '$floor' has no floor"; bad=1; continue; }
  while IFS=: read -r line target; do
    to=${target%%/*}
    if [ -z "${rank[$to]:-}" ]; then
      continue  # a generated header or a folder outside src/
    fi
    if [ "$to" != "$floor" ] && [ "${rank[$to]}" -ge "${rank[$floor]}" ]; then
      echo "check-layers: $rel:$line includes \"$target\": $to/ is not below $floor/"
      bad=1
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z_]+/' "$file" |
             sed -E 's/^([0-9]+):[^"]*"([^"]+)".*/\1:\2/')
  if [ "${rank[$floor]}" -lt 7 ] && [[ $rel == *.h ]] &&
     grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<windows\.h>' "$file"; then
    echo "check-layers: $rel includes <windows.h>: headers below ui/ stay portable"
    bad=1
  fi
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' -o -name '*.in' \) -print0 | sort -z)

[ "$bad" -eq 0 ] && echo "check-layers: every include runs to its own floor or below"
exit $bad
