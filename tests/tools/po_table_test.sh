#!/usr/bin/env bash
# The catalogue tool (tools/po_table.cpp): a catalogue it cannot turn into a sound table is refused
# with the line and the reason, and the table it writes holds the GBK bytes of each msgid in escapes
# that stay whole whatever character follows them.
# Usage: po_table_test.sh PO_TABLE
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

header='msgid ""
msgstr "Content-Type: text/plain; charset=UTF-8\n"
'

# name | catalogue after the header | what the error says ("" for none)
while IFS='|' read -r name body error; do
  printf '%s\n%b\n' "$header" "$body" >"$work/$name.po"
  "$tool" "$work/$name.po" "$work/$name.cpp" 2>"$work/$name.err"
  status=$?
  if [ -z "$error" ]; then
    [ $status -eq 0 ] || fail "$name: refused: $(cat "$work/$name.err")"
  elif [ $status -eq 0 ]; then
    fail "$name: accepted"
  else
    grep -q "$name.po:[0-9]*: .*$error" "$work/$name.err" || fail "$name: says $(cat "$work/$name.err")"
  fi
done <<'CASES'
well_formed|msgid "伤害"\nmsgstr "Damage"\n\n#, fuzzy\nmsgid "回合"\nmsgstr "Turn"\n\nmsgid "手牌"\nmsgstr ""|
english_not_ascii|msgid "伤害"\nmsgstr "Dégâts"|plain ASCII
character_gbk_lacks|msgid "🎮"\nmsgstr "Game"|GBK lacks
given_twice|msgid "伤害"\nmsgstr "Damage"\n\nmsgid "伤害"\nmsgstr "Harm"|given twice
plural_forms|msgid "牌"\nmsgid_plural "牌"\nmsgstr[0] "card"|only msgid and msgstr
unquoted|msgid 伤害\nmsgstr "Damage"|double quotes
stray_string|"伤害"\nmsgid "伤害"\nmsgstr "Damage"|continues no msgid
msgstr_alone|msgstr "Damage"|without its msgid
unknown_escape|msgid "伤害"\nmsgstr "Dam\\qage"|unknown escape
CASES

# The well-formed catalogue: only the translated, not fuzzy entry, its key in escapes.
grep -q '{"\\xc9\\xcb\\xba\\xa6", "Damage"}' "$work/well_formed.cpp" || fail "the key of 伤害 is not its GBK bytes"
grep -q 'Turn' "$work/well_formed.cpp" && fail "a fuzzy entry is in the table"
grep -q 'ENGLISH_TABLE_SIZE = 1;' "$work/well_formed.cpp" || fail "the table does not hold exactly one entry"

# A hex digit after an escape would lengthen it: the literal is split there.
printf '%s\nmsgid "伤9a"\nmsgstr "x"\n' "$header" >"$work/digits.po"
"$tool" "$work/digits.po" "$work/digits.cpp" || fail "digits: refused"
grep -q '"\\xc9\\xcb" "9a"' "$work/digits.cpp" || fail "digits: $(grep xc9 "$work/digits.cpp")"

[ $failures -eq 0 ] && echo "all checks passed"
exit $((failures > 0))
