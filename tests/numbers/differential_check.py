"""Runs the differential program and checks each of its lines with python3's integers."""
import subprocess
import sys

sys.set_int_max_str_digits(0)


def value(numeral):
    return -int(numeral[1:]) if len(numeral) > 1 and numeral[0] == "0" else int(numeral)


def text(n):
    return "0" + str(-n) if n < 0 else str(n)


def truth(b):
    return "K" if b else "H"


def expected(op, x, y):
    if op == "plus": return text(x + y)
    if op == "dash": return text(x - y)
    if op == "mult": return text(x * y)
    if op == "over": return "Z" if y == 0 else text(x // y)
    if op == "cent": return "Z" if y == 0 else text(abs(x % y))
    if op == "powa": return text(x ** y) if y >= 0 else "0"
    if op == "less": return truth(x < y)
    if op == "gteq": return truth(x >= y)
    if op == "same": return truth(x == y)
    raise ValueError(op)


def main():
    out = subprocess.run(sys.argv[1:], check=True, capture_output=True, text=True).stdout
    failures = 0
    lines = out.splitlines()
    for line in lines:
        op, x, y, got = line.split(" ")
        want = expected(op, value(x), value(y))
        if got != want:
            failures += 1
            if failures <= 5:
                print(f"{op} {x[:60]} {y[:60]}: got {got[:60]}, want {want[:60]}")
    print(f"{len(lines)} lines, {failures} failures")
    return 1 if failures or len(lines) < 1000 else 0


if __name__ == "__main__":
    sys.exit(main())
