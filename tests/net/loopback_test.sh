#!/usr/bin/env bash
# Network round trips on the loopback address 127.0.0.1 only, each bounded in time:
# echo_server.vorl against a python3 client, and echo_client.vorl against a python3
# one-shot server.
set -u
vorl=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(cd "$(dirname "$0")" && pwd)/../check.sh"

# A port that was free a moment ago on 127.0.0.1.
free_port() {
  timeout 5 python3 -c 'import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])'
}

# 1. The program serves one echo; the client retries until the program listens.
port=$(free_port)
timeout 20 "$vorl" "$here/echo_server.vorl" "$port" > "$work/server.out" 2> "$work/server.err" &
server=$!
timeout 15 python3 - "$port" > "$work/client.out" 2> "$work/client.err" <<'PY'
import socket, sys, time
port = int(sys.argv[1])
deadline = time.time() + 10
while True:
    try:
        s = socket.create_connection(("127.0.0.1", port), timeout=5)
        break
    except OSError:
        if time.time() > deadline:
            raise
        time.sleep(0.05)
s.sendall(b"hello over loopback\n")
reply = b""
while True:
    part = s.recv(256)
    if not part:
        break
    reply += part
sys.stdout.write(reply.decode())
PY
check "echo client status" 0 $?
wait "$server"
check "echo server status" 0 $?
check "echoed line" "hello over loopback" "$(cat "$work/client.out")"
check "peer address seen by the server" "127.0.0.1" "$(cat "$work/server.out")"
check "echo server stderr" "" "$(cat "$work/server.err" "$work/client.err")"

# 2. The program is the client of a one-shot server that answers a line in capitals.
timeout 20 python3 - > "$work/port" 2> "$work/pyserver.err" <<'PY' &
import socket, sys
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(1)
s.settimeout(15)
print(s.getsockname()[1], flush=True)
c, _ = s.accept()
c.settimeout(5)
line = c.makefile("rb").readline()
c.sendall(b"pong: " + line.upper())
c.close()
s.close()
PY
pyserver=$!
for _ in $(seq 100); do
  [ -s "$work/port" ] && break
  sleep 0.05
done
timeout 15 "$vorl" "$here/echo_client.vorl" "$(cat "$work/port")" > "$work/client.out" 2> "$work/client.err"
check "program client status" 0 $?
wait "$pyserver"
check "one-shot server status" 0 $?
check "reply to the program" "pong: PING FROM THE CLIENT" "$(cat "$work/client.out")"
check "program client stderr" "" "$(cat "$work/client.err" "$work/pyserver.err")"

echo "$failures failed"
[ "$failures" = 0 ]
