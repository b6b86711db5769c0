#!/bin/bash
# Builds a libFuzzer target over the high-score load path with clang and runs it.
#
#   fuzz/run.sh [load|values] [SECONDS] [extra libFuzzer options...]   (default: load 600)
#
# load:   any bytes as "hiscore.xml" (fuzz/HiScoreLoadFuzz.cpp), seeded with the damaged files
#         of tests/data/hiscore/ and the game's own files in fuzz/seeds/.
# values: value texts put into an otherwise valid file (fuzz/HiScoreValueFuzz.cpp), seeded
#         from fuzz/seeds-values/.
# The growing corpus lives in fuzz-corpus/TARGET/ (not in git). Crashes, hangs and sanitizer
# reports land in out/fuzz/ as crash-*, timeout-* or leak-* files; replay one with
#   out/fuzz/hiscore-TARGET-fuzz out/fuzz/crash-...
# and keep it in tests/data/hiscore/ as fuzz_*.xml once fixed (a test loads every such file).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-load}
seconds=${2:-600}
shift $(($# < 2 ? $# : 2))
out=$root/out/fuzz
corpus=$root/fuzz-corpus/$target
mkdir -p "$out" "$corpus"
case $target in
load) source=HiScoreLoadFuzz.cpp seeds=("$root/tests/data/hiscore" "$root/fuzz/seeds") ;;
values) source=HiScoreValueFuzz.cpp seeds=("$root/fuzz/seeds-values") ;;
*) echo "unknown target '$target' (load or values)" >&2; exit 2 ;;
esac

# The table's sources, the careful file work's and the data folder's; OpenCV comes from the system and is not
# instrumented.
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -I"$root/src" $(pkg-config --cflags opencv4) \
    "$root/fuzz/$source" "$root"/src/hiscore/*.cpp "$root"/src/files/*.cpp \
    "$root/src/core/GamePaths.cpp" -lopencv_core \
    -o "$out/hiscore-$target-fuzz"

# Each run writes its file into a folder of its own under TMPDIR; in memory, a save's flush
# to disk costs nothing.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

# Every input larger than the table's 64 KiB bound is refused at once, so a little above it
# is enough to reach every branch.
exec "$out/hiscore-$target-fuzz" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    -max_len=66000 -dict="$root/fuzz/hiscore.dict" -artifact_prefix="$out/" -print_final_stats=1 \
    "$@" "$corpus" "${seeds[@]}"
