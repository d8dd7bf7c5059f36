#!/usr/bin/env python3
"""Times each workload as a whole process, ours beside python3 running the same
algorithm, and prints the time ratio, both peak memories and our machine steps per
second. Usage: python3 bench/engine/run.py [path/to/vorl]"""
import os
import resource
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
WORKLOADS = ["fib25", "list200k", "factorial3000", "empty"]


def measure(command, env=None):
    """Best wall time of three runs, and the peak resident size of one run in KB."""
    best = float("inf")
    peak = 0
    for _ in range(3):
        pid = os.fork()
        if pid == 0:
            os.execvpe(command[0], command, env or os.environ)
        start = time.perf_counter()
        _, _, usage = os.wait4(pid, 0)
        best = min(best, time.perf_counter() - start)
        peak = usage.ru_maxrss
    return best, peak


def steps(vorl, program):
    env = dict(os.environ, VORL_STEPS="1")
    run = subprocess.run([vorl, program], env=env, capture_output=True, text=True)
    for line in run.stderr.splitlines():
        if line.startswith("steps: "):
            return int(line[7:])
    return 0


def main():
    vorl = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/vorl")
    print("%-14s %9s %9s %7s %9s %9s %12s" % ("workload", "vorl_s", "python_s", "ratio", "vorl_KB", "py_KB", "steps/s"))
    for name in WORKLOADS:
        program = os.path.join(HERE, name + ".vorl")
        ours, our_kb = measure([vorl, program])
        theirs, their_kb = measure([sys.executable, os.path.join(HERE, name + ".py")])
        count = steps(vorl, program)
        print("%-14s %9.4f %9.4f %7.2f %9d %9d %12.3g" % (name, ours, theirs, ours / theirs, our_kb, their_kb,
                                                           count / ours if ours > 0 else 0))


if __name__ == "__main__":
    main()
