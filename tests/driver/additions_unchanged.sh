#!/usr/bin/env bash
# Help for a person is an addition: every program test gives the same status and
# standard output with it as without, and the same standard error once the added
# lines are taken out.
#   hints:   hints off and on; the lines beginning "hint: " are the addition, and
#            with hints off there are none.
#   profile: --profile; the table from its line "profile: " to the end is the
#            addition (a run that ends before the machine starts has none).
set -u
vorl=$1
programs=$(cd "$2" && pwd)
addition=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

run() {  # run <hints> <program> <base> <into> [vorl's options]
  local args=() settings=() options=() input=/dev/null
  [ -f "$3.args" ] && mapfile -t args < "$3.args"
  [ -f "$3.options" ] && mapfile -t options < "$3.options"
  [ -f "$3.env" ] && mapfile -t settings < <(grep -v '^VORL_HINTS=' "$3.env")
  [ -f "$3.stdin" ] && input=$3.stdin
  mkdir -p "$work/$4"
  (cd "$work/$4" && env "${settings[@]}" VORL_HINTS="$1" "$vorl" "${@:5}" "${options[@]}" "$2" "${args[@]}" \
    < "$input" > "$work/$4.out" 2> "$work/$4.err")
  echo $? > "$work/$4.status"
}

while IFS= read -r program; do
  base=${program%.vorl}
  case "$program" in */sockets/*) continue ;; esac
  # The million-element programs are left out of the profile's run: minutes each under the
  # sanitizers, and what the profile records grows with calls, not with data.
  case "$addition:$program" in profile:*/million*) continue ;; esac
  run 0 "$program" "$base" off
  if [ "$addition" = hints ]; then
    run 1 "$program" "$base" on
    grep -v '^hint: ' "$work/on.err" > "$work/on.bare"
    stray=$(grep -c '^hint: ' "$work/off.err")
  else
    run 0 "$program" "$base" on --profile
    sed '/^profile: /,$d' "$work/on.err" > "$work/on.bare"
    stray=0
  fi
  # A report that names an address that changes from run to run is compared by the
  # beginning that its test fixes.
  if [ -f "$base.stderr_prefix" ]; then
    size=$(wc -c < "$base.stderr_prefix")
    for f in off.err on.bare; do head -c "$size" "$work/$f" > "$work/$f.head" && mv "$work/$f.head" "$work/$f"; done
  fi
  if ! cmp -s "$work/off.status" "$work/on.status" || ! cmp -s "$work/off.out" "$work/on.out" ||
     ! cmp -s "$work/off.err" "$work/on.bare" || [ "$stray" != 0 ]; then
    echo "differs with $addition: $program"
    failures=$((failures + 1))
  fi
  rm -rf "$work/off" "$work/on"
done < <(find "$programs" -name '*.vorl' | sort)
echo "$failures failed"
[ "$failures" = 0 ]
