# The close buttons: a close request to "Dravolt" ends the game as ESC does, with status 0
# within a second, on the start screen, in a run and in the pause; a closed "cameraWindow"
# stays away until u brings it back, and a closed "Detection history" stays closed.
source "$(dirname "$0")/lib/common.sh"
source "$(dirname "$0")/lib/xclose.sh"
under_xvfb "$@"
prepare_work

# close_in STATE KEY...: starts the game, brings it into the state by the keys, closes it.
close_in() {
    local state=$1
    shift
    start_game "$BUILD/dravolt"
    local win
    win=$(wait_game_window 30) || fail "no game window ($state)"
    [ $# -gt 0 ] && keys "$win" "$@"
    [ "$state" = start ] || [ "$(dump_time "$win")" != 0.000 ] || fail "no run began ($state)"
    if [ "$state" = pause ]; then
        [ "$(dump_time "$win")" = "$(dump_time "$win")" ] || fail "space did not pause the run"
    fi
    close_request "$win"
    expect_exit 1 "the close request in the $state state"
    grep -q "ERROR" "$WORK/console.log" && fail "an error on closing ($state)"
    return 0
}
close_in start
close_in playing Return
close_in pause Return space

# The test face as it is steers to the left on every pass, which would drive the start
# screen's car into the garage within seconds and end the game; turned level, it steers 0.
level=$WORK/level-face.png
convert "$SOURCE/tests/data/astronaut-face.png" -virtual-pixel Edge -distort SRT "120,80 -4.75" \
    "$level"
sways=$(cd "$WORK" && "$BUILD/dravolt-sway" "$level" "$level" "$level") || fail "dravolt-sway"
[ "$(echo $sways)" = "0 0 0" ] || fail "the level face steers: $sways"
start_game "$BUILD/dravolt-fakecam" "$level"
game=$(wait_game_window 30) || fail "no game window with the fake camera"
history=$(wait_window "Detection history" 10) || fail "no Detection history window"
keys "$game" u
camera=$(wait_window cameraWindow 10) || fail "u did not open cameraWindow"
close_request "$camera"
close_request "$history"
wait_gone cameraWindow || fail "cameraWindow stayed after the close request"
wait_gone "Detection history" || fail "Detection history stayed after the close request"
wait_console "showCameraWin: 0" 2 || fail "no echo of the closed camera window"
# The worker goes on handing pictures to both windows; none of them brings a window back.
sleep 1
window_exists cameraWindow && fail "cameraWindow came back by itself"
window_exists "Detection history" && fail "Detection history came back"
keys "$game" u
wait_window cameraWindow 10 > /dev/null || fail "u did not bring cameraWindow back"
window_exists "Detection history" && fail "Detection history came back with the camera window"
keys "$game" Escape
expect_exit 1 "ESC after closing the camera windows"
echo "close_button passed"
