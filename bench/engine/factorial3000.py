import sys
sys.setrecursionlimit(100000)
def fact(n): return 1 if n < 2 else n * fact(n - 1)
sys.exit(fact(3000) % 251)
