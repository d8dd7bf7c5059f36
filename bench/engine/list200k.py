import sys
sys.setrecursionlimit(1000000)
def upto(n, l):
    while n >= 1:
        l = (n, l)
        n -= 1
    return l
def total(n, l):
    s = 0
    while n >= 1:
        s += l[0]
        l = l[1]
        n -= 1
    return s
sys.exit(total(200000, upto(200000, 0)) % 256)
