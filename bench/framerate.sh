#!/usr/bin/env bash
# The frame rate of the real window and the pace of detection, in one run under its own X
# server, on a quiet machine and then with a busy loop on every core. In each mode: the bare
# frame loop as the yardstick of the frame rate (sleep 10 ms, show an 800x600 picture, wait
# 5 ms for a key), first and last; the bare eye cascade on each test frame as the yardstick of
# detection; between them the game in its start, playing, paused and name-entry states, with
# keys only and with the fake camera (in its driver-like queue) on a small face and on a
# 640x480 frame with a face half its height. The loops and the cascade calls are timed from
# outside, by a preloaded library (bench/framerate/SleepRecorder.cpp), and the fake camera
# notes each frame's age when detection takes it, so the game runs unchanged.
#
#   bench/framerate.sh [BUILD]       BUILD: the build folder, default build/
#   DRAVOLT_BENCH_SECONDS=9          how long each state is measured
#   DRAVOLT_BENCH_MODES="quiet loaded"   the modes to run, in order
#   DRAVOLT_BENCH_GROUPS="keys small 640x480"   keys only, and the fake camera on each frame
#   DRAVOLT_BENCH_SHOTS=FOLDER       keeps a screenshot of the window after each stretch
set -euo pipefail
SOURCE=$(realpath "$(dirname "$0")/..")
BUILD=$(realpath "${1:-$SOURCE/build}")
SECONDS_PER_STATE=${DRAVOLT_BENCH_SECONDS:-9}
MODES=${DRAVOLT_BENCH_MODES:-quiet loaded}
GROUPS_RUN=${DRAVOLT_BENCH_GROUPS:-keys small 640x480}
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
LOAD_PIDS=()
cleanup() {
    [ -n "$PID" ] && kill "$PID" 2> /dev/null || true
    stop_load
    rm -rf "$WORK"
}
# A busy shell loop on every core, as other programs keep a shared machine busy.
start_load() {
    for _ in $(seq "$(nproc)"); do
        sh -c 'while :; do :; done' &
        LOAD_PIDS+=($!)
    done
}
stop_load() {
    [ ${#LOAD_PIDS[@]} -gt 0 ] && kill "${LOAD_PIDS[@]}" 2> /dev/null || true
    LOAD_PIDS=()
}
trap cleanup EXIT

# The recorder and the bare loops, built beside the measurement.
flags=$(pkg-config --cflags --libs opencv4)
# shellcheck disable=SC2046
g++ -O2 -std=c++17 -shared -fPIC -o "$WORK/sleep-recorder.so" \
    "$SOURCE/bench/framerate/SleepRecorder.cpp" $(pkg-config --cflags opencv4) -ldl
# shellcheck disable=SC2086
g++ -O2 -std=c++17 -o "$WORK/bare-loop" "$SOURCE/bench/framerate/BareLoop.cpp" $flags
# shellcheck disable=SC2086
g++ -O2 -std=c++17 -o "$WORK/bare-cascade" "$SOURCE/bench/framerate/BareCascade.cpp" $flags

# The game's working folder: textures and cascade as in the repository, a table of its own.
mkdir -p "$WORK/game/classifier"
cp -r "$SOURCE/graphics" "$WORK/game/graphics"
cascade=$SOURCE/classifier/haarcascade_eye.xml
[ -f "$cascade" ] || cascade=/usr/share/opencv4/haarcascades/haarcascade_eye.xml
cp "$cascade" "$WORK/game/classifier/"

# The test frames: the small face as it is, and a webcam's 640x480 frame with the face scaled
# to half its height. For the game each comes as a clip that keeps the net steering near zero:
# the face turned about the point between its eyes, half a second to one side and half a
# second to the other (15 frames each at the fake camera's 30 a second), so that the start
# screen's car moves on every pass yet never reaches the garage or the start line. The angles
# are those at which the face steers the same amount either way.
faces=$WORK/faces
mkdir -p "$faces"
cp "$FACE" "$faces/small.png"
big() { convert "$1" -resize 320x240 -background "rgb(128,128,128)" -gravity center -extent 640x480 "$2"; }
big "$FACE" "$faces/640x480.png"
declare -A TURNS=([small]="-9 0" [640x480]="-8 0")
declare -A CLIPS
for face in small 640x480; do
    clip=()
    for angle in ${TURNS[$face]}; do
        turned=$faces/$face$angle.png
        convert "$FACE" -virtual-pixel Edge -distort SRT "120,80 $angle" "$turned"
        [ "$face" = small ] || big "$turned" "$turned"
        for _ in $(seq 15); do clip+=("$turned"); done
    done
    CLIPS[$face]="${clip[*]}"
done

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
        import -window "$3" "$DRAVOLT_BENCH_SHOTS/${1//[^a-z0-9]/_}.png"
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

# bare_cascade LABEL RECORD PICTURE: the bare cascade's stretch, a second either side.
bare_cascade() {
    run_recorded "$2" "$WORK/bare-cascade" "$3" $((SECONDS_PER_STATE + 2))
    sleep 1
    measure "$1" "$2"
    finish
}

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
    measure "$name|start" "$record" "$id"
    key "$id" Return
    sleep 1
    measure "$name|playing" "$record" "$id"
    key "$id" space
    sleep 1
    measure "$name|paused" "$record" "$id"
    key "$id" space
    key "$id" d
    sleep 1
    measure "$name|name entry" "$record" "$id"
    key "$id" Escape
    finish
}

# run_mode MODE: every stretch of one mode; labels are MODE|WHAT|STATE.
run_mode() {
    local mode=$1 face
    [ "$mode" = loaded ] && start_load
    local faces_run
    faces_run=$(tr ' ' '\n' <<< "$GROUPS_RUN" | grep -xE 'small|640x480' | tr '\n' ' ' || true)
    bare_loop "$mode|bare loop|first" "$WORK/$mode-bare-first"
    for face in $faces_run; do
        bare_cascade "$mode|cascade|$face" "$WORK/$mode-cascade-$face" "$faces/$face.png"
    done
    if grep -qw keys <<< "$GROUPS_RUN"; then
        play_states "$mode|keys only" "$WORK/$mode-keys" "$BUILD/dravolt"
    fi
    for face in $faces_run; do
        local record=$WORK/$mode-camera-$face
        # shellcheck disable=SC2086
        play_states "$mode|camera $face" "$record" "$BUILD/dravolt-fakecam" --queue \
            --ages "$record.ages" ${CLIPS[$face]}
    done
    bare_loop "$mode|bare loop|last" "$WORK/$mode-bare-last"
    stop_load
}

for mode in $MODES; do
    case "$mode" in
    quiet | loaded) run_mode "$mode" ;;
    *) echo "unknown mode $mode (quiet, loaded)" >&2; exit 2 ;;
    esac
done

python3 "$SOURCE/bench/framerate/analyse.py" "$PHASES"
