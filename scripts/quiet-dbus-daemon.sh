#!/usr/bin/env bash
# The session bus for scripts/session.sh, without its output and that of the services it
# starts (fd limits, activations, the accessibility registry), so a person sees the launcher's own.
exec dbus-daemon "$@" >/dev/null 2>&1
