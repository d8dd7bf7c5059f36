import sys
from functools import reduce
sys.setrecursionlimit(1000000)
l = list(range(1, 100001))
m = list(map(lambda x: x * 3 + 1, l))
f = list(filter(lambda x: x % 2 == 0, m))
sys.exit(reduce(lambda a, b: a + b, f, 0) % 256)
