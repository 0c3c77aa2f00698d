# Sourced by the scripts that need an X server of their own (the end-to-end test, the demo without
# a display, the benchmarks, the package check).
#
#   start_private_display WIDTHxHEIGHT
#     Starts Xvfb on a display number it picks itself, so runs beside other X servers never race
#     for one; returns once it accepts clients, with DISPLAY exported.
#   start_window_manager
#     Starts openbox on DISPLAY and returns once it manages the screen.
# Each adds the pid it started to the caller's array `pids` (xvfb_pid names the server's), whether
# or not it came up, so the caller's clean-up stops it; each returns 1, with a message on stderr,
# when what it started does not come up within 10 s.

start_private_display() {
    local number_file
    number_file=$(mktemp)
    # Xvfb writes the display number to descriptor 3 once it accepts clients.
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    pids+=("$xvfb_pid")
    for _ in $(seq 100); do
        if grep -q '^[0-9]' "$number_file"; then
            export DISPLAY=":$(head -n1 "$number_file")"
            rm -f "$number_file"
            return 0
        fi
        sleep 0.1
    done
    rm -f "$number_file"
    echo "Xvfb did not start" >&2
    return 1
}

start_window_manager() {
    openbox >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    echo "openbox did not start on $DISPLAY" >&2
    return 1
}
