import sys
def count(f):
    lines = words = longest = width = inword = 0
    while True:
        c = f.read(1)
        if not c:
            return lines, words, longest
        if c == b"\n":
            longest = max(width, longest)
            lines, width, inword = lines + 1, 0, 0
            continue
        space = c.isspace()
        if not space and not inword:
            words += 1
        width += 1
        inword = 0 if space else 1
with open(sys.argv[1], "rb") as f:
    print("%d %d %d" % count(f))
