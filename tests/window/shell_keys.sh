# The game in a real window: its title and size, the console lines of some global keys,
# and ESC ending the program at once with status 0.
source "$(dirname "$0")/lib/common.sh"
under_xvfb "$@"
prepare_work

start_game "$BUILD/dravolt"
win=$(wait_window Dravolt 30) || fail "no window titled Dravolt"
geometry=$(wait_size "$win" 800 600 10) || fail "window size is not 800 by 600: $geometry"

# The game takes its keys in order, so ESC comes after h has printed the help.
keys "$win" s K z b h Escape
expect_exit 1 "ESC"

console=$(cat "$WORK/console.log")
# s toggles blur (on by default), K acts as k, z dumps the idle start state, b does nothing,
# h prints the help again after the start-up copy.
expected=$'blur: 0\ndetectionEnabled: 0\n gameTime: 0.000s canGenCar: 0\n cars: 0\n keyboard controls:'
grep -qzF -- "$expected" <<< "$console" || fail "console lines after the keys"
[ "$(grep -c 'keyboard controls:' <<< "$console")" = 2 ] || fail "help printed twice"
grep -q "WARN: Can't initialize camera - not that fun! Use keys to control car!" <<< "$console" \
    || fail "camera warning"
echo "window test passed"
