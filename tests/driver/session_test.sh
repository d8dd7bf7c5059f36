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
# Looking inside an input: its profile, the trace of a definition turned on and off,
# and a step limit that stops a runaway input and leaves the session going.
cat > "$work/input" <<'INPUT'
fib\n\(n<2)(n)(fib(n-1)+fib(n-2))
:profile fib 10
:trace fib
fib 1
:trace
:trace fib
fib 1
loop\n\loop(n+1)
loop 0
fib 2
INPUT
VORL_HINTS=0 "$vorl" -i --max-steps=100000 < "$work/input" > "$work/out" 2> "$work/err"
check "observing session status" 0 $?
check "observed values" "$(printf '55\n1\n1\n1')" "$(cat "$work/out")"
check "profile of an input" "177" "$(awk '$NF == "fib" { print $4 }' "$work/err")"
check "trace on, listed, off" "$(printf '(tracing `fib`)\n[1] fib 1\n[1] = 1\ntraced: fib\n(no longer tracing `fib`)')" \
  "$(grep -E '^(\(|\[|traced)' "$work/err")"
check "step limit report" " Type: Steps" "$(grep Type "$work/err")"

"$vorl" < /dev/null > /dev/null 2>&1
check "usage without a terminal" 1 $?

echo "$failures failed"
[ "$failures" = 0 ]
