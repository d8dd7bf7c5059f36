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

# Writing into a closed pipe fails with -1 instead of killing the process.
printf 'x\\say 20000,\nsay\\n\\(n<1)(5)(u{puts(init([a line of output]))}say(n-1))\n' > pipe.vorl
timeout 120 "$vorl" pipe.vorl | head -c 1 > /dev/null
check "closed pipe status" 5 "${PIPESTATUS[0]}"

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
