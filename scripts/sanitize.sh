#!/usr/bin/env bash
# Builds and runs the unit tests, and those under load, under the sanitizers:
#   scripts/sanitize.sh address   AddressSanitizer and UBSan, every unit test (build-asan/)
#   scripts/sanitize.sh thread    ThreadSanitizer, the threading tests (build-tsan/)
# Only the test programs the run needs are built, not the game and its tools.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/layer-list.sh
read_layers
kind=${1:-address}
case "$kind" in
address)
    build=build-asan sanitize=address,undefined layers="${layers[*]}"
    only="" # every unit test
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=0
    ;;
thread)
    build=build-tsan sanitize=thread layers="app detection"
    only="^(app|detection)\\."
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
    ;;
*)
    echo "usage: scripts/sanitize.sh address|thread" >&2
    exit 2
    ;;
esac
scripts/setup.sh --install-only
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$build" -DDRAVOLT_WERROR=$werror -DDRAVOLT_SANITIZE=$sanitize \
    -DCMAKE_BUILD_TYPE=Debug > /dev/null
targets=()
for layer in $layers; do
    if ls tests/"$layer"/*Test.cpp > /dev/null 2>&1; then # a layer without tests has no program
        targets+=(--target "dravolt-tests-$layer")
    fi
done
cmake --build "$build" -j2 "${targets[@]}"
ctest --test-dir "$build" --output-on-failure -L "unit|load" ${only:+-R "$only"} -E 'DeathTest'
