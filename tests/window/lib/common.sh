# Shared helpers of the real-window tests. A test script starts with:
#   source "$(dirname "$0")/lib/common.sh"; under_xvfb "$@"
# and gets BUILD (the build folder), SOURCE (the repository) and WORK (a fresh folder
# prepared like the repository root: graphics/ and classifier/) as the game's working folder.
set -euo pipefail

BUILD=$(realpath "${1:?build folder}")
SOURCE=$(realpath "${2:?source folder}")

# Starts an X server of this script's own and points DISPLAY at it. -displayfd lets the
# server pick a free display number itself (tests running side by side cannot take the same
# one) and report it only once it accepts clients. -noreset keeps it from resetting when its
# last client leaves: a program connecting during such a reset is refused.
XVFB_PID=""
under_xvfb() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3> "$fifo" \
        > /dev/null 2>&1 &
    XVFB_PID=$!
    local number=""
    read -r -t 60 number < "$fifo" || true
    rm -f "$fifo"
    [ -n "$number" ] || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$number"
    export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$WORK/runtime}
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}

WORK=$(mktemp -d)
GAME_PID=""
cleanup() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    if [ -n "${KEEP_WORK:-}" ]; then echo "work folder kept: $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

prepare_work() {
    cp -r "$SOURCE/graphics" "$WORK/graphics"
    mkdir -p "$WORK/classifier"
    cp "$SOURCE/classifier/haarcascade_eye.xml" "$WORK/classifier/"
}

fail() {
    echo "FAIL: $*" >&2
    [ -f "$WORK/console.log" ] && { echo "--- console ---" >&2; tail -25 "$WORK/console.log" >&2; }
    [ -s "$WORK/stderr.log" ] && { echo "--- stderr ---" >&2; tail -15 "$WORK/stderr.log" >&2; }
    if [ -n "$GAME_PID" ] && ! kill -0 "$GAME_PID" 2>/dev/null; then
        wait "$GAME_PID" || echo "the program ended with status $?" >&2
    fi
    exit 1
}

# start_game PROGRAM [ARGS...]: runs the program in WORK, its console in WORK/console.log.
start_game() {
    (cd "$WORK" && exec "$@" < /dev/null > "$WORK/console.log" 2> "$WORK/stderr.log") &
    GAME_PID=$!
}

# wait_window TITLE [SECONDS]: prints the id of the visible window with exactly that title.
wait_window() {
    local title=$1 limit=${2:-20} id=""
    for _ in $(seq $((limit * 10))); do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# wait_size WINDOW WIDTH HEIGHT [SECONDS]: waits until the window has that size. A window is
# mapped before its first picture arrives, and only that picture gives it its size.
wait_size() {
    local id=$1 width=$2 height=$3 limit=${4:-10} geometry=""
    for _ in $(seq $((limit * 10))); do
        geometry=$(xwininfo -id "$id" 2>/dev/null || true)
        grep -q "Width: $width\$" <<< "$geometry" && grep -q "Height: $height\$" <<< "$geometry" \
            && return 0
        sleep 0.1
    done
    echo "$geometry"
    return 1
}

# wait_game_window [SECONDS]: prints the id of the game's window once it shows its first picture.
wait_game_window() {
    local id
    id=$(wait_window Dravolt "${1:-30}") || return 1
    wait_size "$id" 800 600 10 > /dev/null || return 1
    echo "$id"
}

window_exists() { xdotool search --onlyvisible --name "^$1\$" > /dev/null 2>&1; }

# keys WINDOW KEY...: focuses the window and types the keys, a short pause after each.
keys() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id" 2> /dev/null || true
    for k in "$@"; do
        xdotool key "$k"
        sleep 0.15
    done
}

# wait_console TEXT [SECONDS]: waits until the console holds the text (fixed string).
wait_console() {
    local text=$1 limit=${2:-10}
    for _ in $(seq $((limit * 10))); do
        grep -qF -- "$text" "$WORK/console.log" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# screenshot WINDOW FILE: the window's picture as PNG.
screenshot() { import -window "$1" "$2"; }

# wait_shot WINDOW FILE SECONDS TEST [ARGS...]: takes pictures of the window into FILE until
# `TEST FILE ARGS...` holds. A key typed into the game takes effect a frame or more later.
wait_shot() {
    local id=$1 file=$2 end=$((SECONDS + $3)) test=$4
    shift 4
    while :; do
        screenshot "$id" "$file" 2> /dev/null && "$test" "$file" "$@" && return 0
        [ $SECONDS -lt $end ] || return 1
        sleep 0.1
    done
}

# wait_exit SECONDS: waits for the game to end and sets EXIT_STATUS (124 after the limit).
# Call it directly, not in $(...): only this shell can collect its own child's status.
wait_exit() {
    local limit=$1
    EXIT_STATUS=124
    for _ in $(seq $((limit * 20))); do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then
            EXIT_STATUS=0
            wait "$GAME_PID" || EXIT_STATUS=$?
            GAME_PID=""
            return 0
        fi
        sleep 0.05
    done
}

# expect_exit SECONDS WHAT: the game must end within the time with status 0.
expect_exit() {
    wait_exit "$1"
    [ "$EXIT_STATUS" = 0 ] || fail "$2: exit status $EXIT_STATUS within $1 s"
}

# pixel FILE X Y: the pixel's colour as "R,G,B".
pixel() { convert "$1" -format "%[fx:int(255*u.p{$2,$3}.r)],%[fx:int(255*u.p{$2,$3}.g)],%[fx:int(255*u.p{$2,$3}.b)]" info:; }

# dump_time WINDOW: presses z and prints the gameTime of the dump it adds, in seconds.
dump_time() {
    local before
    before=$(grep -c ' gameTime: ' "$WORK/console.log" || true)
    keys "$1" z
    for _ in $(seq 50); do
        [ "$(grep -c ' gameTime: ' "$WORK/console.log" || true)" -gt "$before" ] && break
        sleep 0.05
    done
    grep ' gameTime: ' "$WORK/console.log" | tail -1 | sed 's/^ gameTime: \([0-9.]*\)s.*/\1/'
}

# is_grey FILE X Y: true when the pixel has equal red, green and blue.
is_grey() {
    local rgb
    rgb=$(pixel "$1" "$2" "$3")
    IFS=, read -r r g b <<< "$rgb"
    [ "$r" = "$g" ] && [ "$g" = "$b" ]
}

# table_rows FILE: the saved table, one "name score length hits" line per entry, best first.
table_rows() {
    tr -d '\n' < "$1" | sed 's#<player>#\n#g' | tail -n +2 |
        sed -E 's#.*<name>"?([^<"]*)"?</name>.*<score>([-0-9]+)</score>.*<length>([-0-9]+)</length>.*<hits>([-0-9]+)</hits>.*#\1 \2 \3 \4#' | awk '{ print }'
}

# enter_record WINDOW NAME: from the start screen, a run ended at once by the test key d, then
# NAME typed into the name entry and confirmed.
enter_record() {
    local id=$1 name=$2
    keys "$id" Return d
    wait_shot "$id" "$WORK/record.png" 10 in_name_entry || return 1
    keys "$id" $(grep -o . <<< "$name") Return
}

# What a screenshot shows, told by a pixel of a panel's plain fill: the start panel, or the
# high-score panel where it stands only during name entry (lower than its place at the top).
on_start_screen() { [ "$(pixel "$1" 215 330)" = "37,228,66" ]; }
in_name_entry() { [ "$(pixel "$1" 120 415)" = "86,92,58" ]; }
# A run is under way when the backdrop is not the grey of the screens.
playing() { ! is_grey "$1" 20 580; }

# steer_clear WINDOW: looks at the road ahead of the player's car and steers a few steps
# toward the nearest place in which the car passes the traffic, as a player would.
steer_clear() {
    local shot="$WORK/road.png"
    screenshot "$1" "$shot"
    # The player's car: the columns of row 540 that are not road grey (kerbs left out).
    local span
    span=$(convert "$shot" -crop 376x1+212+540 +repage -depth 8 txt:- |
        awk -F'[,:() ]+' 'NR > 1 && !($3 == 127 && $4 == 127 && $5 == 127) {
            x = $1 + 212; if (min == "") min = x; max = x } END { print min, max }')
    read -r left right <<< "$span"
    [ -n "${left:-}" ] || return 0
    # The traffic ahead: columns of the road that hold anything but grey in rows 180 to 479.
    local occupied
    occupied=$(convert "$shot" -crop 380x300+210+180 +repage -fuzz 3% \
        -fill white -opaque "rgb(127,127,127)" -fill black +opaque white -scale 380x1! \
        -depth 8 txt:- | awk -F'[,:() ]+' 'NR > 1 && $3 < 250 { printf "%d ", $1 + 210 }')
    local steps
    steps=$(awk -v left="$left" -v right="$right" -v occupied="$occupied" 'BEGIN {
        n = split(occupied, xs, " "); for (i = 1; i <= n; i++) busy[xs[i]] = 1
        width = right - left + 1; best = ""
        for (x = 200; x + width <= 600; x += 5) {
            free = 1
            for (c = x - 6; c <= x + width + 6 && free; c++) if (c in busy) free = 0
            if (free && (best == "" || (x - left) ^ 2 < (best - left) ^ 2)) best = x
        }
        if (best == "") { print 0; exit }
        s = int((best - left) / 5); if (s > 8) s = 8; if (s < -8) s = -8; print s }')
    local key=m
    [ "$steps" -lt 0 ] && key=n && steps=$((-steps))
    [ "$steps" -gt 0 ] && xdotool key --delay 40 $(printf "$key %.0s" $(seq "$steps"))
    return 0
}
