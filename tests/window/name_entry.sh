# Name entry in a real window: Shift gives a capital (the window system itself hands letters
# over small), and a save that fails is shown on the start screen for a few seconds.
source "$(dirname "$0")/lib/common.sh"
under_xvfb "$@"
prepare_work
shots=${DRAVOLT_SHOTS:-$WORK/shots}
mkdir -p "$shots"

# new_record: a run, the test key d, and name entry open.
new_record() {
    start_game "$BUILD/dravolt"
    win=$(wait_game_window 30) || fail "no game window"
    keys "$win" Return d
    for _ in $(seq 50); do
        screenshot "$win" "$WORK/now.png"
        in_name_entry "$WORK/now.png" && return 0
        sleep 0.1
    done
    fail "d did not open name entry"
}

new_record
xdotool key shift+a b
keys "$win" Return
sleep 0.5
[ -f "$WORK/hiscore.xml" ] || fail "no hiscore.xml after ENTER"
grep -q '^Ab ' <(table_rows "$WORK/hiscore.xml") || fail "shift+a b did not save 'Ab'"
keys "$win" K Escape # a capital outside name entry acts as its small letter
expect_exit 2 "ESC on the start screen"
grep -q '^detectionEnabled: 0$' "$WORK/console.log" || fail "K did not act as k"

# In the bottom strip, below the player's car: the pixels of the yellow save notice.
notice_ink() { convert "$1" -crop 800x18+0+582 +repage -fuzz 25% -fill white -opaque yellow \
    -fill black +opaque white -format "%[fx:int(mean*w*h+0.5)]" info:; }
rm "$WORK/hiscore.xml"
mkdir "$WORK/hiscore.xml" # no file can replace a folder
new_record
keys "$win" x Return
wait_console "Can't save 'hiscore.xml': " || fail "no console line for the failed save"
screenshot "$win" "$shots/save-failed.png"
[ "$(notice_ink "$shots/save-failed.png")" -gt 100 ] || fail "the failed save is not shown"
on_start_screen "$shots/save-failed.png" || fail "no start screen after the failed save"
gone=""
for _ in $(seq 150); do
    screenshot "$win" "$WORK/now.png"
    [ "$(notice_ink "$WORK/now.png")" = 0 ] && gone=yes && break
    sleep 0.1
done
[ -n "$gone" ] || fail "the save notice stays"
keys "$win" Escape
expect_exit 2 "ESC on the start screen"
echo "name entry passed"
