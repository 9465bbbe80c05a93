#!/usr/bin/env bash
# The arena's figures depend on its seed alone: the same run on one thread and on two prints the
# same table (match k is seeded from the run's seed and k, and no simulation shares anything with
# another), and another seed another one.
# Usage: arena_test.sh ARENA
set -u
arena=$1
table() { "$arena" --matches 400 --player random --opponent standard --seed "$1" --jobs "$2" | sed -n '2,5p'; }
one=$(table 5 1) two=$(table 5 2) other=$(table 6 2)
echo "$one"
[ -n "$one" ] || { echo "FAIL: the arena printed no table"; exit 1; }
[ "$one" = "$two" ] || { printf 'FAIL: two threads gave another table:\n%s\n' "$two"; exit 1; }
[ "$one" != "$other" ] || { echo "FAIL: another seed gave the same table"; exit 1; }
"$arena" --matches 10 --player nobody >/dev/null 2>&1 && { echo "FAIL: an unknown policy was taken"; exit 1; }
exit 0
