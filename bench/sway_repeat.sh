#!/usr/bin/env bash
# Same clip, same steering: runs dravolt-sway RUNS times (default 20) over a clip of the test
# face while one busy loop per core keeps the machine loaded, and fails unless every run prints
# the same values. The cascade spreads its scales over the library's thread pool, so a busy
# machine is where the order of its rectangles would change from run to run.
#
# The clip is the face at twice its size, about a webcam's picture, tilted from -24 to 24
# degrees about the point between the eyes: at this size the cascade also takes the nostrils,
# the mouth corners and the flag behind the head for eyes, three to seven rectangles in most
# frames. Run from the repository root after scripts/setup.sh; SWAY=path picks another build.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
sway=${SWAY:-build/dravolt-sway}

work=$(mktemp -d /tmp/dravolt-sway-repeat-XXXXXX)
busy=()
stop() {
    [ ${#busy[@]} -eq 0 ] || kill "${busy[@]}" 2> /dev/null || true
    rm -rf "$work"
}
trap stop EXIT

n=10
for angle in $(seq -24 4 24); do
    convert tests/data/astronaut-face.png -resize 200% -virtual-pixel Edge \
        -distort SRT "240,160 $angle" "$work/frame$n.png"
    n=$((n + 1))
done
clip=("$work"/frame*.png)

for _ in $(seq "$(nproc)"); do
    (while :; do :; done) &
    busy+=($!)
done

for run in $(seq "$runs"); do
    "$sway" "${clip[@]}" > "$work/run$run.txt"
done

distinct=$(md5sum "$work"/run*.txt | cut -d' ' -f1 | sort -u | wc -l)
echo "$runs runs of ${#clip[@]} frames with $(nproc) busy loops: $distinct distinct output(s)"
echo "run 1: $(tr '\n' ' ' < "$work/run1.txt")"
if [ "$distinct" -ne 1 ]; then
    for run in $(seq 2 "$runs"); do
        cmp -s "$work/run1.txt" "$work/run$run.txt" ||
            echo "run $run: $(tr '\n' ' ' < "$work/run$run.txt")"
    done
    echo "FAILED: the same clip steered differently"
    exit 1
fi
echo "passed"
