#!/usr/bin/env bash
# Builds everything and runs the whole test suite inside a private desktop session, then builds
# and runs it again with ASan + UBSan, where memory errors, undefined behaviour and leaks fail.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default
scripts/session.sh ctest --preset default --parallel 2 "$@"
scripts/build.sh sanitize
scripts/session.sh ctest --preset sanitize --parallel 2 "$@"
