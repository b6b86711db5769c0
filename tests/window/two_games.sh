# Two games on one folder save two records each, in turn: the table then holds all four, since
# each save merges its record into the table on disk, not into the one its game loaded.
source "$(dirname "$0")/lib/common.sh"
under_xvfb "$@"
prepare_work

start_game "$BUILD/dravolt"
first=$GAME_PID
trap 'kill -9 "$first" 2> /dev/null || true; cleanup' EXIT
win_first=$(wait_game_window 30) || fail "no window of the first game"
mv "$WORK/console.log" "$WORK/console-first.log"
start_game "$BUILD/dravolt"
second=""
for _ in $(seq 300); do
    second=$(xdotool search --onlyvisible --name '^Dravolt$' 2> /dev/null | grep -vx "$win_first" |
        head -1 || true)
    [ -n "$second" ] && break
    sleep 0.1
done
[ -n "$second" ] || fail "no window of the second game"
wait_size "$second" 800 600 10 > /dev/null || fail "the second game shows no picture"

saved() { [ -f "$WORK/hiscore.xml" ] && table_rows "$WORK/hiscore.xml" | grep -q "^$1 "; }
for turn in "$win_first ann" "$second bob" "$win_first cat" "$second dan"; do
    read -r id name <<< "$turn"
    # The windows lie on top of each other: a screenshot shows the one on top.
    xdotool windowraise "$id"
    enter_record "$id" "$name" || fail "no name entry for $name"
    for _ in $(seq 50); do saved "$name" && break; sleep 0.1; done
    saved "$name" || fail "'$name' was not saved"
done
table_rows "$WORK/hiscore.xml"
for name in ann bob cat dan; do
    saved "$name" || fail "'$name' is lost from the table"
done
grep -h "Can't save" "$WORK"/console*.log && fail "a save was refused"

keys "$second" Escape
expect_exit 5 "ESC in the second game"
GAME_PID=$first
keys "$win_first" Escape
expect_exit 5 "ESC in the first game"
echo "two games passed"
