#!/usr/bin/env bash
# The frame rate of the real window, in one run under its own X server: the bare frame loop as
# the yardstick (sleep 10 ms, show an 800x600 picture, wait 5 ms for a key), first and last;
# between them the game in its start, playing, paused and name-entry states, with keys only
# and with the fake camera on a real face; and the detection passes a second. The loops are
# timed from outside, by a preloaded library that records each 10 ms sleep
# (bench/framerate/SleepRecorder.cpp), so the game runs unchanged.
#
#   bench/framerate.sh [BUILD]       BUILD: the build folder, default build/
#   DRAVOLT_BENCH_SECONDS=9          how long each state is measured
#   DRAVOLT_BENCH_SHOTS=FOLDER       keeps a screenshot of the window after each stretch
set -euo pipefail
SOURCE=$(realpath "$(dirname "$0")/..")
BUILD=$(realpath "${1:-$SOURCE/build}")
SECONDS_PER_STATE=${DRAVOLT_BENCH_SECONDS:-9}
FACE=$SOURCE/tests/data/astronaut-face.png

if [ -z "${DRAVOLT_UNDER_XVFB:-}" ]; then
    export DRAVOLT_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$@"
fi
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
for _ in $(seq 100); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done

for program in dravolt dravolt-fakecam; do
    [ -x "$BUILD/$program" ] || { echo "no $BUILD/$program: build first" >&2; exit 1; }
done

WORK=$(mktemp -d)
PID=""
cleanup() {
    [ -n "$PID" ] && kill "$PID" 2> /dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# The recorder and the bare loop, built beside the measurement.
flags=$(pkg-config --cflags --libs opencv4)
g++ -O2 -std=c++17 -shared -fPIC -o "$WORK/sleep-recorder.so" \
    "$SOURCE/bench/framerate/SleepRecorder.cpp" -ldl
# shellcheck disable=SC2086
g++ -O2 -std=c++17 -o "$WORK/bare-loop" "$SOURCE/bench/framerate/BareLoop.cpp" $flags

# The game's working folder: textures and cascade as in the repository, a table of its own.
mkdir -p "$WORK/game/classifier"
cp -r "$SOURCE/graphics" "$WORK/game/graphics"
cascade=$SOURCE/classifier/haarcascade_eye.xml
[ -f "$cascade" ] || cascade=/usr/share/opencv4/haarcascades/haarcascade_eye.xml
cp "$cascade" "$WORK/game/classifier/"

now() { date +%s%N; }
PHASES=$WORK/phases.txt
: > "$PHASES"

# measure LABEL RECORD [WINDOW]: records the next SECONDS_PER_STATE seconds as one stretch.
measure() {
    local begin
    begin=$(now)
    sleep "$SECONDS_PER_STATE"
    echo "$1 $2 $begin $(now)" >> "$PHASES"
    if [ -n "${DRAVOLT_BENCH_SHOTS:-}" ] && [ -n "${3:-}" ]; then
        mkdir -p "$DRAVOLT_BENCH_SHOTS"
        import -window "$3" "$DRAVOLT_BENCH_SHOTS/${1//[^a-z]/_}.png"
    fi
}

# run_recorded RECORD PROGRAM [ARGS...]: starts the program in the game folder, recording.
run_recorded() {
    local record=$1
    shift
    (cd "$WORK/game" && LD_PRELOAD="$WORK/sleep-recorder.so" DRAVOLT_SLEEP_RECORD="$record" \
        exec "$@" < /dev/null > "$record.console" 2>&1) &
    PID=$!
}

wait_window() {
    local id=""
    for _ in $(seq 300); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2> /dev/null | head -1 || true)
        if [ -n "$id" ] && xwininfo -id "$id" | grep -q "Width: 800$"; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    echo "no window $1" >&2
    return 1
}

key() {
    xdotool windowfocus --sync "$1" 2> /dev/null || true
    xdotool key "$2"
}

finish() {
    for _ in $(seq 100); do kill -0 "$PID" 2> /dev/null || break; sleep 0.1; done
    wait "$PID" || true
    PID=""
}

# bare_loop LABEL RECORD: the bare loop runs its stretch plus a second either side.
bare_loop() {
    run_recorded "$2" "$WORK/bare-loop" $((SECONDS_PER_STATE + 3))
    wait_window "Bare loop" > /dev/null
    sleep 1
    measure "$1" "$2"
    finish
}

bare_loop "bare loop, first" "$WORK/bare-first"

# play_states NAME RECORD PROGRAM [ARGS...]: the four states of the game, one after another,
# within one run of 60 s of play: start, playing, paused, name entry (d ends the run with a
# result that ranks).
play_states() {
    local name=$1 record=$2
    shift 2
    run_recorded "$record" "$@"
    local id
    id=$(wait_window Dravolt)
    sleep 2
    measure "$name: start" "$record" "$id"
    key "$id" Return
    sleep 1
    measure "$name: playing" "$record" "$id"
    key "$id" space
    sleep 1
    measure "$name: paused" "$record" "$id"
    key "$id" space
    key "$id" d
    sleep 1
    measure "$name: name entry" "$record" "$id"
    key "$id" Escape
    finish
}

play_states "keys only" "$WORK/keys" "$BUILD/dravolt"
# The face alone steers 4 px to the left on every pass and would drive the start screen's car
# into the garage within seconds; with its mirror image between, the passes steer -4 and +3
# in turn and the car stays on the start screen for the whole stretch.
convert "$FACE" -flop "$WORK/face-mirrored.png"
play_states "fake camera" "$WORK/camera" "$BUILD/dravolt-fakecam" "$FACE" "$WORK/face-mirrored.png"

bare_loop "bare loop, last" "$WORK/bare-last"

python3 "$SOURCE/bench/framerate/analyse.py" "$PHASES"
