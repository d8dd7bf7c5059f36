#!/usr/bin/env bash
# Large inputs, exhausted memory, long runs, closed pipes and the flushing of output
# at every way a run can end. Usage: resources_test.sh path/to/vorl
set -u
vorl=$1
source "$(cd "$(dirname "$0")" && pwd)/../check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
sanitized=0
ldd "$vorl" 2>/dev/null | grep -q libasan && sanitized=1

# A program file of 10 MB: a main expression and a hundred thousand definitions.
python3 - <<'PY'
parts = ["x\\(fn 41)"]
size = 0
i = 0
while size < 10 * 1024 * 1024:
    i += 1
    name = "fn" + "".join(chr(97 + int(d)) for d in str(i))
    parts.append("%s\\a\\(a+%d)*1" % (name, i % 7))
    size += len(parts[-1]) + 2
parts.append("fn\\a\\a+1")
open("large.vorl", "w").write(",\n".join(parts))
PY
timeout 300 "$vorl" large.vorl
check "10 MB program" 42 $?

# Memory runs out: the run ends with the Space report and status 128.
printf 'x\\grow 0 0,\ngrow\\n\\l\\grow(n+1)(V n l)\n' > grow.vorl
if [ $sanitized = 0 ]; then
  (ulimit -v 600000; timeout 120 "$vorl" grow.vorl > out 2> err)
  check "out of memory status" 128 $?
  check "out of memory report" "Out of memory." "$(sed -n 3p err)"
fi

# A million-element list as the result: the Range report, its name cut to 56 bytes.
printf 'x\\upto 1000000 0,\nupto\\n\\l\\(n<1)(l)(upto(n-1)(V n l))\n' > list.vorl
timeout 300 "$vorl" list.vorl > out 2> err
check "list result status" 128 $?
name=$(sed -n 3p err)
check "list result name" "56 ..." "$(( ${#name} - 7 )) ${name: -3}"

# Ten million machine steps in a loop keep a flat peak memory.
printf 'x\\loop 1000000,\nloop\\n\\(n<1)(0)(loop(n-1))\n' > loop.vorl
/usr/bin/time -f "%M" -o peak timeout 300 "$vorl" loop.vorl
check "long loop status" 0 $?
if [ $sanitized = 0 ]; then
  peak=$(tail -n 1 peak)
  [ "$peak" -lt 65536 ] || check "long loop peak below 64 MB" "below 65536 KB" "$peak KB"
fi

# So does a loop that applies a million numerals as functions (7 K is 7's kind, K).
printf 'x\\loop 1000000 0,\nloop\\n\\a\\(n<1)(a)(loop(n-1)(a+(7 K 1 0)))\n' > unfold.vorl
/usr/bin/time -f "%M" -o peak timeout 300 "$vorl" unfold.vorl
check "numeral loop status" 64 $?
if [ $sanitized = 0 ]; then
  peak=$(tail -n 1 peak)
  [ "$peak" -lt 16384 ] || check "numeral loop peak below 16 MB" "below 16384 KB" "$peak KB"
fi

# Writing into a closed pipe fails with -1 instead of killing the process; the
# program runs to its end, and output that could not be written fails the run
# (without a report: the reader went away).
printf 'x\\say 20000,\nsay\\n\\(n<1)(5)(u{puts(init([a line of output]))}say(n-1))\n' > pipe.vorl
timeout 120 "$vorl" pipe.vorl 2> err | head -c 1 > /dev/null
check "closed pipe status" 128 "${PIPESTATUS[0]}"
check "closed pipe no report" "" "$(cat err)"

# Output that cannot be written: a report and 128, whether the program ends with
# a result, by exit or with another report.
printf 'x\\u{puts(init([a line]))}3\n' > line.vorl
"$vorl" line.vorl > /dev/full 2> err
check "full device status" 128 $?
check "full device report" "Could not write standard output: No space left on device." "$(sed -n 3p err)"
"$vorl" line.vorl >&- 2> err
check "closed output status" 128 $?
check "closed output report" "Could not write standard output: Bad file descriptor." "$(sed -n 3p err)"
printf 'x\\u{puts(init([a line]))}exit 3\n' > exit3.vorl
"$vorl" exit3.vorl > /dev/full 2> err
check "full device after exit" "128 Write" "$? $(sed -n 2p err | cut -c8-)"
"$vorl" error.vorl > /dev/full 2> err
check "full device after a report" "128 1" "$? $(grep -c '^ Type: Write$' err)"

# Stop signals flush the output, to a file or a pipe, and give 128 + the signal.
printf 'x\\u{puts(init([before the loop]))}loop 0,\nloop\\n\\loop(n+1)\n' > spin.vorl
for signal in INT:130 TERM:143 HUP:129; do
  timeout --preserve-status -s "${signal%:*}" 1 "$vorl" spin.vorl > out
  check "SIG${signal%:*} to a file" "${signal#*:} before the loop" "$? $(cat out)"
  timeout --preserve-status -s "${signal%:*}" 1 "$vorl" spin.vorl | cat > out
  check "SIG${signal%:*} to a pipe" "${signal#*:} before the loop" "${PIPESTATUS[0]} $(cat out)"
done
# ... also while the program waits for input.
printf 'x\\u{puts(init([waiting]))}getchar 0\n' > wait.vorl
sleep 5 | timeout --preserve-status -s INT 1 "$vorl" wait.vorl > out
check "SIGINT while reading" "130 waiting" "$? $(cat out)"

# A runaway recursion stops at the memory budget with the Space report.
printf 'main,\nmain\\args\\deep 0,\ndeep\\n\\1 + deep(n+1)\n' > runaway.vorl
budget=256M
[ $sanitized = 1 ] && budget=32M  # a sanitizer's build is many times slower
VORL_MAX_MEMORY=$budget /usr/bin/time -f "%M" -o peak timeout 60 "$vorl" runaway.vorl > out 2> err
check "memory budget status" 128 $?
check "memory budget report" "Out of memory." "$(sed -n 3p err)"
if [ $sanitized = 0 ]; then
  peak=$(tail -n 1 peak)
  [ "$peak" -lt 327680 ] || check "memory budget peak below 320 MB" "below 327680 KB" "$peak KB"
fi
VORL_MAX_MEMORY=lots "$vorl" runaway.vorl 2> /dev/null
check "memory budget not a size" 1 $?

# Under a small address space the deep stack is smaller, and so is the nesting
# that a program may use: deeper nesting is a Match report, never a crash.
if [ $sanitized = 0 ]; then
  python3 -c "n = 200000; open('nest.vorl', 'w').write('x\\\\' + '(' * n + '1' + ')' * n)"
  (ulimit -v 3000000; "$vorl" nest.vorl)
  check "nesting under ulimit -v 3000000" 1 $?
  (ulimit -v 400000; "$vorl" nest.vorl 2> err)
  check "nesting beyond a small stack" "128 Nesting deeper than" "$? $(sed -n 3p err | grep -o "Nesting deeper than")"
fi

# What was written reaches a file whichever way the run ends.
printf 'x\\u{puts(init([before exit]))}exit 7\n' > exit.vorl
"$vorl" exit.vorl > out
check "exit status" 7 $?
check "output before exit" "before exit" "$(cat out)"
printf 'x\\u{puts(init([before error]))}V 1\n' > error.vorl
"$vorl" error.vorl > out 2> /dev/null
check "error status" 128 $?
check "output before error" "before error" "$(cat out)"
printf 'x\\u{puts(init([before result]))}3\n' > result.vorl
"$vorl" result.vorl > out
check "result status" 3 $?
check "output before result" "before result" "$(cat out)"

echo "$failures failed"
[ "$failures" = 0 ]
