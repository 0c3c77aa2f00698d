# Shared by the end-to-end scripts (Linux and Windows under Wine): messages, polling, and finding
# windows by their exact title with xdotool. Source it after setting e2e_name (the prefix of
# messages) and, if wanted, e2e_window_seconds (how long await_window waits; 20 s by default).

fail() { echo "$e2e_name: FAIL: $*" >&2; exit 1; }
step() { echo "$e2e_name: $*"; }

# Polls a command for up to $1 seconds.
wait_for() {
    local seconds=$1; shift
    local tries=$((seconds * 10))
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
window_shown() { [ -n "$(window_named "$1")" ]; }
window_gone() { ! window_shown "$1"; }
# The id of the window named $1 once it is shown; fails after e2e_window_seconds.
await_window() { wait_for "${e2e_window_seconds:-20}" window_shown "$1" && window_named "$1"; }
process_ended() { ! kill -0 "$1" 2>/dev/null; }
