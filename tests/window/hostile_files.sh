# Files that somebody else planted beside the table: a pipe under the lock's name would block
# the game's save for good, and with it the window. The save after name entry is refused at
# once and says why, the game still answers its keys (z, then ESC), and a damaged table beside
# such a pipe is left where it is without keeping the window from opening.
source "$(dirname "$0")/lib/common.sh"
under_xvfb "$@"
prepare_work
mkfifo "$WORK/hiscore.xml.lock"
why="its lock file 'hiscore.xml.lock' is not a regular file"

# answers_z WINDOW: the state dump of z reaches the console within two seconds.
answers_z() {
    local before
    before=$(grep -c ' gameTime: ' "$WORK/console.log" || true)
    keys "$1" z
    for _ in $(seq 20); do
        [ "$(grep -c ' gameTime: ' "$WORK/console.log" || true)" -gt "$before" ] && return 0
        sleep 0.1
    done
    return 1
}

start_game "$BUILD/dravolt"
win=$(wait_game_window 30) || fail "no game window"
enter_record "$win" x || fail "no name entry"
wait_console "Can't save 'hiscore.xml': $why" || fail "the save was not refused at once"
answers_z "$win" || fail "the game does not answer z after the save"
keys "$win" Escape
expect_exit 5 "ESC after the refused save"
[ -p "$WORK/hiscore.xml.lock" ] || fail "the pipe was replaced"

printf 'damaged' > "$WORK/hiscore.xml"
start_game "$BUILD/dravolt"
win=$(wait_game_window 30) || fail "no game window beside a damaged table and the pipe"
wait_console "Can't move it aside: $why" || fail "the console does not say why it stays"
answers_z "$win" || fail "the game does not answer z"
keys "$win" Escape
expect_exit 5 "ESC on the start screen"
[ "$(cat "$WORK/hiscore.xml")" = damaged ] || fail "the damaged table was moved or changed"
echo "hostile files passed"
