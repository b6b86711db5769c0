#!/usr/bin/env bash
# Sets up, builds and starts the game from the repository root (it needs a desktop).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec build/dravolt
