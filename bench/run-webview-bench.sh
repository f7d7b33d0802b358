#!/usr/bin/env bash
# Bridge round trip of the launcher web view against a bare WebKitGTK view.
# Runs quorin_bench_webview in a fresh process per run, the two modes in alternating order,
# inside one private desktop session (Xvfb and a session bus), and prints one table.
# Usage: bench/run-webview-bench.sh [RUNS] [BUILD_DIR]   (defaults: 7, build/bench)
# Extra arguments for the program go in QUORIN_BENCH_ARGS (e.g. "--calls 1000 --warm-up 50").
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
build_dir=${2:-$root/build/bench}
binary="$build_dir/bench/quorin_bench_webview"

if [[ -z "${QUORIN_BENCH_INNER:-}" ]]; then
  [[ -x "$binary" ]] || { echo "no $binary; build the quorin_bench_webview target first" >&2; exit 1; }
  [[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a positive number" >&2; exit 2; }
  export QUORIN_BENCH_INNER=1
  exec "$root/scripts/session.sh" bash "$0" "$runs" "$build_dir"
fi

results=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$results" "$errors"' EXIT
read -r -a extra_args <<< "${QUORIN_BENCH_ARGS:-}"

# One run; the program is forked and exec'd at once, so the kernel's start time of the
# process is the start of this run.
run_once() {
  local mode=$1 line
  if ! line=$("$binary" "$mode" "${extra_args[@]}" 2>"$errors"); then
    echo "run of mode $mode failed:" >&2
    cat "$errors" >&2
    exit 1
  fi
  echo "$line"
}

source "$root/bench/table.sh"
modes=(launcher bare)
run_alternating "$runs"

echo "Web view benchmark: $runs runs per mode, alternating; $(nproc) cores;" \
     "load average (1/5/15 min) $load_before before, $load_after after"
printf "  %-46s %-26s %-26s\n" "" "launcher" "bare WebKitGTK"
# Start-up is measured on the shipped program by run-startup-bench.sh.
echo "Bridge round trip, us (min / median / max over runs of each run's figure)"
row "p50, host clock" rt_p50_us
row "p99, host clock" rt_p99_us
row "mean, host clock" rt_mean_us
row "mean, page clock over all calls" page_mean_us
row "p50, page performance.now()" page_p50_us
row "p99, page performance.now()" page_p99_us
row "page clock step" page_step_us
row "timed calls per run" calls
echo "Machine"
row "1-min load average as each run began" load1
