#!/usr/bin/env bash
# The folders of src/ depend downward, toward the operating system: counted from the #include lines
# between them, no dependency climbs back up the layers but the two named below, each for its reason.
# Usage: layers_test.sh SOURCE_DIR
set -u
cd "$1/src" || exit 1

# The layers, lowest first: the system seam, the rules, the drawing, the launcher, the entry.
LAYERS=(platform card game ai render console app)
# Dependencies that climb, with why.
ALLOWED_UP=(
  "card game|the cards' rules act on the match state, which the match's own folder declares"
  "game ai|a match makes its opponent's AI as it begins, and a pick it has not planned asks that AI"
)

rank() {
  local i
  for i in "${!LAYERS[@]}"; do [ "${LAYERS[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}

failures=0
# main() itself is the top of the entry.
edges=$(grep -rHoE '^#include "[a-z_]+/' --include='*.cpp' --include='*.h' . |
  sed -E 's|^\./main\.cpp:|./app/main.cpp:|; s|^\./([a-z_]+)/[^:]*:#include "([a-z_]+)/|\1 \2|' |
  awk '$1 != $2' | sort -u)
while read -r from to; do
  [ -n "$from" ] || continue
  f=$(rank "$from") t=$(rank "$to")
  if [ "$f" -lt 0 ] || [ "$t" -lt 0 ]; then
    echo "FAIL: $from -> $to: a folder that is in no layer"
    failures=$((failures + 1))
    continue
  fi
  [ "$t" -le "$f" ] && continue
  allowed=0
  for entry in "${ALLOWED_UP[@]}"; do [ "${entry%%|*}" = "$from $to" ] && allowed=1; done
  if [ $allowed -eq 0 ]; then
    echo "FAIL: $from -> $to climbs back up the layers (${LAYERS[*]}):"
    grep -rlE "^#include \"$to/" --include='*.cpp' --include='*.h' "$from" | sed 's/^/  /'
    failures=$((failures + 1))
  fi
done <<<"$edges"
[ $failures -eq 0 ] && echo "the folders of src/ depend downward but for the ${#ALLOWED_UP[@]} named"
exit $failures
