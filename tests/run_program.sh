#!/usr/bin/env bash
# Runs one program test: vorl on the program with its argument words and standard
# input, in a fresh temporary folder, and compares the exit status, standard output
# and standard error with the sidecar files beside the program (standard error by its
# beginning only when a .stderr_prefix sidecar is given).
# Optional: $3 the sidecars' path without extension, when they are not beside the
# program; $4 a folder to run in instead (the examples read files kept there).
set -u
vorl=$1
program=$2
base=${3:-${program%.vorl}}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# An optional <name>.options holds vorl's own options, one per line, put before the program.
options=()
if [ -f "$base.options" ]; then
  mapfile -t options < "$base.options"
fi
args=()
if [ -f "$base.args" ]; then
  mapfile -t args < "$base.args"
fi
input=/dev/null
[ -f "$base.stdin" ] && input=$base.stdin
# An optional <name>.env holds NAME=value lines set for the run (VORL_HINTS=1, say).
settings=()
if [ -f "$base.env" ]; then
  mapfile -t settings < "$base.env"
fi

(cd "${4:-$work}" && env "${settings[@]}" "$vorl" "${options[@]}" "$program" "${args[@]}" < "$input" > "$work/.stdout" 2> "$work/.stderr")
status=$?

expected_status=0
[ -f "$base.status" ] && expected_status=$(tr -d ' \n' < "$base.status")
failed=0
if [ "$status" != "$expected_status" ]; then
  echo "exit status: expected $expected_status, got $status"
  failed=1
fi
# An optional <name>.stderr_prefix holds bytes that standard error must begin with,
# for reports whose tail (a source line) may change; it replaces the exact match.
if [ -f "$base.stderr_prefix" ]; then
  size=$(wc -c < "$base.stderr_prefix")
  head -c "$size" "$work/.stderr" > "$work/.stderr_head"
  if ! cmp -s "$base.stderr_prefix" "$work/.stderr_head"; then
    echo "stderr does not begin with $base.stderr_prefix:"
    od -c "$work/.stderr" | head -20
    failed=1
  fi
fi
for stream in stdout stderr; do
  [ "$stream" = stderr ] && [ -f "$base.stderr_prefix" ] && continue
  expected=/dev/null
  [ -f "$base.$stream" ] && expected=$base.$stream
  if ! cmp -s "$expected" "$work/.$stream"; then
    echo "$stream differs (expected, then actual):"
    od -c "$expected" | head -20
    echo "--"
    od -c "$work/.$stream" | head -20
    failed=1
  fi
done
exit $failed
