#!/usr/bin/env bash
# The output contract of quorin-socket-proxy that scripts rely on: a refusal's code and exit
# status, the usage status, the URL line and the counters after SIGTERM.
# Usage: quorin-socket-proxy-tests.sh TOOL GAME_SERVER_DOMAIN
set -uo pipefail
tool=$1
host="server1.$2"
failures=0
check() { [[ $1 == "$2" ]] || { echo "FAIL: got '$1', expected '$2'"; failures=$((failures + 1)); }; }

check "$("$tool" "server01.$2"; echo "exit $?")" $'GAME_SOCKET_CONFIGURATION_INVALID\nexit 1'
check "$("$tool" localhost --connect-to 127.0.0.1:1; echo "exit $?")" $'GAME_SOCKET_CONFIGURATION_INVALID\nexit 1'
for usage in "--connect-to localhost:1" "--connect-to 127.0.0.1:65536" "127.0.0.1:1"; do
  check "$("$tool" "$host" $usage 2> /dev/null; echo "exit $?")" "exit 64"
done

out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$tool" "$host" --connect-to 127.0.0.1:9 > "$out" &
for _ in $(seq 100); do [[ -s $out ]] && break; sleep 0.05; done
kill -TERM $!
wait $!
status=$?
check "$(sed -E '1s#^ws://127\.0\.0\.1:[0-9]+/[0-9a-f-]{72}$#URL#' "$out"; echo "exit $status")" $'URL\nbytesToServer 0\nbytesFromServer 0\nexit 0'
exit $((failures > 0))
