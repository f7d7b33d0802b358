#!/bin/bash
# make-releases.sh TOOL BUILT_BUNDLE LAUNCHER HELPER KEYS OUT URL_BASE
# From the built bundle with LAUNCHER as its main executable and HELPER in Contents/Helpers,
# seals version 1.0.0 into OUT/Apps and 2.0.0 into OUT/release, packs 2.0.0 into
# OUT/release/<archive> and writes its feed for URL_BASE to OUT/release/feed.yml.
set -euo pipefail
tool=$1 built=$2 launcher=$3 helper=$4 keys=$5 out=$6 base=$7

seal() { # VERSION FOLDER
    local app="$out/$2/Quorin 4.2.app"
    mkdir -p "$out/$2"
    cp -R "$built" "$app"
    rm -rf "$app/Contents/_CodeSignature"
    cp "$launcher" "$app/Contents/MacOS/Quorin42Launcher"
    cp "$helper" "$app/Contents/Helpers/Quorin42UpdateHelper"
    sed -i "/CFBundleShortVersionString/{n;s|<string>[^<]*</string>|<string>$1</string>|}" "$app/Contents/Info.plist"
    "$tool" sign-bundle "$app" --key "$keys/signing.key" >/dev/null
    "$tool" notarize-bundle "$app" --key "$keys/notary.key" >/dev/null
}

seal 1.0.0 Apps
seal 2.0.0 release
arch=$(uname -m)
archive="$out/release/Quorin42-2.0.0-linux-${arch/aarch64/arm64}.zip"
"$tool" pack "$out/release/Quorin 4.2.app" "$archive" >/dev/null
"$tool" feed --version 2.0.0 --archive "$archive" --url-base "$base" >"$out/release/feed.yml"
