"""The python3 side of the numbers benchmark: reads the operand file that
numbers_bench wrote and prints "name seconds" for each computation, decimal text of
the results included. Each computation takes the best of five runs, as on the
other side."""
import sys
import time

sys.set_int_max_str_digits(0)


def timed(name, work):
    best = float("inf")
    for _ in range(5):
        start = time.perf_counter()
        work()
        best = min(best, time.perf_counter() - start)
    print(f"{name} {best:.6f}")


def main():
    with open(sys.argv[1]) as f:
        a, b, c, d = (int(line) for line in f.read().split())
    timed("product", lambda: str(a * b))
    timed("power", lambda: str(3 ** 200000))
    timed("quotient", lambda: str(c // d))
    timed("remainder", lambda: str(c % d))

    def small():
        x, y = 123456789, 987654
        for _ in range(1_000_000):
            s = x + y
            t = x < y
        return s, t

    timed("small", small)


main()
