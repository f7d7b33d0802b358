#!/usr/bin/env bash
# Installs the built bundle for a throwaway user whose home folder needs quoting, checks each
# installed piece with the desktop's own tools, reinstalls, then uninstalls and checks that
# only the user's data is left.
# Usage: install-tests.sh BUNDLE
set -uo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
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

check bash "$scripts/uninstall.sh"
# The desktop's own caches and settings files stay; they just no longer name the launcher.
check test "$(cd "$HOME" && find . -type f ! -name mimeinfo.cache ! -name mimeapps.list)" = "./.local/share/Quorin 4.2/launcher-preferences.json"
check test "$(grep -c quorin42 "$HOME/.config/mimeapps.list")" = 0
[[ $failures -eq 0 ]] && echo ok
