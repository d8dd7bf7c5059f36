#!/usr/bin/env bash
# The driver's own reports: the usage error and a program file that cannot be read.
set -u
vorl=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(cd "$(dirname "$0")" && pwd)/../check.sh"

"$vorl" > "$work/out" 2> "$work/err"
check "usage status" 1 $?
check "usage stdout" "" "$(cat "$work/out")"
check "usage stderr" "$(printf 'Error.\n Type: Usage\nUsage: vorl file arg0 arg1 arg2 ...\n\\/')" "$(cat "$work/err")"

"$vorl" "$work/missing[1].vorl" a b > "$work/out" 2> "$work/err"
check "start status" 128 $?
check "start stdout" "Error." "$(cat "$work/out")"
check "start stderr" "$(printf ' Type: Start\n Name: "%s/missing[5B]1[5D].vorl"\nCould not read program file.\n\\/' "$work")" "$(cat "$work/err")"

"$vorl" "$(printf 'x\177y')" > "$work/out" 2> "$work/err"
check "escaped path" ' Name: "x[7F]y"' "$(sed -n 2p "$work/err")"

"$vorl" "$work" > "$work/out" 2> "$work/err"
check "folder as program file status" 128 $?

# With hints, the same reports are followed by what went wrong with the path; the
# report's "Error." stays on standard output.
VORL_HINTS=1 "$vorl" "$work/missing.vorl" > "$work/out" 2> "$work/err"
check "start hint stdout" "Error." "$(cat "$work/out")"
check "start hint" "hint: \`$work/missing.vorl\`: No such file or directory" "$(sed -n 5p "$work/err")"
VORL_HINTS=1 "$vorl" "$work" > "$work/out" 2> "$work/err"
check "folder hint" "hint: \`$work\` is a folder, not a program file" "$(sed -n 5p "$work/err")"
VORL_HINTS=0 "$vorl" "$work" > "$work/out" 2> "$work/err"
check "no hint when off" "4" "$(wc -l < "$work/err" | tr -d ' ')"

# Options come before the program; every word after it is the program's.
"$vorl" --help > "$work/out" 2> "$work/err"
check "help status" 0 $?
check "help first line" "Usage: vorl [options] file [arg ...]" "$(head -1 "$work/out")"
"$vorl" --version > "$work/out"
check "version" "vorl " "$(head -c 5 "$work/out")"
"$vorl" -e 'x\getx(getz(x))' abc
check "-e with an argument word" 97 $?
printf 'x\\7' | "$vorl" - a
check "program from standard input" 7 $?
"$vorl" --bogus p.vorl > "$work/out" 2> "$work/err"
check "unknown option status" 1 $?
check "unknown option" "vorl: unknown option --bogus (vorl --help lists the options)" "$(cat "$work/err")"
printf 'x\\5' > "$work/--help"
"$vorl" -- "$work/--help" --version
check "-- ends the options" 5 $?
printf 'x\\getx(getz(x))' > "$work/args.vorl"
"$vorl" "$work/args.vorl" --no-hints
check "option words after the file are the program's" 45 $?
"$vorl" --max-memory=lots "$work/args.vorl" 2> "$work/err"
check "bad memory size status" 1 $?

# A program that writes on into a pipe whose reader has gone ends, silently, with 128.
timeout 20 "$vorl" -e 'x\loop 0,loop\n\d{puts(init([]+n))}loop(n+1)' 2> "$work/err" | head -1 > /dev/null
check "closed pipe ends the run" 128 "${PIPESTATUS[0]}"
check "closed pipe, no report" "" "$(cat "$work/err")"
timeout 20 "$vorl" -e 'x\b{init([x]*1000000)}w{fwrite(b, 1, rank(b), stdout)}0' 2> "$work/err" | head -c 1 > /dev/null
check "closed pipe after one large write" 128 "${PIPESTATUS[0]}"
check "closed pipe after one large write, no report" "" "$(cat "$work/err")"

# A script made executable runs through its interpreter line, with its argument words.
printf '#!/usr/bin/env vorl\nx\\getx(getz(x+8))\n' > "$work/script.vorl"
chmod +x "$work/script.vorl"
bin=$(cd "$(dirname "$vorl")" && pwd)
(cd "$work" && PATH="$bin:$PATH" ./script.vorl first A) > "$work/out" 2> "$work/err"
check "script status" 65 $?
check "script stderr" "" "$(cat "$work/err")"

echo "$failures failed"
[ "$failures" = 0 ]
