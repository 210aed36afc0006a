# Sourced by the scripts: a private X server on a free display.

# Starts Xvfb on the first free display from :90 and sets XVFB_PID and DISPLAY.
start_private_xvfb() {
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 640x480x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb did not start on $DISPLAY" >&2
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
