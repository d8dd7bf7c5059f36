#!/usr/bin/env python3
"""Times each workload as a whole process, ours beside python3 running the same
algorithm, and prints the time ratio, both peak memories and our machine steps per
second. The inputs of the workloads that read files are made first, from a fixed
seed, by texts/make_inputs.py.

Usage: python3 bench/run.py [path/to/vorl] [workload ...]"""
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))

# name: (folder, argument words, file for standard input); "{in}" is the input folder.
WORKLOADS = {
    "fib25": ("engine", [], None),
    "list200k": ("engine", [], None),
    "factorial3000": ("engine", [], None),
    "empty": ("engine", [], None),
    "mergesort": ("engine", [], None),
    "higher_order": ("engine", [], None),
    "appends": ("texts", ["100000"], None),
    "appends_1m": ("texts", ["1000000"], None),
    "wordcount": ("texts", ["{in}/prose.txt"], None),
    "reverse_lines": ("texts", ["{in}/prose.txt"], None),
    "word_frequencies": ("texts", [], "{in}/words.txt"),
    "compare": ("texts", ["20000"], None),
}
# A workload that runs another's programs with other arguments.
SAME_PROGRAM = {"appends_1m": "appends"}


def measure(command, stdin_path):
    """Best wall time of three runs, and the peak resident size of one run in KB."""
    best = float("inf")
    peak = 0
    for _ in range(3):
        pid = os.fork()
        if pid == 0:
            if stdin_path:
                fd = os.open(stdin_path, os.O_RDONLY)
                os.dup2(fd, 0)
            null = os.open(os.devnull, os.O_WRONLY)
            os.dup2(null, 1)
            os.execvp(command[0], command)
        start = time.perf_counter()
        _, _, usage = os.wait4(pid, 0)
        best = min(best, time.perf_counter() - start)
        peak = usage.ru_maxrss
    return best, peak


def steps(command, stdin_path):
    env = dict(os.environ, VORL_STEPS="1")
    stdin = open(stdin_path, "rb") if stdin_path else subprocess.DEVNULL
    run = subprocess.run(command, env=env, stdin=stdin, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                         text=True)
    for line in run.stderr.splitlines():
        if line.startswith("steps: "):
            return int(line[7:])
    return 0


def main():
    vorl = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/vorl")
    chosen = sys.argv[2:] or list(WORKLOADS)
    inputs = tempfile.mkdtemp(prefix="vorl-bench-")
    subprocess.run([sys.executable, os.path.join(HERE, "texts", "make_inputs.py"), inputs], check=True)
    print("%-17s %9s %9s %7s %9s %9s %12s" % ("workload", "vorl_s", "python_s", "ratio", "vorl_KB", "py_KB",
                                              "steps/s"))
    for name in chosen:
        folder, words, stdin = WORKLOADS[name]
        base = os.path.join(HERE, folder, SAME_PROGRAM.get(name, name))
        words = [w.replace("{in}", inputs) for w in words]
        stdin = stdin.replace("{in}", inputs) if stdin else None
        ours, our_kb = measure([vorl, base + ".vorl"] + words, stdin)
        theirs, their_kb = measure([sys.executable, base + ".py"] + words, stdin)
        count = steps([vorl, base + ".vorl"] + words, stdin)
        print("%-17s %9.4f %9.4f %7.2f %9d %9d %12.3g" % (name, ours, theirs, ours / theirs, our_kb, their_kb,
                                                           count / ours if ours > 0 else 0), flush=True)


if __name__ == "__main__":
    main()
