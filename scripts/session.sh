#!/usr/bin/env bash
# Runs a command inside a private desktop session: a session bus, an unlocked Secret Service
# (gnome-keyring) with a throwaway HOME, and an X display (Xvfb when none is given).
# Usage: scripts/session.sh COMMAND [ARGS...]
set -euo pipefail

if [[ -z "${QUORIN_SESSION_INNER:-}" ]]; then
  export QUORIN_SESSION_INNER=1
  session_home=$(mktemp -d /tmp/quorin-session.XXXXXX)
  trap 'rm -rf "$session_home"' EXIT
  export HOME="$session_home" XDG_DATA_HOME="$session_home/data" XDG_CONFIG_HOME="$session_home/config" \
         XDG_CACHE_HOME="$session_home/cache" XDG_RUNTIME_DIR="$session_home/runtime"
  mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  status=0
  dbus-run-session --dbus-daemon="$(dirname "$0")/quiet-dbus-daemon.sh" -- bash "$0" "$@" || status=$?
  exit $status
fi

# Inside the session bus.
printf 'quorin-test-keyring' | gnome-keyring-daemon --unlock --components=secrets >/dev/null 2>&1 || true

if [[ -z "${DISPLAY:-}" || -n "${QUORIN_FORCE_XVFB:-}" ]]; then
  for number in $(seq 90 140); do
    [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] && continue
    Xvfb ":$number" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 50); do
      [[ -e /tmp/.X11-unix/X$number ]] && break
      sleep 0.1
    done
    if kill -0 "$xvfb_pid" 2>/dev/null; then
      export DISPLAY=":$number"
      trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
      break
    fi
  done
  [[ -n "${DISPLAY:-}" ]] || { echo "could not start Xvfb" >&2; exit 1; }
fi
export GDK_BACKEND=x11
# No accessibility bus: nothing here reads it, and its registry prints to the terminal.
export GTK_A11Y=none NO_AT_BRIDGE=1
unset WAYLAND_DISPLAY
"$@"
