#!/usr/bin/env bash
# cpack -G DEB from the build tree into a scratch folder: the package holds the
# interpreter, the manual page (naming the package's own paths), the documentation,
# the examples and the editor files, all under /usr; its control fields give the
# project's name and version and a dependency on GMP; and the packaged interpreter
# runs a packaged example. Exits with 77 (skipped) without cpack or dpkg-deb.
set -u
build=$1
for tool in cpack dpkg-deb; do
  command -v "$tool" > /dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(cd "$(dirname "$0")" && pwd)/check.sh"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1
status=$?
check "cpack status" 0 $status
[ $status = 0 ] || { tail -n 20 "$work/cpack.log"; exit 1; }
packages=("$work"/out/*.deb)
check "packages made" 1 "${#packages[@]}"
deb=${packages[0]}

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' > "$work/files"
for file in /usr/bin/vorl /usr/share/man/man1/vorl.1 /usr/share/doc/vorl/README.md \
            /usr/share/doc/vorl/guide.md /usr/share/doc/vorl/builtins.md \
            /usr/share/doc/vorl/examples/hello.vorl /usr/share/doc/vorl/examples/expected/hello.stdout \
            /usr/share/vim/vimfiles/syntax/vorl.vim /usr/share/vim/vimfiles/ftdetect/vorl.vim \
            /usr/share/vorl/editors/vorl.tmLanguage.json; do
  grep -qx -- "$file" "$work/files" || { echo "missing from the package: $file"; failures=$((failures + 1)); }
done
check "files outside /usr" "" "$(grep -v '^/usr/' "$work/files" | grep -vx '/')"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
check "package name" "vorl" "$(dpkg-deb -f "$deb" Package)"
check "package version" "$version" "$(dpkg-deb -f "$deb" Version)"
check "depends on GMP" "libgmp" "$(dpkg-deb -f "$deb" Depends | grep -o 'libgmp' | head -1)"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || { echo "no Maintainer field"; failures=$((failures + 1)); }

dpkg-deb -x "$deb" "$work/root"
root=$work/root
check "manual page names the packaged guide" ".I /usr/share/doc/vorl/guide.md" \
      "$(grep -x '\.I /usr/share/doc/vorl/guide.md' "$root/usr/share/man/man1/vorl.1")"
check "packaged hello" "Hello, world!" "$("$root/usr/bin/vorl" "$root/usr/share/doc/vorl/examples/hello.vorl")"
echo "$failures failed"
[ "$failures" = 0 ]
