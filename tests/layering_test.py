#!/usr/bin/env python3
"""Fails on any #include "layer/header.h" in a layer's sources that names a layer
above it, printing file and line:

    layering_test.py SOURCE_DIR

The layers and their order are read from VORL_LAYERS in the top CMakeLists.txt, the
same list that makes one library per layer.
"""
import pathlib
import re
import sys

# Headers of a higher layer that any layer may include, each with why.
EXCEPTIONS = {
    'driver/diagnostic.h': 'a leaf record that every phase fills; its functions are '
                           'the library vorl_diagnostic, below the front end',
}

INCLUDE = re.compile(r'\s*#\s*include\s+"(([a-z_]+)/[^"]+)"')


def layers(source_dir):
    cmake = (source_dir / 'CMakeLists.txt').read_text()
    found = re.search(r'set\(VORL_LAYERS ([a-z_ ]+)\)', cmake)
    if not found:
        sys.exit('no set(VORL_LAYERS ...) in CMakeLists.txt')
    return found.group(1).split()


def upward_includes(source_dir, order):
    rank = {layer: i for i, layer in enumerate(order)}
    for layer in order:
        for path in sorted((source_dir / layer).glob('*.[ch]*')):
            for number, line in enumerate(path.read_text().splitlines(), 1):
                match = INCLUDE.match(line)
                if not match or match.group(2) not in rank:
                    continue
                header = match.group(1)
                if rank[match.group(2)] > rank[layer] and header not in EXCEPTIONS:
                    yield f'{layer}/{path.name}:{number}: includes {header}, a layer above {layer}'


def main():
    source_dir = pathlib.Path(sys.argv[1])
    order = layers(source_dir)
    missing = [layer for layer in order if not (source_dir / layer).is_dir()]
    if missing:
        sys.exit(f'no folder for the layers {missing}')
    failures = list(upward_includes(source_dir, order))
    for failure in failures:
        print(failure)
    print(f'{len(failures)} upward includes in {len(order)} layers')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
