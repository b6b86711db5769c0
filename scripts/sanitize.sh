#!/usr/bin/env bash
# Builds and runs the unit tests under the sanitizers:
#   scripts/sanitize.sh address   AddressSanitizer and UBSan, every unit test (build-asan/)
#   scripts/sanitize.sh thread    ThreadSanitizer, the threading tests (build-tsan/)
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-address}
case "$kind" in
address)
    export DRAVOLT_BUILD_DIR=build-asan DRAVOLT_CMAKE_ARGS="-DDRAVOLT_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=Debug"
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=0
    scripts/setup.sh
    ctest --test-dir build-asan --output-on-failure -L unit -E 'DeathTest'
    ;;
thread)
    export DRAVOLT_BUILD_DIR=build-tsan DRAVOLT_CMAKE_ARGS="-DDRAVOLT_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug"
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
    scripts/setup.sh
    ctest --test-dir build-tsan --output-on-failure -R '^(app|detection)\.' -E 'DeathTest'
    ;;
*)
    echo "usage: scripts/sanitize.sh address|thread" >&2
    exit 2
    ;;
esac
