#!/usr/bin/env bash
# Builds the launcher bundle and runs it with the bundled sample configuration and web UI.
# Without a display it runs under Xvfb and saves a screenshot to build/default/screenshot.png.
# Extra arguments go to the launcher (for example --web-ui-root DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default quorin_bundle
bundle="build/default/Quorin 4.2.app"
exec "$bundle/Contents/MacOS/Quorin42Launcher" "$@"
