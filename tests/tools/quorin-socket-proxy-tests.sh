#!/usr/bin/env bash
# Checks the output contract of quorin-socket-proxy that scripts rely on: the code and exit
# status of a refusal, the usage status, the URL line, and the counters after SIGTERM.
# Usage: quorin-socket-proxy-tests.sh TOOL GAME_SERVER_DOMAIN
set -uo pipefail

tool=$1
host="server1.$2"
failures=0

expect() { # STATUS OUTPUT ARGUMENTS...
  local status=$1 output=$2
  shift 2
  actual=$("$tool" "$@" 2> /dev/null)
  got=$?
  [[ $got == "$status" && $actual == "$output" ]] || { echo "FAIL: $* gave $got '$actual'"; failures=$((failures + 1)); }
}

expect 1 GAME_SOCKET_CONFIGURATION_INVALID "server01.$2"
expect 1 GAME_SOCKET_CONFIGURATION_INVALID localhost --connect-to 127.0.0.1:1
expect 64 "" "$host" --connect-to localhost:1
expect 64 "" "$host" --connect-to 127.0.0.1:65536
expect 64 "" "$host" 127.0.0.1:1

out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$tool" "$host" --connect-to 127.0.0.1:9 > "$out" &
pid=$!
for _ in $(seq 100); do [[ -s $out ]] && break; sleep 0.05; done
kill -TERM "$pid"
wait "$pid"
status=$?
lines=$(cat "$out")
pattern=$'^ws://127\\.0\\.0\\.1:[0-9]+/[0-9a-f-]{72}\nbytesToServer 0\nbytesFromServer 0$'
[[ $status == 0 && $lines =~ $pattern ]] || { echo "FAIL: run gave $status '$lines'"; failures=$((failures + 1)); }

[[ $failures == 0 ]] && echo "all cases passed"
exit $((failures > 0))
