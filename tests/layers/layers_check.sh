#!/usr/bin/env bash
# scripts/layers.sh on lists of the layers that each differ from the code in one place: it must
# fail, and name the layer and what is wrong.
#   tests/layers/layers_check.sh SOURCE-FOLDER
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

# NAME SED-SCRIPT PATTERN: the list changed by SED-SCRIPT fails with a line matching PATTERN,
# in which LIST stands for the changed list's path.
expect_failure() {
    local list=$work/$1.txt output
    sed -E "$2" "$root/cmake/layers.txt" > "$list"
    if cmp -s "$list" "$root/cmake/layers.txt"; then
        echo "FAIL: $1: the change '$2' changes nothing"
        status=1
    elif output=$("$root/scripts/layers.sh" "$list" 2>&1); then
        echo "FAIL: $1: the check passes"
        status=1
    elif ! grep -qE "${3//LIST/$list}" <<< "$output"; then
        printf 'FAIL: %s: no line matches %s in\n%s\n' "$1" "$3" "$output"
        status=1
    else
        echo "ok: $1"
    fi
}

expect_failure unlisted-layer '/^game /s/ dravolt-hiscore//' \
    '^game: includes "hiscore/[^"]+" \(src/game/[^)]+\), but LIST does not list dravolt-hiscore$'
expect_failure unlisted-library '/^detection /s/ opencv_objdetect//' \
    '^detection: includes <opencv2/objdetect.hpp> \(src/detection/[^)]+\), but LIST does not list opencv_objdetect$'
expect_failure unused-layer '/^gfx /s/$/ dravolt-files/' \
    '^gfx: LIST lists dravolt-files, which it does not use$'
expect_failure unused-library '/^core /s/$/ opencv_videoio/' \
    '^core: LIST lists opencv_videoio, which it does not use$'
expect_failure layer-listed-later '/^hiscore /s/$/ dravolt-game/' \
    '^LIST: hiscore links game, which is not a layer listed before it$'
expect_failure wrong-rank '/^game /s/ 3 / 2 /' '^LIST: game has rank 2, but its height is 3$'
exit $status
