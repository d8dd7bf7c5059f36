import sys
def bump(word, table):
    for entry in table:
        if entry[0] == word:
            entry[1] += 1
            return
    table.append([word, 1])
def scan(stream):
    table, word = [], b""
    while True:
        c = stream.read(1)
        if not c:
            break
        if c.isspace():
            if word:
                bump(word, table)
            word = b""
        else:
            word += c
    if word:
        bump(word, table)
    return table
table = scan(sys.stdin.buffer)
best, n = b"", 0
for w, c in table:
    if c > n:
        best, n = w, c
print("%d %s %d" % (len(table), best.decode(), n))
