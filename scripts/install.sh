#!/usr/bin/env bash
# Installs the launcher for the current user, the way desktop applications are installed on
# Linux: the application bundle in a folder the user owns (so the launcher can update itself
# in place), the `quorin42` command on PATH, a desktop entry with its icon that also handles
# quorin42:// links, and the AppStream metadata. Running it again replaces the installed bundle.
# Usage: scripts/install.sh [BUNDLE]   (default: builds the bundle first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/install-locations.sh"

bundle=${1:-}
if [[ -z "$bundle" ]]; then
  "$root/scripts/install-deps.sh"
  "$root/scripts/build.sh" release quorin_bundle
  bundle="$root/build/release/Quorin 4.2.app"
fi
executable="$bundle/Contents/MacOS/Quorin42Launcher"
[[ -x "$executable" ]] || { echo "install: no launcher in $bundle" >&2; exit 1; }
version=$(sed -n '/CFBundleShortVersionString/{n;s/.*<string>\(.*\)<\/string>.*/\1/p}' "$bundle/Contents/Info.plist")
[[ -n "$version" ]] || { echo "install: $bundle/Contents/Info.plist has no version" >&2; exit 1; }

# The new bundle is copied next to its place and swapped in with renames, so an interrupted
# install leaves the previous one runnable.
mkdir -p "$app_home"
staged="$app_home/.installing-$$"
previous="$app_home/.previous-$$"
trap 'rm -rf "$staged" "$previous"' EXIT
cp -R --no-preserve=ownership "$bundle" "$staged"
[[ -e "$installed_bundle" ]] && mv "$installed_bundle" "$previous"
mv "$staged" "$installed_bundle"

mkdir -p "$(dirname "$command_path")" "$(dirname "$desktop_path")" "$(dirname "$icon_path")" "$(dirname "$metainfo_path")"
write_file() { # path mode; the content comes on standard input
  cat > "$1.new-$$" && chmod "$2" "$1.new-$$" && mv "$1.new-$$" "$1"
}
launcher_path="$installed_bundle/Contents/MacOS/Quorin42Launcher"
printf "#!/bin/sh\nexec '%s' \"\$@\"\n" "${launcher_path//\'/\'\\\'\'}" | write_file "$command_path" 755

# In a desktop entry's Exec key a quoted argument escapes ", `, $ and \ with a backslash, and
# the key's own string escaping doubles that backslash.
exec_argument=$(printf '%s' "$command_path" | sed 's/[\\"`$]/\\\\&/g')
entry=$(< "$root/resources/linux/$app_id.desktop.in")
entry=${entry//"TryExec=@EXEC@"/"TryExec=$command_path"}
printf '%s\n' "${entry//"Exec=@EXEC@"/"Exec=\"$exec_argument\""}" | write_file "$desktop_path" 644
sed -e "s|@VERSION@|$version|" -e "s|@DATE@|$(date -u -r "$bundle/Contents/Info.plist" +%F)|" \
  "$root/resources/linux/$app_id.metainfo.xml" | write_file "$metainfo_path" 644
write_file "$icon_path" 644 < "$root/resources/linux/$app_id.svg"

update-desktop-database -q "$(dirname "$desktop_path")" 2>/dev/null || true
xdg-mime default "$app_id.desktop" x-scheme-handler/quorin42

echo "installed Quorin 4.2 $version: $installed_bundle"
case ":$PATH:" in
  *":$(dirname "$command_path"):"*) echo "command: quorin42" ;;
  *) echo "command: $command_path (add $(dirname "$command_path") to PATH to run it as quorin42)" ;;
esac
