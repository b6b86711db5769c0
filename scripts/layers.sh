#!/usr/bin/env bash
# Prints the include graph of src/ by folder and fails when a folder includes one above it.
# The layers and their ranks come from cmake/layers.txt: a folder may include its own headers
# and those of lower layers. It fails too when a layer of that list links one that is not listed
# before it with a lower rank.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/layer-list.sh
read_layers
status=0
declare -A listed=()
for layer in "${layers[@]}"; do
    for below in ${links[$layer]}; do
        if [ -z "${listed[$below]+x}" ] || [ "${rank[$below]}" -ge "${rank[$layer]}" ]; then
            echo "cmake/layers.txt: $layer links $below, which is not a layer below it"
            status=1
        fi
    done
    listed[$layer]=1
done
edges=$(grep -rHoE '^#include "[a-z]+/' src --include='*.cpp' --include='*.hpp' |
    sed -E 's#^src/([a-z]+)/[^:]*:\#include "([a-z]+)/#\1 \2#' | grep -v '^src/' | sort | uniq -c)
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
