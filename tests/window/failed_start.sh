# Starts that cannot go on: no display, a damaged cascade, a missing texture. Each prints its one
# message, opens no game window, waits for one character on the console and ends with 0.
source "$(dirname "$0")/lib/common.sh"
under_xvfb "$@"
prepare_work

# run_waiting TEXT ARGS...: starts the game with a console that gives no character yet, checks
# that it prints TEXT and then waits, then types one character and expects the end with status 0.
run_waiting() {
    local text=$1 fifo="$WORK/stdin"
    shift
    rm -f "$fifo"
    mkfifo "$fifo"
    (cd "$WORK" && exec "$@" < "$fifo" > "$WORK/console.log" 2> "$WORK/stderr.log") &
    GAME_PID=$!
    exec 7> "$fifo"
    wait_console "$text" 30 || fail "$*: no '$text' on the console"
    # The message comes just before the wait; a program that went on would end by now.
    sleep 0.5
    kill -0 "$GAME_PID" 2> /dev/null || fail "$* did not wait for a character"
    window_exists Dravolt && fail "$*: a game window opened"
    echo x >&7
    exec 7>&-
    expect_exit 10 "$*"
}

# No display, as over a plain SSH login.
run_waiting "ERROR: " env -u DISPLAY -u WAYLAND_DISPLAY "$BUILD/dravolt"
grep -q '^ERROR: ' "$WORK/console.log" || fail "no ERROR line without a display"
grep -q 'Config:' "$WORK/console.log" || fail "settings missing"

# A display that does not answer.
run_waiting "ERROR: " env DISPLAY=:987 "$BUILD/dravolt"
grep -qxF "ERROR: Can't open the display ':987': Dravolt needs a desktop to show its window." \
    "$WORK/console.log" || fail "no ERROR line for a display that does not answer"

# A damaged cascade (a missing one is taken from opencv-data's folder).
mv "$WORK/classifier/haarcascade_eye.xml" "$WORK/cascade.away"
echo "not a cascade" > "$WORK/classifier/haarcascade_eye.xml"
run_waiting "ERROR: " "$BUILD/dravolt"
grep -qxF "ERROR: Can't load detector :\\" "$WORK/console.log" || fail "cascade message"
window_exists "Detection history" && fail "history window without a cascade"
mv "$WORK/cascade.away" "$WORK/classifier/haarcascade_eye.xml"

# A missing texture: the start stops at the garage, the start line is not tried.
rm "$WORK/graphics/garage.png"
run_waiting "Can't load texture" "$BUILD/dravolt"
grep -qxF "Can't load texture from the file 'graphics\\garage.png'" "$WORK/console.log" \
    || fail "texture message"
grep -qF "startLine" "$WORK/console.log" && fail "start line tried after the garage failed"
echo "failed start test passed"
