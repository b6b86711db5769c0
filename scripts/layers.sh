#!/usr/bin/env bash
# Prints what each layer of src/ uses directly, found from its includes, and the same for the
# tools, the benchmarks and the tests; fails where that differs from what the build links:
#   scripts/layers.sh [LIST]   (LIST instead of cmake/layers.txt: the check's own test uses it)
# A use is an include: "NAME/..." is the layer NAME (dravolt-NAME), <opencv2/MODULE...> the
# library opencv_MODULE, and the few other libraries are named in library_of below. A layer may
# include only what its line of the list names, and must use everything that line names; the
# same holds for each tool (DRAVOLT_TOOL_NAME in CMakeLists.txt), the benchmarks
# (DRAVOLT_BENCH) and the tests of a layer, which link the layer and DRAVOLT_TESTS_NAME
# (tests/CMakeLists.txt). A layer links only layers listed before it, and its rank is its
# height: 0 without layers, else one above the highest it links.
set -euo pipefail
export LC_ALL=C # one order of the names everywhere
cd "$(dirname "$0")/.."
list=${1:-cmake/layers.txt}
source scripts/layer-list.sh
read_layers "$list"
status=0

# Sets library to the library an include belongs to: QUOTE is '"' or '<', PATH what stands
# between. Empty for a folder's own headers without a path and for the C and C++ libraries.
library_of() { # QUOTE PATH
    library=""
    if [ "$1" = '"' ]; then
        [[ $2 != */* ]] || library="dravolt-${2%%/*}"
        return
    fi
    case $2 in
    opencv2/*)
        library=${2#opencv2/}
        library="opencv_${library%%[/.]*}"
        ;;
    oneapi/tbb/* | tbb/*) library=TBB::tbb ;;
    X11/*) library=X11::X11 ;;
    thread | mutex | shared_mutex | condition_variable | future | pthread.h) library=Threads::Threads ;;
    esac
}

# The value of "set(VARIABLE ...)" in a CMake file, which may run over several lines; empty
# where it is not set.
cmake_list() { # FILE VARIABLE
    VARIABLE=$2 perl -0777 -ne 'print join(" ", split(" ", $1)) if /^\s*set\($ENV{VARIABLE}\s([^)]*)\)/m' "$1"
}

# Checks one part of the tree against its list and prints what it uses.
#   NAME  how it is printed    SELF  the layer it belongs to, whose own headers are no use
#   WHERE  where its list is   WANTED  that list   FILES  its sources
check() { # NAME SELF WHERE WANTED FILE...
    local name=$1 self=$2 where=$3 wanted=$4 line file include quote path library
    shift 4
    local -A used=() firstUse=()
    while IFS= read -r line; do
        file=${line%%:*}
        include=${line#*:#include }
        quote=${include:0:1}
        path=${include:1}
        path=${path%%[\">]*}
        library_of "$quote" "$path"
        if [ -z "$library" ] || [ "$library" = "dravolt-$self" ]; then
            continue
        fi
        if [[ $library == dravolt-* ]] && [ -z "${rank[${library#dravolt-}]+x}" ]; then
            echo "$name: includes \"$path\" ($file), but $list has no layer ${path%%/*}"
            status=1
            continue
        fi
        used[$library]=1
        [ "$quote" = '"' ] || path="<$path>"
        [ "$quote" = '<' ] || path="\"$path\""
        [ -n "${firstUse[$library]+x}" ] || firstUse[$library]="$path ($file)"
    done < <(grep -HE '^#include ' "$@" | sort)
    local layersUsed="" librariesUsed="" layer
    for layer in "${layers[@]}"; do
        [ -z "${used[dravolt-$layer]+x}" ] || layersUsed+=" $layer"
    done
    for library in $(printf '%s\n' "${!used[@]}" | grep -v '^dravolt-' | sort); do
        librariesUsed+=" $library"
    done
    layersUsed=${layersUsed# } librariesUsed=${librariesUsed# }
    printf '%-16s %-32s %s\n' "$name" "${layersUsed:--}" "${librariesUsed:--}"
    for library in $(printf '%s\n' "${!used[@]}" | sort); do
        if [[ " $wanted " != *" $library "* ]]; then
            echo "$name: includes ${firstUse[$library]}, but $where does not list $library"
            status=1
        fi
    done
    for library in $wanted; do
        if [ "$library" != "dravolt-$self" ] && [ -z "${used[$library]+x}" ]; then
            echo "$name: $where lists $library, which it does not use"
            status=1
        fi
    done
}

printf '%-16s %-32s %s\n' "What each uses:" "layers" "other libraries"
declare -A before=()
for layer in "${layers[@]}"; do
    height=0
    for below in ${links[$layer]}; do
        if [ -z "${before[$below]+x}" ]; then
            echo "$list: $layer links $below, which is not a layer listed before it"
            status=1
        elif [ $((rank[$below] + 1)) -gt $height ]; then
            height=$((rank[$below] + 1))
        fi
    done
    if [ "${rank[$layer]}" != "$height" ]; then
        echo "$list: $layer has rank ${rank[$layer]}, but its height is $height"
        status=1
    fi
    before[$layer]=1
    check "$layer" "$layer" "$list" "${uses[$layer]}" $(find "src/$layer" -name '*.[ch]pp')
done
for source in tools/*.cpp; do
    tool=$(basename "$source" .cpp)
    check "tools/$tool" "" "DRAVOLT_TOOL_$tool in CMakeLists.txt" \
        "$(cmake_list CMakeLists.txt "DRAVOLT_TOOL_$tool")" "$source"
done
check bench "" "DRAVOLT_BENCH in CMakeLists.txt" "$(cmake_list CMakeLists.txt DRAVOLT_BENCH)" \
    bench/*.cpp
for layer in "${layers[@]}"; do
    sources=$(find "tests/$layer" -name '*.[ch]pp' 2> /dev/null || true)
    [ -n "$sources" ] || continue
    check "tests/$layer" "$layer" "DRAVOLT_TESTS_$layer in tests/CMakeLists.txt" \
        "$(cmake_list tests/CMakeLists.txt "DRAVOLT_TESTS_$layer")" $sources
done

# A relative include could step around the build's include roots.
if grep -rnE '^#include "\.\./' src tools bench tests; then
    echo "relative includes that leave their folder (above)"
    status=1
fi
exit $status
