#!/usr/bin/env bash
# The interactive session driven by plain lines (standard input not a terminal):
# definitions accumulate and can be replaced, values are shown readably, an input
# goes on while a bracket is open, and reports and faults leave the session going.
set -u
vorl=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(cd "$(dirname "$0")" && pwd)/../check.sh"

printf 'sum\\l\\(leaf l)(0)((l K) + (sum (l H)))\n' > "$work/lib.vorl"
cat > "$work/input" <<'INPUT'
sq\y\y*y
sq 7
0-5
[abc]+[def]
real(1)/real(3)
V 1 2
x\x+1
sq (
  3 + 1)
tripel 3
puts(42)
sq\y\y*y*y
sq 2
:type [ab]
:load LIB
sum (V 1 (V 2 []))
:bogus
:quit
sq 5
INPUT
sed -i "s|LIB|$work/lib.vorl|" "$work/input"
VORL_HINTS=0 "$vorl" -i < "$work/input" > "$work/out" 2> "$work/err"
check "session status" 0 $?
check "values" "$(printf '49\n-5\nabcdef\n0.33333333333333331\n(V 1 2)\n(\\ a (+ a 1))\n16\n8\ntext\n3')" \
  "$(cat "$work/out")"
check "reports go on" "$(printf 'Alive\nFault')" "$(sed -n 's/^ Type: //p' "$work/err")"
check "redefinition note" "(\`sq\` redefined)" "$(grep redefined "$work/err")"
check "unknown command" "vorl: unknown command :bogus (:help lists them)" "$(grep unknown "$work/err")"

# A definition that does not compile does not join the session.
printf 'tw\\n\\n*y\ntw 2\n' | VORL_HINTS=0 "$vorl" -i > "$work/out" 2> "$work/err"
check "failed definition" "$(printf 'Local\nAlive')" "$(sed -n 's/^ Type: //p' "$work/err")"

# Without -i and with standard input not a terminal, vorl alone is the usage error.
"$vorl" < /dev/null > /dev/null 2>&1
check "usage without a terminal" 1 $?

echo "$failures failed"
[ "$failures" = 0 ]
