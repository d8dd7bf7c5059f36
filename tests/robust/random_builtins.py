#!/usr/bin/env python3
"""Programs that call random built-ins with integers, addresses and values of the
wrong kind: none may end by a signal, an assertion or an internal fault. Usage:
random_builtins.py path/to/vorl path/to/builtins.md [count] [seed]

Rows that would reach other hosts, change files outside the run's own folder, or
end the process on purpose are left out."""
import os
import random
import re
import subprocess
import sys
import tempfile

LEFT_OUT = {
    # the network: no traffic may leave this machine
    "accept", "bind", "connect", "listen", "recv", "recvfrom", "send", "sendto", "setsockopt",
    "shutdown", "socket", "closesocket", "getaddrinfo", "getnameinfo",
    # the host's files and processes, and ending on purpose
    "system", "remove", "rename", "abort", "raise", "exit", "assert",
}

ARGUMENTS = [
    "0", "1", "42", "4096", "01", "0255", "2147483648", "4294967393", "99999999999999999999999",
    "[abc]", "[]", "init([abc])", "init([])", "cape([5a])", "cape([Kx])", "cape([7z])", "real(2)",
    "(J K (J I K))", "(J K (J K [a]))", "(V 1 2)", "K", "H", "Z", "malloc(16)", "stdout",
    "stderr", "(x\\x)", "00", "(init([r]))",
]


def rows(reference):
    found = []
    for line in open(reference):
        m = re.match(r"^\| `([a-z_]+)` \| ([0-9]+) \|", line)
        if m and m.group(1) not in LEFT_OUT:
            found.append((m.group(1), int(m.group(2))))
    return found


def call(rng, name, arity):
    if arity == 0:
        return name
    return "%s(%s)" % (name, ",".join(rng.choice(ARGUMENTS) for _ in range(arity)))


def program(rng, table):
    calls = [call(rng, *rng.choice(table)) for _ in range(rng.randint(1, 4))]
    return "x\\" + "".join("u%d{%s}" % (i, c) for i, c in enumerate(calls)).replace("u0", "u").replace(
        "u1", "v").replace("u2", "w").replace("u3", "y") + "0\n"


def main():
    vorl, reference = os.path.abspath(sys.argv[1]), sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 300
    rng = random.Random(int(sys.argv[4]) if len(sys.argv) > 4 else 16)
    table = rows(reference)
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        for i in range(count):
            text = program(rng, table)
            path = os.path.join(folder, "p.vorl")
            with open(path, "w") as f:
                f.write(text)
            try:
                done = subprocess.run([vorl, path], cwd=folder, stdin=subprocess.DEVNULL,
                                      capture_output=True, timeout=20)
            except subprocess.TimeoutExpired:
                continue  # a call that waits is not a crash
            err = done.stderr.decode("latin-1")
            if done.returncode < 0 or "ASSERTION FAILED" in err or "INTERNAL FAULT" in err:
                failures += 1
                print("program %d ended by %d:\n%s%s" % (i, done.returncode, text, err[-400:]))
    print("random built-ins: %d passed, %d failed" % (count - failures, failures))
    sys.exit(1 if failures else 0)


main()
