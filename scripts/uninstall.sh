#!/usr/bin/env bash
# Removes what scripts/install.sh installed for the current user. The user's own data (the
# preferences, saved accounts, web data and the tokens in the key store) stays.
# Usage: scripts/uninstall.sh
set -euo pipefail
source "$(cd "$(dirname "$0")" && pwd)/install-locations.sh"

rm -rf "$app_home"
rm -f "$command_path" "$desktop_path" "$icon_path" "$metainfo_path"
update-desktop-database -q "$(dirname "$desktop_path")" 2>/dev/null || true
# The link handler default names the removed desktop entry; drop just that line.
mimeapps="${XDG_CONFIG_HOME:-$HOME/.config}/mimeapps.list"
[[ -f "$mimeapps" ]] && sed -i "/^x-scheme-handler\/quorin42=$app_id\.desktop;\?$/d" "$mimeapps"

echo "uninstalled Quorin 4.2; your data stays in ${XDG_DATA_HOME:-$HOME/.local/share}/Quorin 4.2"
