#!/usr/bin/env bash
# The shipped launcher as a user starts it: links given on the command line of the first
# launch and of later launches reach the page (the sample web UI logs each one to its console).
# Usage: launcher-process-tests.sh LAUNCHER   (needs a display: run it inside scripts/session.sh)
set -uo pipefail

launcher=$1
here=$(cd "$(dirname "$0")" && pwd)

# Each case runs in a session bus of its own, so the application's single instance is its own.
if [[ $# == 1 ]]; then
  failures=0
  for name in startup_link later_links; do
    dbus-run-session --dbus-daemon="$here/../../scripts/quiet-dbus-daemon.sh" -- bash "$0" "$launcher" "$name" || failures=$((failures + 1))
  done
  [[ $failures == 0 ]] && echo "ok"
  exit $failures
fi

work=$(mktemp -d)
first_pid=
trap '[[ -n $first_pid ]] && kill $first_pid 2>/dev/null; wait; rm -rf "$work"' EXIT
export QUORIN_TESTING=1 QUORIN_TEST_APP_SUPPORT_DIRECTORY="$work/storage"
failures=0
fail() { echo "FAIL ($2): $1"; failures=$((failures + 1)); }

# Waits up to 30 s for a line of the file to match.
wait_for() { timeout 30 bash -c 'until grep -q -E "$2" "$1"; do sleep 0.1; done' wait_for "$1" "$2"; }

# A first launch whose output goes to $work/first, once its page asked for its start-up link.
start_first() {
  "$launcher" --report-startup --page-console "$@" > "$work/first" 2>&1 &
  first_pid=$!
  wait_for "$work/first" '^Quorin 4.2: ' && grep -q '^Quorin 4.2: ready$' "$work/first" || fail "not ready: $(cat "$work/first")" "$2"
  wait_for "$work/first" 'startupUrl ' || fail "the page never asked for its start-up link" "$2"
}

case $2 in
startup_link)
  start_first 'quorin42://launch?server=7'
  grep -q -E 'startupUrl quorin42://launch\?server=7$' "$work/first" || fail "$(cat "$work/first")" "$2"
  ;;
later_links)
  start_first
  grep -q -E 'startupUrl \(none\)$' "$work/first" || fail "no start-up link expected: $(cat "$work/first")" "$2"
  # A refused link reaches nothing; the accepted one after it is the one link the page sees.
  "$launcher" 'quorin42://settings' > "$work/refused" 2>&1 || fail "a second launch with a refused link failed" "$2"
  "$launcher" 'quorin42://play?server=2' > "$work/second" 2>&1 || fail "a second launch failed: $(cat "$work/second")" "$2"
  wait_for "$work/first" 'deepLink ' || fail "the handed-over link never reached the page: $(cat "$work/first")" "$2"
  [[ $(grep -c 'deepLink ' "$work/first") == 1 ]] && grep -q -E 'deepLink quorin42://play\?server=2$' "$work/first" \
    || fail "links the page saw: $(grep 'deepLink ' "$work/first")" "$2"
  [[ ! -s "$work/second" ]] || fail "a second launch printed: $(cat "$work/second")" "$2"
  kill -0 "$first_pid" || fail "the first launch died" "$2"
  ;;
esac
exit $failures
