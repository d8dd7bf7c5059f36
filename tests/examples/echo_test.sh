#!/usr/bin/env bash
# The echo server and client examples on loopback: the server is started on a free
# port, the client sends three words once the server says it listens, and both
# outputs and exit statuses are checked. Every step is bounded in time.
set -u
vorl=$1
examples=$2
work=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
timeout 20 "$vorl" "$examples/echo_server.vorl" "$port" > "$work/server.out" 2> "$work/server.err" &
server_pid=$!

for _ in $(seq 100); do
  grep -q listening "$work/server.out" 2>/dev/null && break
  sleep 0.1
done

timeout 10 "$vorl" "$examples/echo_client.vorl" "$port" hello loopback world > "$work/client.out" 2> "$work/client.err"
client_status=$?
wait "$server_pid"
server_status=$?
server_pid=

source "$(cd "$(dirname "$0")" && pwd)/../check.sh"
check "client status" 0 "$client_status"
check "client output" "$(printf 'hello\nloopback\nworld')" "$(cat "$work/client.out")"
check "client errors" "" "$(cat "$work/client.err")"
check "server status" 0 "$server_status"
check "server output" "$(printf 'listening on 127.0.0.1 port %s\nechoed 21 bytes' "$port")" "$(cat "$work/server.out")"
check "server errors" "" "$(cat "$work/server.err")"
echo "$failures failed"
[ "$failures" = 0 ]
