#!/usr/bin/env bash
# Relay through the launcher's socket proxy (quorin-socket-proxy) against websockify doing the
# same job and against a direct TCP echo (the floor), the same client for all three, in one
# run: client, relay and echo server are three processes.
# Usage: bench/run-socket-proxy-bench.sh [BUILD_DIR] [GAME_SERVER_HOST]
#        (defaults: build/bench, server1.play.quorin42.net; websockify from the Debian package)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build/bench}
host=${2:-server1.play.quorin42.net}
bench="$build_dir/bench/quorin_bench_socket_proxy"
proxy="$build_dir/tools/quorin-socket-proxy"
if [[ ! -x /usr/bin/websockify ]]; then
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends websockify
fi
for program in "$bench" "$proxy" /usr/bin/websockify; do
  [[ -x "$program" ]] || { echo "no $program; build quorin_bench_socket_proxy and quorin-socket-proxy" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
# websockify forks a process per client: each relay runs in a process group of its own.
cleanup() { for pid in "${pids[@]}"; do kill -- "-$pid" 2> /dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT
first_line() { for _ in $(seq 100); do [[ -s $1 ]] && { head -1 "$1"; return; }; sleep 0.05; done; echo "no output in $1" >&2; exit 1; }

setsid "$bench" echo > "$work/echo" & pids+=($!)
echo_port=$(first_line "$work/echo")
setsid "$proxy" "$host" --connect-to "127.0.0.1:$echo_port" > "$work/proxy" & pids+=($!)
proxy_url=$(first_line "$work/proxy")
websockify_port=$("$bench" port)
setsid /usr/bin/python3 /usr/bin/websockify "127.0.0.1:$websockify_port" "127.0.0.1:$echo_port" > /dev/null 2>&1 & pids+=($!)
for _ in $(seq 100); do (exec 3<> "/dev/tcp/127.0.0.1/$websockify_port") 2> /dev/null && break; sleep 0.1; done

printf '%-12s %10s %10s %10s\n' target "MB/s" "p50 us" "p99 us"
"$bench" tcp-echo "tcp:$echo_port"
"$bench" quorin "$proxy_url"
"$bench" websockify "ws://127.0.0.1:$websockify_port/"
