#!/usr/bin/env bash
# Builds everything and runs the whole test suite inside a private desktop session.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default
scripts/session.sh ctest --preset default --parallel 2 "$@"
