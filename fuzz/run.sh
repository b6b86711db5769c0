#!/bin/bash
# Builds the libFuzzer target over the whole high-score load path with clang-14 and runs it.
#
#   fuzz/run.sh [SECONDS] [extra libFuzzer options...]      (default: 600 seconds)
#
# The growing corpus lives in fuzz-corpus/hiscore/ (not in git); it starts from the damaged
# files in tests/data/hiscore/ and the valid files in fuzz/seeds/. Crashes, hangs and sanitizer
# reports land in out/fuzz/ as crash-*, timeout-* or leak-* files; replay one with
#   out/fuzz/hiscore-load-fuzz out/fuzz/crash-...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
out=$root/out/fuzz
corpus=$root/fuzz-corpus/hiscore
mkdir -p "$out" "$corpus"

# The hiscore sources only; OpenCV comes from the system and is not instrumented.
clang++-14 -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -I"$root/src" $(pkg-config --cflags opencv4) \
    "$root/fuzz/HiScoreLoadFuzz.cpp" "$root"/src/hiscore/*.cpp \
    -lopencv_core -o "$out/hiscore-load-fuzz"

# Every input larger than the table's 64 KiB bound is refused at once, so a little above it
# is enough to reach every branch.
exec "$out/hiscore-load-fuzz" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    -max_len=66000 -dict="$root/fuzz/hiscore.dict" -artifact_prefix="$out/" -print_final_stats=1 \
    "$@" "$corpus" "$root/tests/data/hiscore" "$root/fuzz/seeds"
