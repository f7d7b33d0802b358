#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan; the "fuzz" preset) and runs each for the
# given time from its seed corpus in tests/fuzz/corpus/<name>. New inputs go to a working
# corpus in build/fuzz/corpus/<name>/ that later runs go on from; a crash stops the run and
# leaves its input in build/fuzz/findings/<name>/ to be made a regression test. One line per
# run (seconds, executions per second, corpus size, result) is added to build/fuzz/runs.log.
# Usage: tests/fuzz/run-fuzzers.sh [SECONDS_PER_TARGET] [NAME...]   (default: 60, every target)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
shift || true
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || { echo "SECONDS_PER_TARGET must be a positive number" >&2; exit 2; }

"$root/scripts/install-deps.sh"
cmake --preset fuzz -S "$root" > /dev/null
names=("$@")
if [[ ${#names[@]} -eq 0 ]]; then
  for corpus in "$root"/tests/fuzz/corpus/*/; do names+=("$(basename "$corpus")"); done
fi
cmake --build "$root/build/fuzz" --target "${names[@]/%/_fuzzer}"

# Full stacks through GLib (built without frame pointers), so the suppressions can match.
export LSAN_OPTIONS="suppressions=$root/tests/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export ASAN_OPTIONS="fast_unwind_on_malloc=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
work="$root/build/fuzz/corpus"
status=0
for name in "${names[@]}"; do
  findings="$root/build/fuzz/findings/$name"
  mkdir -p "$findings" "$work/$name"
  cp -R "$root/tests/fuzz/corpus/$name/." "$work/$name/"
  echo "== $name: ${seconds}s"
  started=$SECONDS
  result=ok
  if ! "$root/build/fuzz/tests/fuzz/${name}_fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$findings/" -print_final_stats=1 "$work/$name" 2> "$work/$name.log"; then
    tail -40 "$work/$name.log"
    echo "== $name: FAILED; input in $findings/"
    result=FAILED
    status=1
  else
    grep -E "stat::number_of_executed_units|cov:" "$work/$name.log" | tail -2
  fi
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$name.log")
  printf '%s %s seconds=%d exec_per_sec=%s corpus=%d result=%s\n' "$(date -u +%FT%TZ)" "$name" $((SECONDS - started)) \
    "${rate:-?}" "$(find "$work/$name" -type f | wc -l)" "$result" >> "$root/build/fuzz/runs.log"
done
exit $status
