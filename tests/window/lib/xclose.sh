# close_request WINDOW: what a window manager's close button sends, the WM_DELETE_WINDOW
# request (xdotool's windowclose would destroy the window instead). Needs common.sh first.
close_request() { "$BUILD/tests/dravolt-xclose" "$1" || fail "could not send the close request"; }

# wait_gone TITLE [SECONDS]: waits until no visible window has that title.
wait_gone() {
    local title=$1 limit=${2:-5}
    for _ in $(seq $((limit * 10))); do
        window_exists "$title" || return 0
        sleep 0.1
    done
    return 1
}
