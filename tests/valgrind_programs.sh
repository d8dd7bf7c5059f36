#!/usr/bin/env bash
# Runs program tests under valgrind's memcheck: any invalid read or write, use of an
# uninitialised value or definitely lost block fails the run. ("Possibly lost" is
# not counted: a program that calls `exit` leaves the interpreter thread's own
# storage behind, which the C library frees only with the thread.) Slow, so by
# default it takes the groups whose programs are small; name other program files to
# check them instead.
# Usage: tests/valgrind_programs.sh path/to/vorl [program.vorl ...]
set -u
vorl=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
programs=()
for program in "$@"; do programs+=("$(realpath "$program")"); done
if [ ${#programs[@]} = 0 ]; then
  mapfile -t programs < <(find "$here/programs/front" "$here/programs/compile" "$here/programs/eval" \
    "$here/programs/library" "$here/programs/host" -name '*.vorl' -size -4k | sort)
fi
wrapper=$(mktemp)
trap 'rm -f "$wrapper"' EXIT
printf '#!/usr/bin/env bash\nexec valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect --track-origins=yes %q "$@"\n' \
  "$vorl" > "$wrapper"
chmod +x "$wrapper"
passed=0
failed=0
for program in "${programs[@]}"; do
  case "$program" in *deep_recursion*|*million*|*abort*|*assert*) continue ;; esac
  if bash "$here/run_program.sh" "$wrapper" "$program" > /tmp/vorl_valgrind_out 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED under memcheck: $program"
    head -n 40 /tmp/vorl_valgrind_out
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
