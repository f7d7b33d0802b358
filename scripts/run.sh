#!/usr/bin/env bash
# Builds the launcher bundle and runs it with the bundled sample configuration and web UI.
# Extra arguments go to the launcher (for example --web-ui-root DIR).
# Without a display it runs under Xvfb, waits for the start-up outcome (reported once the page
# is on screen), saves a screenshot to build/default/screenshot.png and exits.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default quorin_bundle
launcher="build/default/Quorin 4.2.app/Contents/MacOS/Quorin42Launcher"

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec "$launcher" --report-startup "$@"
fi

screenshot="$PWD/build/default/screenshot.png"
exec scripts/session.sh bash -c '
  launcher=$1; screenshot=$2; shift 2
  output=$(mktemp)
  "$launcher" --report-startup "$@" > "$output" &
  pid=$!
  for _ in $(seq 1 300); do
    grep -q ": " "$output" && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  cat "$output"
  import -window root "$screenshot" && echo "screenshot: $screenshot"
  kill $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
  grep -q ": ready" "$output"
' run "$launcher" "$screenshot" "$@"
