import sys
def loop(n, a, b, c):
    k = 0
    for _ in range(n):
        k += (1 if b < c else 0) + (1 if b == c else 0) + (1 if a < b else 0)
    return k
a = "abcd[fgh" * 2000
sys.exit(loop(int(sys.argv[1]), a, a + "x", a + "y") % 256)
