import sys
def build(n):
    s = ""
    for _ in range(n):
        s += "a"
    return len(s)
sys.exit(build(int(sys.argv[1])) % 256)
