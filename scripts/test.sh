#!/usr/bin/env bash
# Sets up, builds and runs every test: unit tests and the real-window tests under Xvfb.
# Extra arguments go to ctest (for example: scripts/test.sh -L unit).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${DRAVOLT_BUILD_DIR:-build}
ctest --test-dir "$build" --output-on-failure "$@"
