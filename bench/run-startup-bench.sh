#!/usr/bin/env bash
# Cold start of the shipped launcher against a bare WebKitGTK program showing the same page:
# process start to the page on screen (each prints its ready line once the page's first
# frame has been painted), and the memory of each with its web and network processes at that
# moment, with the processor time they had used (steadier than the wall clock on a shared
# machine). The launcher paints pages with the processor on a machine without a GPU, where
# that starts sooner; a third subject, the bare program painting the same way, tells the
# launcher's own cost apart from that choice. They run in turn, in fresh processes, inside one
# private desktop session (Xvfb and a session bus); the load average is recorded as each run
# begins.
# Usage: bench/run-startup-bench.sh [RUNS] [BUILD_DIR]   (defaults: 9, build/bench)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-9}
# Absolute: the bare program is given the page as a file URL made from it.
build_dir=$(cd "${2:-$root/build/bench}" && pwd)
driver="$build_dir/bench/quorin_bench_startup"
bare="$build_dir/bench/quorin_bench_bare_start"
launcher="$build_dir/Quorin 4.2.app/Contents/MacOS/Quorin42Launcher"

if [[ -z "${QUORIN_BENCH_INNER:-}" ]]; then
  for program in "$driver" "$bare" "$launcher"; do
    [[ -x "$program" ]] || { echo "no $program; build quorin_bench_startup, quorin_bench_bare_start and quorin_bundle first" >&2; exit 1; }
  done
  [[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a positive number" >&2; exit 2; }
  export QUORIN_BENCH_INNER=1
  exec "$root/scripts/session.sh" bash "$0" "$runs" "$build_dir"
fi

page="file://$build_dir/Quorin 4.2.app/Contents/Resources/WebUI/renderer/index.html"
page=${page// /%20}
results=$(mktemp)
storage=$(mktemp -d)
trap 'rm -rf "$results" "$storage"' EXIT
# The launcher keeps its per-user files in a folder of this run.
export QUORIN_TESTING=1 QUORIN_TEST_APP_SUPPORT_DIRECTORY="$storage"

run_once() {
  local figures
  case $1 in
    launcher) figures=$("$driver" "$launcher" --report-startup) || exit 1 ;;
    bare) figures=$("$driver" "$bare" "$page") || exit 1 ;;
    bare-painting) figures=$("$driver" "$bare" --launcher-painting "$page") || exit 1 ;;
  esac
  echo "mode=$1 $figures"
}

source "$root/bench/table.sh"
modes=(launcher bare bare-painting)
run_alternating "$runs"

echo "Start-up benchmark: $runs runs per program, taking turns; $(nproc) cores;" \
     "load average (1/5/15 min) $load_before before, $load_after after"
printf "  %-46s %-26s %-26s %-26s\n" "(min / median / max over runs)" "Quorin42Launcher" "bare WebKitGTK" "bare, launcher's painting"
row "process start -> page on screen, ms" ready_ms
row "memory when ready, PSS of all processes, MiB" pss_mib
row "memory when ready, RSS sum, MiB" rss_mib
row "processes" processes
row "processor time of all processes, ms" cpu_ms
row "  of which the program's own process, ms" ui_cpu_ms
row "1-min load average as each run began" load1
ratio() { awk -v l="$(median launcher ready_ms)" -v b="$(median "$1" ready_ms)" 'BEGIN { printf "%.2f", l / b }'; }
echo "  median start ratio, launcher / bare: $(ratio bare); launcher / bare with the launcher's painting: $(ratio bare-painting)"
