# The camera path in real windows: dravolt-fakecam plays a face tilting to the right; the
# "Detection history" window shows a moving graph, the sway drives the start screen's car
# over the start line, u opens "cameraWindow" with the detector's marks and closes it again,
# and ESC ends the program within one second with status 0.
source "$(dirname "$0")/lib/common.sh"
under_xvfb "$@"
prepare_work

# make_clip NAME SIGN: a head rocking between 10 and 25 degrees, about the point between the
# eyes, to the right for SIGN -, to the left for SIGN + (ImageMagick turns clockwise for
# positive angles). Checks with dravolt-sway that every frame steers that way; sets CLIP.
make_clip() {
    local name=$1 sign=$2 n=0
    mkdir -p "$WORK/clip"
    for angle in 10 15 20 25 20 15; do
        convert "$SOURCE/tests/data/astronaut-face.png" -virtual-pixel Edge \
            -distort SRT "120,80 $sign$angle" "$WORK/clip/$name$n.png"
        n=$((n + 1))
    done
    CLIP=("$WORK"/clip/"$name"*.png)
    local sways
    sways=$(cd "$WORK" && "$BUILD/dravolt-sway" "${CLIP[@]}") || fail "dravolt-sway on $name"
    for value in $sways; do
        if [ "$sign" = - ]; then [ "$value" -gt 0 ]; else [ "$value" -lt 0 ]; fi ||
            fail "the $name clip steers the wrong way: $sways"
    done
}

make_clip right -
start_game "$BUILD/dravolt-fakecam" "${CLIP[@]}"
history=$(wait_window "Detection history" 30) || fail "no window titled Detection history"
game=$(wait_game_window 30) || fail "no window titled Dravolt"

# The graph scrolls: two pictures of it a moment apart differ, and it shows yellow. Without a
# window manager every window opens at the same corner, so the graph is raised first.
count_colour() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:int(mean*w*h+0.5)]" info:; }
xdotool windowraise "$history"
wait_shot "$history" "$WORK/history1.png" 10 true || fail "no picture of the history graph"
moved() {
    ! compare -metric AE "$WORK/history1.png" "$1" null: > /dev/null 2>&1 &&
        [ "$(count_colour "$1" "rgb(255,255,0)")" -gt 0 ]
}
wait_shot "$history" "$WORK/history2.png" 20 moved || fail "the history graph did not move"

# The sway reached the game: the start screen's car crossed the start line and a run began.
started=""
for _ in $(seq 30); do
    [[ "$(dump_time "$game")" != "0.000" ]] && { started=yes; break; }
    sleep 0.5
done
[ -n "$started" ] || fail "the head sway did not start a run"

keys "$game" u
camera=$(wait_window cameraWindow 10) || fail "u did not open cameraWindow"
xdotool windowraise "$camera"
# Cascade outlines in red and green (rectangles 0 and 1), the eye circles in black and white.
marked() {
    [ "$(count_colour "$1" "rgb(255,0,0)")" -gt 20 ] && [ "$(count_colour "$1" "rgb(0,255,0)")" -gt 20 ] &&
        [ "$(count_colour "$1" "rgb(255,255,255)")" -gt 20 ]
}
wait_shot "$camera" "$WORK/camera.png" 20 marked || fail "no red and green outlines or white eye circle in cameraWindow"
keys "$game" u
for _ in $(seq 100); do window_exists cameraWindow || break; sleep 0.1; done
if window_exists cameraWindow; then fail "the second u did not close cameraWindow"; fi

keys "$game" Escape
expect_exit 1 "ESC"
if grep -q "WARN" "$WORK/console.log"; then fail "unexpected warning on the console"; fi
grep -q "showCameraWin: 1" "$WORK/console.log" || fail "no echo of the u key"

# A head tilted the other way drives the car into the garage: the program ends by itself.
make_clip left +
start_game "$BUILD/dravolt-fakecam" "${CLIP[@]}"
wait_game_window 30 > /dev/null || fail "no game window for the left clip"
expect_exit 20 "driving into the garage"
echo "window test passed"
