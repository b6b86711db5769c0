#!/usr/bin/env bash
# Prints the include graph of src/ by folder and fails when a folder includes one above it.
# The layers, bottom first: a folder may include its own headers and those of lower layers.
#   core < hiscore < gfx < detection, screens < game < app
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A rank=([core]=0 [hiscore]=1 [gfx]=2 [detection]=3 [screens]=3 [game]=4 [app]=5)
edges=$(grep -rHoE '^#include "[a-z]+/' src --include='*.cpp' --include='*.hpp' |
    sed -E 's#^src/([a-z]+)/[^:]*:\#include "([a-z]+)/#\1 \2#' | grep -v '^src/' | sort | uniq -c)
status=0
while read -r count from to; do
    [ -n "$from" ] || continue
    mark=""
    if [ -z "${rank[$from]+x}" ] || [ -z "${rank[$to]+x}" ]; then
        mark="   <- not a known layer"; status=1
    elif [ "$from" != "$to" ] && [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
        mark="   <- upward"; status=1
    fi
    printf '%-10s -> %-10s %3d%s\n' "$from" "$to" "$count" "$mark"
done <<< "$edges"
# A relative include could step around the build's include roots.
if grep -rnE '^#include "\.\./' src; then
    echo "relative includes that leave their folder (above)"; status=1
fi
exit $status
