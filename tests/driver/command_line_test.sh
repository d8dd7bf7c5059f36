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

# A script made executable runs through its interpreter line, with its argument words.
printf '#!/usr/bin/env vorl\nx\\getx(getz(x+8))\n' > "$work/script.vorl"
chmod +x "$work/script.vorl"
bin=$(cd "$(dirname "$vorl")" && pwd)
(cd "$work" && PATH="$bin:$PATH" ./script.vorl first A) > "$work/out" 2> "$work/err"
check "script status" 65 $?
check "script stderr" "" "$(cat "$work/err")"

echo "$failures failed"
[ "$failures" = 0 ]
