#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks the conventional places: the
# interpreter in bin, the manual page in share/man/man1, the guide, the built-in
# reference and the examples in share/doc/vorl, the Vim files in share/vim/vimfiles
# and the TextMate grammar in share/vorl/editors; that the manual page names them
# under this prefix; then runs an installed example with the installed interpreter,
# as a script through its #! line.
set -u
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
source "$(cd "$(dirname "$0")" && pwd)/check.sh"

cmake --install "$build" --prefix "$prefix" > "$prefix/install.log" 2>&1
check "install status" 0 $?
for file in bin/vorl share/man/man1/vorl.1 share/doc/vorl/guide.md share/doc/vorl/builtins.md \
            share/doc/vorl/README.md share/doc/vorl/examples/hello.vorl \
            share/doc/vorl/examples/expected/hello.stdout share/vim/vimfiles/syntax/vorl.vim \
            share/vim/vimfiles/ftdetect/vorl.vim share/vorl/editors/vorl.tmLanguage.json; do
  [ -f "$prefix/$file" ] || { echo "missing: $file"; failures=$((failures + 1)); }
done

# The manual page names its six installed files (documentation, editor files) under
# this prefix, each of them there, and no placeholder or other prefix.
page=$prefix/share/man/man1/vorl.1
for path in $(grep -o "^\.I $prefix/[^ ]*" "$page" | cut -c4-); do
  [ -e "$path" ] || { echo "manual page names a missing file: $path"; failures=$((failures + 1)); }
done
check "manual page paths under the prefix" "6" "$(grep -c "^\.I $prefix/" "$page")"
check "manual page placeholders or other prefixes" "" "$(grep -E '@|/usr/(local/)?share' "$page")"

docs=$prefix/share/doc/vorl
check "installed hello" "Hello, world!" "$("$prefix/bin/vorl" "$docs/examples/hello.vorl")"
check "installed factorial" "$(cat "$docs/examples/expected/factorial.stdout")" \
      "$("$prefix/bin/vorl" "$docs/examples/factorial.vorl")"
cp "$docs/examples/reverse.vorl" "$prefix/reverse"
chmod +x "$prefix/reverse"
check "installed script" "olleh" "$(PATH="$prefix/bin:$PATH" "$prefix/reverse" hello)"
if command -v man > /dev/null; then
  check "manual page" "VORL(1)" "$(MANWIDTH=80 man -l "$prefix/share/man/man1/vorl.1" 2>/dev/null | head -1 | cut -d' ' -f1)"
fi
echo "$failures failed"
[ "$failures" = 0 ]
