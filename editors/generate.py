#!/usr/bin/env python3
"""Writes the built-in names into the editor files.

Reads the names, one a line, from NAMES (or standard input) and rewrites the
generated part of each editor file: the lines between the BEGIN and END lines of
built-in names in vim/syntax/vorl.vim, and repository.builtin.match in
vorl.tmLanguage.json. Everything else in both files is written by hand.

The names come from the interpreter's own table; from a build folder,

    cmake --build BUILD --target editor_files

prints them with BUILD/builtin_names and runs this script on them. A unit test
(tests/unit/library/editor_grammars_test.cpp) fails when the files list other names
than the table.
"""
import argparse
import json
import pathlib
import sys

VIM_BEGIN = '" BEGIN built-in names (editors/generate.py)'
VIM_END = '" END built-in names'
# A built-in name is a whole run of lower-case letters and underscores: no such
# letter may stand just before or after it. Vim's pattern asks for the backtracking
# engine (\%#=1), which takes so many alternatives some sixty times faster than the
# default one.
VIM_PREFIX = 'syn match vorlBuiltin "\\%#=1\\V\\[a-z_]\\@1<!\\%('
VIM_SUFFIX = '\\)\\[a-z_]\\@!"'
TEXTMATE_PREFIX = '(?<![a-z_])(?:'
TEXTMATE_SUFFIX = ')(?![a-z_])'
LINE_WIDTH = 100


def vim_literal(name):
    """A name as a literal in a very-nomagic (\\V) Vim pattern between double quotes:
    only the backslash and the quote need a backslash there."""
    return ''.join('\\' + c if c in '\\"' else c for c in name)


def textmate_literal(name):
    """A name as a literal in an Oniguruma pattern: every ASCII character that is not
    a letter, a digit or an underscore gets a backslash."""
    return ''.join('\\' + c if c.isascii() and not (c.isalnum() or c == '_') else c for c in name)


def vim_block(names):
    """The generated lines: one pattern over all names, wrapped with Vim's line
    continuation (a line beginning with a backslash goes on the line before)."""
    lines = [VIM_PREFIX]
    for i, name in enumerate(names):
        piece = ('\\|' if i else '') + vim_literal(name)
        if len(lines[-1]) + len(piece) > LINE_WIDTH:
            lines.append('      \\')
        lines[-1] += piece
    lines[-1] += VIM_SUFFIX
    return [VIM_BEGIN] + lines + [VIM_END]


def rewrite_vim(path, names):
    lines = path.read_text(encoding='utf-8').split('\n')
    if lines.count(VIM_BEGIN) != 1 or lines.count(VIM_END) != 1:
        sys.exit(f'{path}: needs exactly one line {VIM_BEGIN!r} and one {VIM_END!r}')
    begin, end = lines.index(VIM_BEGIN), lines.index(VIM_END)
    if end < begin:
        sys.exit(f'{path}: the END line comes before the BEGIN line')
    lines[begin:end + 1] = vim_block(names)
    path.write_text('\n'.join(lines), encoding='utf-8')


def rewrite_textmate(path, names):
    grammar = json.loads(path.read_text(encoding='utf-8'))
    builtin = grammar.get('repository', {}).get('builtin')
    if builtin is None:
        sys.exit(f'{path}: no repository.builtin rule')
    builtin['match'] = TEXTMATE_PREFIX + '|'.join(textmate_literal(n) for n in names) + TEXTMATE_SUFFIX
    path.write_text(json.dumps(grammar, indent=2, ensure_ascii=False) + '\n', encoding='utf-8')


def read_names(stream):
    """The names, in bytewise order; an empty list, an empty line in the middle, a
    repeated name or a control character stops the script."""
    names = stream.read().split('\n')
    if names and names[-1] == '':
        names.pop()
    if not names:
        sys.exit('no built-in names given')
    for name in names:
        if not name or any(ord(c) < 32 or ord(c) == 127 for c in name):
            sys.exit(f'not a built-in name: {name!r}')
    if len(set(names)) != len(names):
        sys.exit('a built-in name is given twice')
    return sorted(names, key=lambda n: n.encode('utf-8'))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('names', nargs='?', help='file of names, one a line (default: standard input)')
    parser.add_argument('--editors', default=pathlib.Path(__file__).resolve().parent, type=pathlib.Path,
                        help='the folder holding the editor files (default: this script\'s folder)')
    args = parser.parse_args()
    if args.names:
        with open(args.names, encoding='utf-8') as stream:
            names = read_names(stream)
    else:
        names = read_names(sys.stdin)
    rewrite_vim(args.editors / 'vim' / 'syntax' / 'vorl.vim', names)
    rewrite_textmate(args.editors / 'vorl.tmLanguage.json', names)
    print(f'{len(names)} built-in names written')


if __name__ == '__main__':
    main()
