# Sourced by the scripts: a private X server on a free display.

# Starts Xvfb on a free display and sets XVFB_PID and DISPLAY. The server
# picks the display and names it once it is ready, so another server
# starting at the same moment can never answer for this one.
start_private_xvfb() {
    local named
    named=$(mktemp)
    Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset 3>"$named" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        if grep -qx '[0-9][0-9]*' "$named"; then
            DISPLAY=":$(cat "$named")"
            export DISPLAY
            rm -f "$named"
            return 0
        fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$named"
    echo "Xvfb did not start" >&2
    return 1
}

stop_private_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}

# Prints the id of PID's first visible window, waiting up to 10 s for it;
# prints nothing when none comes.
window_of() {
    local window=""
    for _ in $(seq 100); do
        window=$(xdotool search --pid "$1" --onlyvisible 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    echo "$window"
}
