#!/usr/bin/env bash
# Installs the built bundle for a throwaway user whose home folder needs quoting, checks each
# installed piece with the desktop's own tools, reinstalls, then uninstalls and checks that
# only the user's data is left.
# With a display, a quorin42:// link opened through the desktop (xdg-open) reaches the running
# installed launcher.
# Usage: install-tests.sh BUNDLE
set -uo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)

# In a session bus of its own, so the application's single instance is this test's.
if [[ "${2:-}" == --open-link ]]; then
  source "$scripts/install-locations.sh"
  log="$HOME/launcher.log"
  QUORIN_TESTING=1 QUORIN_TEST_APP_SUPPORT_DIRECTORY="$HOME/storage" "$command_path" --page-console > "$log" 2>&1 &
  pid=$!
  for _ in $(seq 1 300); do grep -q 'startupUrl ' "$log" && break; sleep 0.1; done
  # As on a GNOME desktop (gio open): xdg-utils 1.1.3's generic mode takes a scheme with digits
  # for a file name.
  XDG_CURRENT_DESKTOP=GNOME xdg-open 'quorin42://play?server=3'
  for _ in $(seq 1 300); do grep -q 'deepLink ' "$log" && break; sleep 0.1; done
  kill $pid && wait $pid
  grep -q 'deepLink quorin42://play?server=3$' "$log" || { cat "$log"; false; }
  exit
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home \$with \"quotes\" 'and' spaces"
unset XDG_DATA_HOME XDG_CONFIG_HOME
mkdir -p "$HOME/.local/share/Quorin 4.2" && echo '{}' > "$HOME/.local/share/Quorin 4.2/launcher-preferences.json"
failures=0
check() { "$@" > "$work/out" 2>&1 || { echo "FAIL: $*"; cat "$work/out"; failures=$((failures + 1)); }; }
source "$scripts/install-locations.sh"

for attempt in first again; do
  check bash "$scripts/install.sh" "$1"
  check desktop-file-validate "$desktop_path"
  check appstreamcli validate --no-net "$metainfo_path"
  check grep -qx 'Default application for “x-scheme-handler/quorin42”: com.quorin42.desktop.desktop' <(gio mime x-scheme-handler/quorin42)
  check grep -q 'quorin42://URL' <("$command_path" --help)
  # The command the desktop entry names is the installed one.
  check test "$(sed -n 's/^TryExec=//p' "$desktop_path")" = "$command_path"
  check test "$(ls -A "$app_home")" = "Quorin 4.2.app"
done

[[ -n "${DISPLAY:-}" ]] && check dbus-run-session --dbus-daemon="$scripts/quiet-dbus-daemon.sh" -- bash "$0" "$1" --open-link
rm -rf "$HOME/storage" "$HOME/launcher.log"

check bash "$scripts/uninstall.sh"
# The desktop's own caches and settings files stay; they just no longer name the launcher.
check test "$(cd "$HOME" && find . -type f ! -name mimeinfo.cache ! -name mimeapps.list)" = "./.local/share/Quorin 4.2/launcher-preferences.json"
check test "$(grep -c quorin42 "$HOME/.config/mimeapps.list")" = 0
[[ $failures -eq 0 ]] && echo ok
