#!/usr/bin/env bash
# The profile of a run: its counts, its folded stacks, and that it is written however
# the run ends (a report, exhausted memory, a stop signal) without changing the run's
# output or status.
set -u
vorl=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(cd "$(dirname "$0")" && pwd)/../check.sh"

printf 'x\\(fib 25) %% 256,\nfib\\n\\(n<2)(n)(fib(n-1)+fib(n-2))\n' > "$work/fib.vorl"
"$vorl" "$work/fib.vorl" > "$work/plain.out" 2> "$work/plain.err"
plain=$?
"$vorl" --profile --profile-folded="$work/fib.folded" "$work/fib.vorl" > "$work/out" 2> "$work/err"
check "status unchanged" "$plain" $?
check "output unchanged" "$(cat "$work/plain.out")" "$(cat "$work/out")"
check "calls of fib" "242,785" "$(awk '$NF == "fib" { print $4 }' "$work/err")"
total=$(sed -n 's/^profile: \([0-9,]*\) steps.*/\1/p' "$work/err" | tr -d ,)
check "folded weights sum to the steps" "$total" "$(awk '{ s += $NF } END { print s }' "$work/fib.folded")"
check "folded stacks" "main;fib" "$(awk '$NF > 1000 { print $1 }' "$work/fib.folded")"
check "built-ins beneath" "242,785  less" "$(grep -m1 ' less$' "$work/err" | sed 's/^ *//')"
# Prelude combinators are one line unless every name is asked for (below).
check "combinators grouped" "" "$(grep -E '^ +[0-9,]+  K$' "$work/err")"

# The rest runs a smaller Fibonacci: every run is slow in the sanitizers' build.
printf 'x\\(fib 15) %% 256,\nfib\\n\\(n<2)(n)(fib(n-1)+fib(n-2))\n' > "$work/fib.vorl"
"$vorl" --profile=all "$work/fib.vorl" 2> "$work/err"
total=$(sed -n 's/^profile: \([0-9,]*\) steps.*/\1/p' "$work/err" | tr -d ,)
check "steps as VORL_STEPS counts them" "steps: $total" "$(VORL_STEPS=1 "$vorl" "$work/fib.vorl" 2>&1 | head -1)"
check "combinators listed" "1" "$(grep -cE '^ +[0-9,]+  K$' "$work/err")"

# A run that ends with a report still gets its profile, after the report.
"$vorl" --profile -e 'x\V 1 2' > "$work/out" 2> "$work/err"
check "range status" 128 $?
check "report first" " Type: Range" "$(sed -n 2p "$work/err")"
check "then the profile" "1" "$(grep -c '^profile: ' "$work/err")"
printf 'x\\deep x,\ndeep\\n\\1 + (deep (n+1))\n' > "$work/deep.vorl"
"$vorl" --max-memory=16M --profile "$work/deep.vorl" > "$work/out" 2> "$work/err"
check "memory status" 128 $?
check "memory report" " Type: Space" "$(sed -n 2p "$work/err")"
check "profile after exhausted memory" "deep" "$(awk '/self steps/ { getline; print $NF }' "$work/err")"
"$vorl" --max-steps=500 --profile "$work/fib.vorl" > "$work/out" 2> "$work/err"
check "step limit status" 128 $?
check "steps of a stopped run" "profile: 500 steps" "$(grep -o '^profile: [0-9]* steps' "$work/err")"

# A stop signal: from the machine's own thread while it runs, and from the watcher
# while the program waits for input. Each program says when it has started.
waitReady() {
  for _ in $(seq 200); do grep -q ready "$work/ready" 2> /dev/null && return; sleep 0.05; done
}
printf 'x\\a{puts([ready])}b{fflush(stdout)}loop 0,\nloop\\n\\loop(n+1)\n' > "$work/loop.vorl"
"$vorl" --profile "$work/loop.vorl" > "$work/ready" 2> "$work/err" &
waitReady
kill -INT $!
wait $!
check "interrupted status" 130 $?
check "interrupted profile" "loop" "$(awk '/self steps/ { getline; print $NF }' "$work/err")"
printf 'x\\a{puts([ready])}b{fflush(stdout)}getchar,\n' > "$work/wait.vorl"
rm -f "$work/ready"
mkfifo "$work/input"
exec 3<> "$work/input"  # held open, never written: the program waits
"$vorl" --profile "$work/wait.vorl" < "$work/input" > "$work/ready" 2> "$work/err" &
waitReady
kill -TERM $!
wait $!
check "terminated while reading" 143 $?
exec 3>&-
check "profile while reading" "1" "$(grep -c '^profile: ' "$work/err")"

# A folded file that cannot be written is said; the run's status stays its own.
"$vorl" --profile-folded="$work/no/such/folder/f" "$work/fib.vorl" > /dev/null 2> "$work/err"
check "unwritable folded status" 98 $?
check "unwritable folded" "vorl: could not write the folded stacks to $work/no/such/folder/f: No such file or directory" \
  "$(cat "$work/err")"

for bad in --max-steps=0 --max-steps=12x --max-steps=; do
  "$vorl" "$bad" "$work/fib.vorl" 2> "$work/err"
  check "$bad status" 1 $?
  check "$bad message" "vorl: --max-steps=N needs a count of steps above 0, in decimal digits" "$(cat "$work/err")"
done
"$vorl" --trace fob "$work/fib.vorl" 2> "$work/err"
check "a traced name the program lacks" "vorl: --trace fob: the program defines no fob (did you mean \`fib\`?)" \
  "$(cat "$work/err")"
"$vorl" --trace 2> "$work/err"
check "--trace without a name" "vorl: --trace needs the name of a definition" "$(cat "$work/err")"

exit $((failures > 0))
