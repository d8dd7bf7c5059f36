#!/usr/bin/env python3
"""Checks the editor files against one table of cases (highlights.txt over
sample.vorl), with Vim itself or with a small TextMate tokenizer:

    highlight_test.py vim SOURCE_DIR
    highlight_test.py textmate SOURCE_DIR

vim: the syntax file loads without an error, *.vorl files and #! scripts get the
file type, and every case has its Vim group. textmate: the grammar is valid JSON
with its scope and file types, and every case has its scope. Both then check that
editors/generate.py escapes names that hold pattern characters, so that such a name
is matched as it is written. Exits with 77 (skipped) when vim is not installed.
"""
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77
# Names made of the characters a pattern treats specially, with one plain name.
ODD_NAMES = ['abs', '\\slash', 'bar|name', 'dollar$', 'dot.name', 'quo"te', 'star*', 'tilde~', 'x[y]']


def read_cases(folder):
    """(line, first column, last column + 1, Vim group, TextMate scope) for every
    marked part of every case; columns count characters from 0."""
    sample = (folder / 'sample.vorl').read_text(encoding='utf-8').split('\n')
    cases = []
    for row in (folder / 'highlights.txt').read_text(encoding='utf-8').split('\n'):
        if not row.strip() or row.startswith('#'):
            continue
        number, piece, group, scope = row.split(' | ')
        line = int(number)
        plain = piece.replace('«', '').replace('»', '')
        at = sample[line - 1].find(plain)
        if at < 0:
            sys.exit(f'highlights.txt: {plain!r} is not in line {line} of sample.vorl')
        for part in re.finditer('«([^»]*)»', piece):
            begin = at + len(piece[:part.start()].replace('«', '').replace('»', ''))
            cases.append((line, begin, begin + len(part.group(1)), group, scope))
    return sample, cases


def compare(sample, cases, found, editor):
    """found[line - 1][column] is what `editor` ('vim' or 'textmate') gives each
    character: its group or its scope."""
    failures = 0
    for line, begin, end, group, scope in cases:
        expected = group if editor == 'vim' else scope
        for column in range(begin, end):
            got = found[line - 1][column] if column < len(found[line - 1]) else '(none)'
            if got != expected:
                print(f'line {line}, column {column + 1} ({sample[line - 1][column]!r}): '
                      f'{editor} gives {got!r}, expected {expected!r}')
                failures += 1
                break
    return failures


# ---- Vim ---------------------------------------------------------------------

VIM_DUMP = r'''
let s:out = []
for s:l in range(1, line('$'))
  let s:names = []
  for s:c in range(1, strchars(getline(s:l)))
    let s:byte = byteidx(getline(s:l), s:c - 1) + 1
    let s:name = synIDattr(synID(s:l, s:byte, 1), 'name')
    call add(s:names, empty(s:name) ? '-' : s:name)
  endfor
  call add(s:out, join(s:names, ' '))
endfor
call add(s:out, 'filetype:' . &filetype)
call add(s:out, 'errmsg:' . v:errmsg)
call writefile(s:out, $VORL_DUMP)
'''


def run_vim(runtime, work, edit):
    """Opens `edit` in Vim with `runtime` on the runtime path. Gives the syntax group
    of every character, by line, or None after printing what went wrong: an error
    message (Vim in silent Ex mode also exits with 1 then) or a file type other than
    vorl."""
    dump = work / 'dump.txt'
    script = work / 'dump.vim'
    script.write_text(VIM_DUMP, encoding='utf-8')
    dump.unlink(missing_ok=True)
    command = [shutil.which('vim'), '-es', '-u', 'NONE', '-i', 'NONE', '-N', '-c', f'set rtp+={runtime}', '-c', 'syntax on',
               '-c', f'edit {edit}', '-c', f'source {script}',
               '-c', 'if &filetype !=# "vorl" | cquit | endif', '-c', 'qall!']
    # HOME is the scratch folder, so no ~/.vim of the user's joins the runtime path.
    result = subprocess.run(command, env=dict(os.environ, VORL_DUMP=str(dump), HOME=str(work)),
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
    lines = dump.read_text(encoding='utf-8').splitlines() if dump.exists() else ['filetype:?', 'errmsg:?']
    filetype = lines[-2][len('filetype:'):]
    error = lines[-1][len('errmsg:'):]
    if result.returncode != 0 or error or filetype != 'vorl':
        print(f'vim on {edit.name}: status {result.returncode}, file type {filetype!r}, last error {error!r}')
        return None
    return [line.split(' ') if line else [] for line in lines[:-2]]


def check_vim(source, folder, work):
    if shutil.which('vim') is None:
        print('vim is not installed: skipped')
        sys.exit(SKIPPED)
    sample, cases = read_cases(folder)
    runtime = source / 'editors' / 'vim'
    failures = 0
    # The same program as a *.vorl file and as a script named by its #! line only.
    for name in ['sample.vorl', 'sample']:
        shutil.copy(folder / 'sample.vorl', work / name)
        groups = run_vim(runtime, work, work / name)
        if groups is None:
            failures += 1
            continue
        failures += compare(sample, cases, groups, 'vim')
    # Names with pattern characters are matched as written.
    odd = generated_copy(source, work)
    (work / 'odd.vorl').write_text(' '.join(ODD_NAMES) + '\n', encoding='utf-8')
    groups = run_vim(odd / 'vim', work, work / 'odd.vorl')
    if groups is None:
        return failures + 1
    line = groups[0]
    column = 0
    for name in ODD_NAMES:
        groups = set(line[column:column + len(name)])
        if groups != {'vorlBuiltin'}:
            print(f'generated name {name!r} is highlighted as {sorted(groups)}')
            failures += 1
        column += len(name) + 1
    return failures


# ---- TextMate ----------------------------------------------------------------

class Tokenizer:
    """The part of a TextMate engine that the grammar uses: match rules with
    captures, begin/end rules with their captures and nested patterns, includes from
    the repository, the end pattern winning a tie, the first rule winning otherwise.
    Gives the innermost scope of every character."""

    def __init__(self, grammar):
        self.grammar = grammar
        self.compiled = {}

    def regex(self, pattern, first_line):
        # \A matches only at the start of the document, never on a later line.
        key = (pattern, first_line)
        if key not in self.compiled:
            self.compiled[key] = re.compile(pattern if first_line else pattern.replace('\\A', '(?!)'))
        return self.compiled[key]

    def rules(self, patterns):
        for rule in patterns:
            if 'include' in rule:
                yield from self.rules([self.grammar['repository'][rule['include'][1:]]])
            elif 'match' in rule or 'begin' in rule:
                yield rule
            else:
                yield from self.rules(rule['patterns'])

    @staticmethod
    def paint(scopes, match, base, name, captures):
        inner = base + ([name] if name else [])
        for column in range(match.start(), match.end()):
            scopes[column] = inner[-1]
        for group, capture in (captures or {}).items():
            if match.group(int(group)) is not None:
                for column in range(*match.span(int(group))):
                    scopes[column] = capture['name']

    def tokenize(self, lines):
        stack = [(None, self.grammar['patterns'], [self.grammar['scopeName']], None)]
        result = []
        for number, line in enumerate(lines):
            text = line + '\n'
            scopes = [None] * len(text)
            position = 0
            while position < len(text):
                end, patterns, base, region = stack[-1]
                best = None
                if end is not None:
                    found = self.regex(end, number == 0).search(text, position)
                    if found:
                        best = (found, None)
                for rule in self.rules(patterns):
                    found = self.regex(rule.get('match', rule.get('begin')), number == 0).search(text, position)
                    if found and (best is None or found.start() < best[0].start()):
                        best = (found, rule)
                if best is None:
                    break
                found, rule = best
                for column in range(position, found.start()):
                    scopes[column] = base[-1]
                if rule is None:
                    self.paint(scopes, found, base, None, region.get('endCaptures'))
                    stack.pop()
                elif 'match' in rule:
                    self.paint(scopes, found, base, rule.get('name'), rule.get('captures'))
                else:
                    self.paint(scopes, found, base, rule.get('name'), rule.get('beginCaptures'))
                    inner = base + ([rule['name']] if rule.get('name') else [])
                    stack.append((rule['end'], rule.get('patterns', []), inner, rule))
                if found.end() == position:  # a match that takes no character: move on by one
                    if scopes[position] is None:
                        scopes[position] = base[-1]
                    position += 1
                else:
                    position = found.end()
            for column in range(position, len(text)):
                if scopes[column] is None:
                    scopes[column] = stack[-1][2][-1]
            result.append(scopes[:-1])
        return result


def check_textmate(source, folder, work):
    path = source / 'editors' / 'vorl.tmLanguage.json'
    grammar = json.loads(path.read_text(encoding='utf-8'))
    failures = 0
    for key, expected in [('scopeName', 'source.vorl'), ('fileTypes', ['vorl']), ('name', 'vorl')]:
        if grammar.get(key) != expected:
            print(f'{key} is {grammar.get(key)!r}, expected {expected!r}')
            failures += 1
    sample, cases = read_cases(folder)
    scopes = Tokenizer(grammar).tokenize(sample)
    failures += compare(sample, cases, scopes, 'textmate')
    # Names with pattern characters are matched as written.
    odd = json.loads((generated_copy(source, work) / 'vorl.tmLanguage.json').read_text(encoding='utf-8'))
    pattern = re.compile(odd['repository']['builtin']['match'])
    for name in ODD_NAMES:
        found = pattern.search(f' {name} ')
        if not found or found.group(0) != name:
            print(f'generated name {name!r} is matched as {found and found.group(0)!r}')
            failures += 1
    return failures


def generated_copy(source, work):
    """A copy of editors/ whose built-in names are ODD_NAMES."""
    copy = work / 'editors'
    shutil.copytree(source / 'editors', copy, dirs_exist_ok=True)
    names = work / 'odd_names.txt'
    names.write_text('\n'.join(ODD_NAMES) + '\n', encoding='utf-8')
    subprocess.run([sys.executable, str(copy / 'generate.py'), '--editors', str(copy), str(names)],
                   check=True, stdout=subprocess.DEVNULL)
    return copy


def main():
    mode, source = sys.argv[1], pathlib.Path(sys.argv[2]).resolve()
    folder = pathlib.Path(__file__).resolve().parent
    with tempfile.TemporaryDirectory() as work:
        check = check_vim if mode == 'vim' else check_textmate
        failures = check(source, folder, pathlib.Path(work))
    print(f'{failures} failed')
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
