#!/usr/bin/env bash
# Formats the C++ sources of the tree with the .clang-format at its root.
#
#   tools/format.sh          rewrite every misformatted file in place (same as --fix)
#   tools/format.sh --fix
#   tools/format.sh --check  change nothing; list the misformatted files and exit 1 if there are any
#
# The files are the tracked *.cpp and *.h files (git ls-files) of the source folders; the tree
# holds no generated or third-party C++ sources. CLANG_FORMAT names the program to run
# (default clang-format); the .clang-format is written for version 14.
set -euo pipefail

mode=fix
case "${1:-}" in
  "" | --fix) mode=fix ;;
  --check) mode=check ;;
  -h | --help)
    sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
    ;;
  *)
    echo "format.sh: unknown option $1 (--fix or --check)" >&2
    exit 2
    ;;
esac

clang_format="${CLANG_FORMAT:-clang-format}"
if ! command -v "$clang_format" > /dev/null; then
  echo "format.sh: $clang_format not found (apt-get install clang-format)" >&2
  exit 2
fi

cd "$(git -C "$(dirname "$0")" rev-parse --show-toplevel)"

folders=(cells numbers library front terms compile eval driver tests bench editors)
pathspecs=()
for d in "${folders[@]}"; do pathspecs+=("$d/*.cpp" "$d/*.h"); done
mapfile -d '' files < <(git ls-files -z -- "${pathspecs[@]}")
if [ "${#files[@]}" -eq 0 ]; then
  echo "format.sh: no C++ files found" >&2
  exit 2
fi

if [ "$mode" = fix ]; then
  printf '%s\0' "${files[@]}" | xargs -0 "$clang_format" -i --style=file
  echo "format.sh: formatted ${#files[@]} files"
  exit 0
fi

# --check: one run over every file; clang-format reports each misformatted place as
# FILE:LINE:COLUMN: error: code should be clang-formatted.
report=$(printf '%s\0' "${files[@]}" | xargs -0 "$clang_format" --dry-run -Werror --style=file 2>&1) && status=0 ||
  status=$?
if [ "$status" -eq 0 ] && [ -z "$report" ]; then
  echo "format.sh: ${#files[@]} files formatted as .clang-format says"
  exit 0
fi
bad=$(printf '%s\n' "$report" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' |
  sort | uniq -c | awk '{printf "  %s (%d place%s)\n", $2, $1, $1 == 1 ? "" : "s"}')
if [ -n "$bad" ]; then
  echo "format.sh: misformatted files (tools/format.sh --fix rewrites them):"
  printf '%s\n' "$bad"
else
  printf '%s\n' "$report" >&2
fi
exit 1
