# Shared by the test scripts (sourced): `check NAME EXPECTED ACTUAL` reports and
# counts a mismatch in $failures.
failures=0
check() {
  if [ "$2" != "$3" ]; then
    echo "$1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}
