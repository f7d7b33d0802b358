#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test. Idempotent:
# it does nothing when everything is already present.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libglib2.0-dev libgtk-4-dev libwebkitgtk-6.0-dev libsoup-3.0-dev libsecret-1-dev
  libssl-dev nlohmann-json3-dev libsimdjson-dev libarchive-dev libarchive-tools libplist-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth dbus dbus-x11 gnome-keyring imagemagick haxe
  desktop-file-utils xdg-utils appstream openssl python3 xdotool x11-utils
)
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm) # the build installs the pinned game runtime with it

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
