#!/usr/bin/env python3
"""Random programs of the language's own kinds (numbers, texts, byte strings,
pairs, lambdas, strict bindings, tests, bounded recursion, combinators, printing),
each run on the fast machine and on the reference machine: the exit status,
standard output and standard error must be the same bytes. Usage:
machines_agree.py path/to/vorl [count] [seed]"""
import os
import random
import subprocess
import sys
import tempfile

COMBINATORS = list("ABCDEFHIJKLNQRTUVXZ")
LANGUAGE = ["leaf", "rght", "left", "zits", "rank", "type", "lisp", "buck", "wave"]
DATA = ["[ab]", "[]", "[x[p]y]", "init([cd])", "real(2)", "cape([5a])", "(J K (J I K))"]
OPERATORS = list("+-*<>=#%")
WRAPPERS = ["say", "zits", "leaf", "rght", "lisp", "left", "cmpr(1)"]


class Generator:
    def __init__(self, seed):
        self.rng = random.Random(seed)

    def atom(self, names):
        r = self.rng.random()
        if names and r < 0.45:
            return self.rng.choice(names)
        if r < 0.6:
            n = self.rng.randint(-3, 20)
            return "0%d" % -n if n < 0 else str(n)
        if r < 0.7:
            return self.rng.choice(DATA)
        if r < 0.85:
            return self.rng.choice(COMBINATORS)
        return self.rng.choice(LANGUAGE)

    def expr(self, names, depth):
        if depth <= 0:
            return self.atom(names)
        sub = lambda extra=(): self.expr(names + list(extra), depth - 1)
        r = self.rng.random()
        if r < 0.2:
            return "(%s %s %s)" % (sub(), self.rng.choice(OPERATORS), sub())
        if r < 0.35:
            return "(%s)(%s)(%s)" % (sub(), sub(), sub())
        if r < 0.45:
            v = self.rng.choice("pqrst")
            return "(%s\\%s)(%s)" % (v, sub([v]), sub())
        if r < 0.55:
            v = self.rng.choice("pqrst")
            return "%s{%s}%s" % (v, sub(), sub([v]))
        if r < 0.65:
            return "V (%s) (%s)" % (sub(), sub())
        if r < 0.75:
            return "f%d(%s,%s)" % (self.rng.randint(0, 2), sub(), sub())
        if r < 0.85:
            return "(%s)(%s)" % (sub(), sub())
        wrapper = self.rng.choice(WRAPPERS + (["raws(a)"] if "a" in names else []))
        return "%s(%s)" % (wrapper, sub())

    def program(self):
        definitions = []
        for i in range(3):
            body = self.expr(["a", "n"], self.rng.randint(1, 4))
            if self.rng.random() < 0.5:  # recursion, bounded by the counter n
                body = "(n<1)(%s)(f%d(n-1,%s))" % (body, self.rng.randint(0, 2), self.expr(["a", "n"], 2))
            definitions.append("f%d\\n\\a\\%s" % (i, body))
        main = "x\\o{say(%s)}0" % self.expr([], 4)
        helpers = ["say\\v\\o{puts(init(lisp v))}v"]
        return ",\n".join([main] + definitions + helpers) + "\n"


def run(vorl, path, machine):
    env = dict(os.environ, VORL_MACHINE=machine, VORL_MAX_MEMORY="512M")
    try:
        done = subprocess.run([vorl, path], capture_output=True, timeout=10, env=env, stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return None  # a program that runs on and on: not compared
    return done.returncode, done.stdout, done.stderr


def main():
    vorl = os.path.abspath(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    generator = Generator(int(sys.argv[3]) if len(sys.argv) > 3 else 18)
    differences = 0
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "p.vorl")
        for _ in range(count):
            text = generator.program()
            with open(path, "w") as f:
                f.write(text)
            reference = run(vorl, path, "reference")
            if reference is None:
                continue
            fast = run(vorl, path, "fast")
            if fast != reference:
                differences += 1
                print("the machines differ on:\n%s\nreference: %r\nfast: %r\n" % (text, reference, fast))
    print("machines agree: %d programs, %d differences" % (count, differences))
    sys.exit(1 if differences else 0)


main()
