#!/usr/bin/env bash
# Builds the package from the build folder (cpack) into a scratch folder and runs lintian on
# it: any error or warning fails; the notes are printed for the reader.
# Arguments: the build folder and the source folder.
set -euo pipefail
build=$(realpath "${1:?build folder}")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$scratch" > "$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/dravolt_*.deb)
echo "package: $(basename "$deb")"
lintian --fail-on error,warning --display-info "$deb"
echo "lintian: no errors, no warnings"
