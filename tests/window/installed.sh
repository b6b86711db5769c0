# The installed game: the package, unpacked into a scratch root, runs from an unrelated empty
# working folder with a scratch HOME. Its record lands in ~/.local/share/dravolt/hiscore.xml,
# the working folder stays empty, a second start shows the record, and ESC ends with status 0.
source "$(dirname "$0")/lib/common.sh"
under_xvfb "$@"
root="$WORK/root"
run="$WORK/run"
export HOME="$WORK/home"
unset XDG_DATA_HOME
mkdir -p "$run" "$HOME"

cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK/package" > "$WORK/cpack.log" 2>&1 ||
    { cat "$WORK/cpack.log" >&2; fail "cpack could not build the package"; }
dpkg-deb -x "$(ls "$WORK"/package/dravolt_*.deb)" "$root"
game="$root/usr/games/dravolt"
[ -x "$game" ] || fail "the package holds no usr/games/dravolt"
scores="$HOME/.local/share/dravolt/hiscore.xml"

# start_installed: the installed game in the empty working folder, its console in WORK.
start_installed() {
    (cd "$run" && exec "$game" < /dev/null > "$WORK/console.log" 2> "$WORK/stderr.log") &
    GAME_PID=$!
}
working_folder_empty() { [ -z "$(ls -A "$run")" ]; }

start_installed
win=$(wait_game_window 30) || fail "no game window from the installed game"
grep -qF "$scores" "$WORK/console.log" || fail "the console does not name '$scores'"
keys "$win" Return
sleep 0.5
keys "$win" d
sleep 0.5
screenshot "$win" "$WORK/name-entry.png"
in_name_entry "$WORK/name-entry.png" || fail "d did not open name entry"
keys "$win" i v y Return
sleep 0.5
[ -f "$scores" ] || fail "no $scores after ENTER"
table_rows "$scores" | grep -q '^ivy ' || fail "the record 'ivy' is not in $scores"
working_folder_empty || fail "the game wrote into the working folder: $(ls -A "$run")"
keys "$win" Escape
expect_exit 1 "ESC on the start screen"

start_installed
win=$(wait_game_window 30) || fail "no game window on the second start"
grep -q "Setting HISCOREs to defaults" "$WORK/console.log" && fail "the saved table was not loaded"
sleep 1
screenshot "$win" "$WORK/second-start.png"
on_start_screen "$WORK/second-start.png" || fail "no start screen on the second start"
keys "$win" Escape
expect_exit 1 "ESC on the second start"
working_folder_empty || fail "the game wrote into the working folder: $(ls -A "$run")"
echo "installed passed"
