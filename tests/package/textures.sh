#!/usr/bin/env bash
# The texture program, run in a scratch folder, draws byte for byte the committed textures and
# the committed desktop icon. Arguments: the texture program and the source folder.
set -euo pipefail
texgen=$(realpath "${1:?texture program}")
source=$(realpath "${2:?source folder}")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && "$texgen" > /dev/null)
status=0
for file in graphics/car.png graphics/garage.png graphics/startLine.png packaging/dravolt.png; do
    cmp -s "$scratch/$file" "$source/$file" || { echo "FAIL: $file differs from the drawing"; status=1; }
done
[ $status = 0 ] && echo "the committed textures and icon are the drawn ones"
exit $status
