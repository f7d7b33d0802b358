# Shared by the benchmark scripts: per-mode figures of a results file whose lines are
# "mode=NAME key=value ...". Source it, then set `results` to the file.

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
