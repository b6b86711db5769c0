# A "hiscore.xml" that is a link: the game neither moves nor replaces what it leads to unless
# that is a table, and does not write through a link that another user owns.
source "$(dirname "$0")/lib/common.sh"
under_xvfb "$@"
prepare_work
mkdir "$WORK/other"

# record_and_quit: a start, a record named "x", then ESC; the console must say why the save
# was refused.
record_and_quit() {
    local why=$1
    start_game "$BUILD/dravolt"
    win=$(wait_game_window 30) || fail "no game window"
    enter_record "$win" x || fail "no name entry"
    wait_console "Can't save 'hiscore.xml': $why" || fail "no refusal: $why"
    keys "$win" Escape
    expect_exit 5 "ESC on the start screen"
}

# A link to the player's notes.
printf 'Buy milk.\n' > "$WORK/other/notes.txt"
ln -s other/notes.txt "$WORK/hiscore.xml"
record_and_quit "it links to a file that is not a table"
[ "$(readlink "$WORK/hiscore.xml")" = other/notes.txt ] || fail "the link was changed"
[ "$(cat "$WORK/other/notes.txt")" = "Buy milk." ] || fail "the notes were changed"
[ "$(ls "$WORK/other")" = notes.txt ] || fail "files beside the notes: $(ls "$WORK/other")"
grep -q "Moved it" "$WORK/console.log" && fail "the notes were moved aside"

# A link to a table, planted by another user.
if [ "$(id -u)" != 0 ]; then
    echo "score links passed (the link of another user needs root: skipped)"
    exit 0
fi
rm "$WORK/hiscore.xml" "$WORK/other/notes.txt"
cat > "$WORK/other/table.xml" << 'TABLE'
<?xml version="1.0"?>
<opencv_storage>
<hiscore>
  <_>
    <player>
      <name>"kept"</name>
      <score>100</score>
      <length>100</length>
      <hits>0</hits></player></_></hiscore>
</opencv_storage>
TABLE
cp "$WORK/other/table.xml" "$WORK/table.before"
ln -s other/table.xml "$WORK/hiscore.xml"
chown -h nobody "$WORK/hiscore.xml"
record_and_quit "it is reached through a link that belongs to another user ('hiscore.xml')"
cmp -s "$WORK/other/table.xml" "$WORK/table.before" || fail "the table was written through"
[ "$(ls "$WORK/other")" = table.xml ] || fail "files beside the table: $(ls "$WORK/other")"
echo "score links passed"
