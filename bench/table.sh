# Shared by the benchmark scripts: runs the modes in turn, and gives per-mode figures of a
# results file whose lines are "mode=NAME key=value ...". Source it, then set `results` to
# the file and `modes` to the mode names, and define run_once MODE, which prints one such line.

# One warm-up run of each mode (the session's one-off costs, such as bus activations and the
# file cache, would otherwise fall on whichever runs first), then RUNS rounds, each starting
# one mode further along so that every mode goes first in turn, each line with the 1-minute
# load average as its run began. Sets load_before and load_after.
run_alternating() {
  local runs=$1 round mode load line index count=${#modes[@]}
  for mode in "${modes[@]}"; do run_once "$mode" >/dev/null; done
  load_before=$(cut -d' ' -f1-3 /proc/loadavg)
  for ((round = 0; round < runs; round++)); do
    for ((index = 0; index < count; index++)); do
      mode=${modes[(round + index) % count]}
      load=$(cut -d' ' -f1 /proc/loadavg)
      line=$(run_once "$mode")
      echo "$line load1=$load" >> "$results"
      echo -n "." >&2
    done
  done
  echo >&2
  load_after=$(cut -d' ' -f1-3 /proc/loadavg)
}

# min / median / max of one key over the runs of one mode.
stats() {
  local mode=$1 key=$2
  grep "^mode=$mode " "$results" | tr ' ' '\n' | sed -n "s/^$key=//p" | sort -g |
    awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
                              printf "%.1f / %.1f / %.1f", v[1], m, v[NR] }'
}

# Median of one key over the runs of one mode.
median() {
  local mode=$1 key=$2
  grep "^mode=$mode " "$results" | tr ' ' '\n' | sed -n "s/^$key=//p" | sort -g |
    awk '{ v[NR] = $1 } END { printf "%.1f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One table row: a label, then a key's figures for each mode given in `modes`.
row() {
  local label=$1 key=$2 line mode
  line=$(printf "  %-46s" "$label")
  for mode in "${modes[@]}"; do line+=$(printf " %-26s" "$(stats "$mode" "$key")"); done
  echo "$line"
}
