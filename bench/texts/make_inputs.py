#!/usr/bin/env python3
"""Writes the inputs of the text benchmarks into a folder, from a fixed seed:
prose.txt, about 1 MB of lines of words (for the word count and the line
reversal), and words.txt, 3,000 words drawn from a vocabulary of 400 with a
skewed frequency (for the word frequencies). Usage: make_inputs.py FOLDER"""
import os
import random
import sys


def vocabulary(rng, size):
    letters = "abcdefghijklmnopqrstuvwxyz"
    return ["".join(rng.choice(letters) for _ in range(rng.randint(2, 9))) for _ in range(size)]


def prose(rng, words, target):
    lines, size = [], 0
    while size < target:
        line = " ".join(rng.choice(words) for _ in range(rng.randint(1, 14)))
        lines.append(line)
        size += len(line) + 1
    return "\n".join(lines) + "\n"


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(17)
    words = vocabulary(rng, 400)
    with open(os.path.join(folder, "prose.txt"), "w") as f:
        f.write(prose(rng, words, 1 << 20))
    weights = [1.0 / (i + 1) for i in range(len(words))]
    drawn = rng.choices(words, weights, k=3000)
    with open(os.path.join(folder, "words.txt"), "w") as f:
        for i in range(0, len(drawn), 10):
            f.write(" ".join(drawn[i:i + 10]) + "\n")


if __name__ == "__main__":
    main()
