import sys
sys.setrecursionlimit(1000000)
def numbers(n):
    seed, l = 12345, None
    for _ in range(n):
        seed = (seed * 1103515245 + 12345) % 2147483648
        l = (seed, l)
    return l
def split(l):
    a = b = None
    while l is not None:
        a, b = b, (l[0], a)
        l = l[1]
    return a, b
def merge(a, b):
    out = []
    while a is not None and b is not None:
        if a[0] < b[0]:
            out.append(a[0]); a = a[1]
        else:
            out.append(b[0]); b = b[1]
    rest = a if a is not None else b
    for x in reversed(out):
        rest = (x, rest)
    return rest
def sort(l):
    if l is None or l[1] is None:
        return l
    a, b = split(l)
    return merge(sort(a), sort(b))
l = sort(numbers(100000))
total = 0
for _ in range(10):
    total += l[0]; l = l[1]
sys.exit(total % 256)
