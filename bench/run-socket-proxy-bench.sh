#!/usr/bin/env bash
# Relay through the launcher's socket proxy (quorin-socket-proxy) against websockify doing the
# same job and against a direct TCP echo (the floor), with a plain TCP relay that only copies
# bytes for reference (what any extra hop costs here), the same client for all, taking turns
# in each round of one run: client, relay and echo server are three processes.
# Usage: bench/run-socket-proxy-bench.sh [BUILD_DIR] [GAME_SERVER_HOST] [ROUNDS]
#        (defaults: build/bench, server1.play.quorin42.net, 10; websockify from the Debian package)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build/bench}
host=${2:-server1.play.quorin42.net}
rounds=${3:-10}
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
setsid "$bench" relay "$echo_port" > "$work/relay" & pids+=($!)
relay_port=$(first_line "$work/relay")
websockify_port=$("$bench" port)
setsid /usr/bin/python3 /usr/bin/websockify "127.0.0.1:$websockify_port" "127.0.0.1:$echo_port" > /dev/null 2>&1 & pids+=($!)
for _ in $(seq 100); do (exec 3<> "/dev/tcp/127.0.0.1/$websockify_port") 2> /dev/null && break; sleep 0.1; done

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
"$bench" "$rounds" "tcp-echo=tcp:$echo_port" "quorin=$proxy_url" "websockify=ws://127.0.0.1:$websockify_port/" "tcp-relay=tcp:$relay_port"
echo "$rounds rounds, $(nproc) cores; load average (1/5/15 min) $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after"
