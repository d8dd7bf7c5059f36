#!/usr/bin/env bash
# Hints are an addition: every program test run with hints off and on gives the
# same status and standard output, and the same standard error once the lines
# beginning "hint: " are taken out; with hints off there are none.
set -u
vorl=$1
programs=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

run() {  # run <hints> <program> <base> <into>
  local args=() settings=() options=() input=/dev/null
  [ -f "$3.args" ] && mapfile -t args < "$3.args"
  [ -f "$3.options" ] && mapfile -t options < "$3.options"
  [ -f "$3.env" ] && mapfile -t settings < <(grep -v '^VORL_HINTS=' "$3.env")
  [ -f "$3.stdin" ] && input=$3.stdin
  mkdir -p "$work/$4"
  (cd "$work/$4" && env "${settings[@]}" VORL_HINTS="$1" "$vorl" "${options[@]}" "$2" "${args[@]}" < "$input" > "$work/$4.out" \
    2> "$work/$4.err")
  echo $? > "$work/$4.status"
}

while IFS= read -r program; do
  base=${program%.vorl}
  case "$program" in */sockets/*) continue ;; esac
  run 0 "$program" "$base" off
  run 1 "$program" "$base" on
  grep -v '^hint: ' "$work/on.err" > "$work/on.bare"
  # A report that names an address that changes from run to run is compared by the
  # beginning that its test fixes.
  if [ -f "$base.stderr_prefix" ]; then
    size=$(wc -c < "$base.stderr_prefix")
    for f in off.err on.bare; do head -c "$size" "$work/$f" > "$work/$f.head" && mv "$work/$f.head" "$work/$f"; done
  fi
  if ! cmp -s "$work/off.status" "$work/on.status" || ! cmp -s "$work/off.out" "$work/on.out" ||
     ! cmp -s "$work/off.err" "$work/on.bare" || grep -q '^hint: ' "$work/off.err"; then
    echo "differs with hints on: $program"
    failures=$((failures + 1))
  fi
  rm -rf "$work/off" "$work/on"
done < <(find "$programs" -name '*.vorl' | sort)
echo "$failures failed"
[ "$failures" = 0 ]
