#!/usr/bin/env bash
# Examples as scripts: every example whose first line begins with #! is executable,
# and one runs through that line (#!/usr/bin/env vorl, with vorl's folder on PATH),
# giving the output its program test expects.
set -u
vorl=$1
examples=$2
source "$(cd "$(dirname "$0")" && pwd)/../check.sh"

for example in "$examples"/*.vorl; do
  [ "$(head -c 2 "$example")" = "#!" ] || continue
  [ -x "$example" ] || check "$(basename "$example") is executable" yes no
done

bin=$(cd "$(dirname "$vorl")" && pwd)
expected=$examples/expected
mapfile -t words < "$expected/sort.args"
output=$(cd "$expected" && PATH="$bin:$PATH" ../sort.vorl "${words[@]}")
check "sort.vorl as a script, status" 0 $?
check "sort.vorl as a script, output" "$(cat "$expected/sort.stdout")" "$output"

echo "$failures failed"
[ "$failures" = 0 ]
